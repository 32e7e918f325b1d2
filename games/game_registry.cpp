#include "games/game_registry.h"

#include <array>
#include <cctype>

#include "games/accordion.h"
#include "games/agnes.h"
#include "games/auld_lang_syne.h"
#include "games/block_solitaire.h"
#include "games/calculation.h"
#include "games/canfield.h"
#include "games/cribbage_solitaire.h"
#include "games/forty_thieves.h"
#include "games/four_seasons.h"
#include "games/gate.h"
#include "games/golf.h"
#include "games/klondike.h"
#include "games/monte_carlo.h"
#include "games/poker_solitaire.h"
#include "games/pyramid.h"
#include "games/quadrille.h"
#include "games/simple_addition.h"
#include "games/simplicity.h"
#include "games/spider.h"
#include "games/take_fourteen.h"
#include "platform/translation.h"

namespace {

// A game's model of play seen through plain functions.
template <typename Model>
constexpr PlayModelOps kModelOps = MakePlayModelOps<Model>();

// ---- Rule options: the rule-settings dialogs' controls in creation order, with positions inside
// the dialog, defaults and ranges, and the lines of the rules summaries ----

constexpr int kLeftX = 30;  // check boxes and option frames
constexpr int kListX = 160;
constexpr int kNarrowList = 130;
constexpr int kColumnsFieldWidth = 30;

constexpr RuleOption Check(const char* caption, const char* name, int y, int value) {
    return {.control = RuleControl::kCheckBox, .caption = caption, .valueName = name, .x = kLeftX, .y = y,
            .defaultValue = value};
}
constexpr RuleOption Spin(const char* caption, const char* name, int x, int y, int value, int low, int high,
                          int width = 20) {
    return {.control = RuleControl::kSpinField, .caption = caption, .valueName = name, .x = x, .y = y,
            .defaultValue = value, .minimum = low, .maximum = high, .fieldWidth = width};
}
constexpr RuleOption Recycles(const char* name, int y, int value) {
    return {.control = RuleControl::kRecycles,
            .caption = TranslateLater("Recycles"),
            .valueName = name,
            .x = kLeftX,
            .y = y,
            .defaultValue = value};
}
constexpr RuleOption TwoChoices(const char* caption, const char* name, int y, int value, const char* first,
                                const char* second) {
    return {.control = RuleControl::kTwoChoices, .caption = caption, .valueName = name, .x = kLeftX, .y = y,
            .defaultValue = value, .firstCaption = first, .secondCaption = second};
}
constexpr RuleOption List(RuleControl kind, const char* caption, const char* name, int y, int value,
                          int width = 190) {
    return {.control = kind, .caption = caption, .valueName = name, .x = kListX, .y = y, .defaultValue = value,
            .listWidth = width};
}

// Summary lines shared by several games.
constexpr SummaryLine kPartialLine{SummaryFormat::kYesNo, TranslateLater("Can move partial rows"), "MovePartial"};
constexpr SummaryLine kFlipLine{SummaryFormat::kYesNo, TranslateLater("Flip face down cards when available"),
                                "AutoFlip"};
constexpr SummaryLine kFoundationLine{SummaryFormat::kYesNo, TranslateLater("Foundation already filled in"),
                                      "FilledIn"};
constexpr SummaryLine kKingLine{SummaryFormat::kYesNo, TranslateLater("Only King may fill in blank tableau"),
                                "TableauStart"};
constexpr SummaryLine kCardsDealtLine{SummaryFormat::kNumber, TranslateLater("Cards Dealt: %d"), "CardsDealt"};
constexpr SummaryLine kRecyclesLine{SummaryFormat::kRecycles, "", "Recycles"};
constexpr SummaryLine kStartCardLine{SummaryFormat::kStartCard, "", "StartCard"};

constexpr const char* kPartialCaption = TranslateLater("Can move &partial rows.");
constexpr const char* kFlipCaption = TranslateLater("F&lip face down cards when available.");
constexpr const char* kPlainFlipCaption = TranslateLater("Flip face down cards when available.");
constexpr const char* kFoundationCaption = TranslateLater("&Foundation already filled in.");
constexpr const char* kKingCaption = TranslateLater("&Only King may fill in blank tableau.");
constexpr const char* kCardsDealtCaption = TranslateLater("&Cards Dealt:");
constexpr const char* kReserveCaption = TranslateLater("&Reserve Piles:");
constexpr const char* kPerPileCaption = TranslateLater("&Cards per Reserve Pile:");

// --- Klondike, the model the others follow ---
constexpr RuleOption kKlondikeOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 0),
    Check(kFlipCaption, "AutoFlip", 90, 0),
    Check(kFoundationCaption, "FilledIn", 120, 0),
    Check(kKingCaption, "TableauStart", 150, 1),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 175, 3, 1, 3),
    Recycles("Recycles", 210, 3),
    List(RuleControl::kRankList, TranslateLater("Starting card"), "StartCard", 305, 12),
};
constexpr SummaryLine kKlondikeSummary[] = {kPartialLine, kFlipLine,      kFoundationLine, kKingLine,
                                            kCardsDealtLine, kRecyclesLine, kStartCardLine};

constexpr RuleOption kAgnesOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 1),
    Check(kFlipCaption, "AutoFlip", 90, 0),
    Check(kFoundationCaption, "FilledIn", 120, 0),
    Check(kKingCaption, "TableauStart", 150, 1),
    List(RuleControl::kRankListOrNext, TranslateLater("Starting card"), "StartCard", 175, -1),
};
constexpr SummaryLine kAgnesSummary[] = {kPartialLine, kFlipLine, kFoundationLine, kKingLine, kStartCardLine};

constexpr RuleOption kAuldLangSyneOptions[] = {
    Check(kFoundationCaption, "FilledIn", 60, 0),
    List(RuleControl::kRankList, TranslateLater("Starting card"), "StartCard", 85, 12, kNarrowList),
};
constexpr SummaryLine kAuldLangSyneSummary[] = {kFoundationLine, kStartCardLine};

constexpr RuleOption kCalculationOptions[] = {
    List(RuleControl::kCalculationList, TranslateLater("Starting cards"), "StartingCard", 55, 12, kNarrowList),
};
constexpr SummaryLine kCalculationSummary[] = {{SummaryFormat::kCalculation, "", "StartingCard"}};

constexpr RuleOption kCanfieldOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 0),
    Check(TranslateLater("&Fill from stock only."), "FillFromStock", 90, 1),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 115, 1, 1, 3),
    Recycles("Recycles", 150, 0),
};
constexpr SummaryLine kCanfieldSummary[] = {
    kPartialLine,
    {SummaryFormat::kYesNo, TranslateLater("Fill from stock only"), "FillFromStock"},
    kCardsDealtLine,
    kRecyclesLine};

constexpr RuleOption kCribbageOptions[] = {
    Spin(kReserveCaption, "ReservePiles", 147, 60, 0, 0, 3),
    Spin(kPerPileCaption, "CardsPerPile", 218, 90, 1, 1, 5),
};
constexpr SummaryLine kReserveSummary[] = {
    {SummaryFormat::kNumber, TranslateLater("Reserve Piles: %d"), "ReservePiles"},
    {SummaryFormat::kNumber, TranslateLater("Cards per Reserve Pile: %d"), "CardsPerPile"}};

// Four Seasons and Simplicity share their dialog.
constexpr RuleOption kFourSeasonsOptions[] = {
    Check(kFoundationCaption, "FilledIn", 60, 0),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 90, 1, 1, 3),
    // The dialog offers 2 recycles; the game reads none when nothing is stored.
    {.control = RuleControl::kRecycles,
     .caption = TranslateLater("Recycles"),
     .valueName = "Recycles",
     .x = kLeftX,
     .y = 125,
     .defaultValue = 2,
     .readDefault = 0},
    List(RuleControl::kRankListOrNext, TranslateLater("Starting card:"), "StartCard", 220, -1),
};
constexpr SummaryLine kFourSeasonsSummary[] = {kFoundationLine, kCardsDealtLine, kRecyclesLine, kStartCardLine};

// The face-down rows' range follows the "&Rows:" field (RuleSettingsDialog::FollowRowsField).
constexpr RuleOption kFortyThievesOptions[] = {
    Check(TranslateLater("Can &move partial rows."), "MovePartial", 60, 0),
    Check(kPlainFlipCaption, "AutoFlip", 90, 0),
    Check(kFoundationCaption, "FilledIn", 120, 0),
    Spin(TranslateLater("Rows &Dealt Face Down:"), "RowsFaceDown", 218, 145, 0, 0, 3),
    Spin(TranslateLater("&Rows:"), "Rows", 83, 175, 4, 1, 5),
    Spin(TranslateLater("&Columns:"), "Columns", 106, 205, 10, 5, 10, kColumnsFieldWidth),
    Recycles("Recycle", 240, 0),
    List(RuleControl::kRankListOrNext, TranslateLater("Starting card"), "StartCard", 335, 12),
};
constexpr SummaryLine kFortyThievesSummary[] = {
    kPartialLine,
    kFlipLine,
    kFoundationLine,
    {SummaryFormat::kNumber, TranslateLater("Rows Dealt Face Down: %d"), "RowsFaceDown"},
    {SummaryFormat::kNumber, TranslateLater("Rows: %d"), "Rows"},
    {SummaryFormat::kNumber, TranslateLater("Columns: %d"), "Columns"},
    {SummaryFormat::kRecycles, "", "Recycle"},
    kStartCardLine};

constexpr RuleOption kGateOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 0),
    Check(kFoundationCaption, "FilledIn", 90, 0),
    Check(TranslateLater("&Use waste pile to fill in blank tableau."), "FillFromWaste", 120, 0),
    Recycles("Recycles", 150, 0),
    List(RuleControl::kRankListOrNext, TranslateLater("Starting card:"), "StartCard", 245, -1),
};
constexpr SummaryLine kGateSummary[] = {
    kPartialLine,
    kFoundationLine,
    {SummaryFormat::kYesNo, TranslateLater("Use waste pile to fill in blank tableau"), "FillFromWaste"},
    kStartCardLine,
    kRecyclesLine};

constexpr RuleOption kGolfOptions[] = {
    Check(TranslateLater("&Wrap around."), "WrapAround", 60, 0),
    Check(TranslateLater("&Flip first card."), "FlipFirst", 90, 0),
    TwoChoices(TranslateLater("Layout"), "SevenByFive", 120, 1, TranslateLater("&7X5"), TranslateLater("&6X6")),
};
constexpr SummaryLine kGolfSummary[] = {
    {SummaryFormat::kYesNo, TranslateLater("Wrap around"), "WrapAround"},
    {SummaryFormat::kYesNo, TranslateLater("Flip first card"), "FlipFirst"},
    {SummaryFormat::kTwoTexts, TranslateLater("Layout: 7 X 5"), "SevenByFive", TranslateLater("Layout: 6 X 6 ")}};

constexpr RuleOption kMonteCarloOptions[] = {
    Check(TranslateLater("&Only shift cards after all possible moves."), "ShiftAfterAllMoves", 60, 1),
    Spin(TranslateLater("&Rows:"), "Rows", 83, 85, 5, 3, 5),
};
constexpr SummaryLine kMonteCarloSummary[] = {
    {SummaryFormat::kNumber, TranslateLater("Rows: %d"), "Rows"},
    {SummaryFormat::kYesNo, TranslateLater("Only shift cards after all possible moves"), "ShiftAfterAllMoves"}};

constexpr RuleOption kPokerOptions[] = {
    Spin(kReserveCaption, "ReservePiles", 147, 60, 0, 0, 3),
    Spin(kPerPileCaption, "CardsPerPile", 219, 90, 1, 1, 5),
    {.control = RuleControl::kScoringChoice,
     .caption = TranslateLater("Scoring Method"),
     .valueName = "Scoring",
     .x = kLeftX,
     .y = 130,
     .defaultValue = 0,
     .firstCaption = TranslateLater("&American"),
     .secondCaption = TranslateLater("&English")},
};
constexpr SummaryLine kPokerSummary[] = {
    {SummaryFormat::kNumber, TranslateLater("Reserve Piles: %d"), "ReservePiles"},
    {SummaryFormat::kNumber, TranslateLater("Cards per Reserve Pile: %d"), "CardsPerPile"},
    {SummaryFormat::kString, TranslateLater("Scoring Method: %s"), "Scoring"}};

constexpr RuleOption kPyramidOptions[] = {
    TwoChoices(TranslateLater("Columns"), "SevenRows", 60, 1, TranslateLater("&7"), TranslateLater("&6")),
    Recycles("Recycles", 120, 0),
    Check(TranslateLater("&Extra row of cards at bottom."), "ExtraCards", 220, 0),
};
constexpr SummaryLine kPyramidSummary[] = {{SummaryFormat::kTwoTexts, TranslateLater("Number of Rows: Seven"),
                                            "SevenRows", TranslateLater("Number of Rows: Six")},
                                           {SummaryFormat::kYesNo, TranslateLater("Extra row of cards"), "ExtraCards"},
                                           kRecyclesLine};

constexpr RuleOption kQuadrilleOptions[] = {
    Check(kFoundationCaption, "FilledIn", 60, 0),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 90, 1, 1, 3),
    Recycles("Recycles", 125, 2),
};
constexpr SummaryLine kQuadrilleSummary[] = {kFoundationLine, kCardsDealtLine, kRecyclesLine};

constexpr RuleOption kSpiderOptions[] = {
    Check(TranslateLater("Suit must be &assembled before discarding."), "SuitAssembled", 60, 1),
    Check(kPlainFlipCaption, "AutoFlip", 90, 0),
    Spin(TranslateLater("&Rows Dealt Face Down:"), "RowsFaceDown", 217, 115, 5, 0, 5),
    List(RuleControl::kRankListOrNext, TranslateLater("Starting card"), "StartCard", 145, 12),
};
constexpr SummaryLine kSpiderSummary[] = {
    {SummaryFormat::kYesNo, TranslateLater("Suit must be assembled before discarding"), "SuitAssembled"},
    kFlipLine,
    {SummaryFormat::kNumber, TranslateLater("Rows Dealt Face Down: %d"), "RowsFaceDown"},
    kStartCardLine};

// ---- The descriptors, in game-number order (the order of the selection screen) ----

// A rule-settings dialog: its summary's title, its place and its options. Auld Lang Syne's
// cancel button has a hot key; Poker Solitaire's first button reads "&Start" in both modes.
constexpr RuleTable Dialog(const char* title, int top, int height, int buttonTop, std::span<const RuleOption> options,
                           std::span<const SummaryLine> summary, const char* cancel = TranslateLater("Cancel"),
                           bool restart = true) {
    return {.summaryTitle = title, .dialogTop = top, .dialogHeight = height, .buttonTop = buttonTop,
            .hasRestart = restart, .cancelCaption = cancel, .options = options, .summary = summary};
}

// A game with rule options shows their dialog before it deals; one without deals at once.
template <typename T, typename Model = typename T::Model>
constexpr GameDescriptor Entry(int number, const char* name, RuleTable rules = {}) {
    return {.number = number, .name = name,
            .start = rules.options.empty() ? StartMode::AtOnce : StartMode::RulesFirst,
            .rules = rules,
            .create = [](Artwork* artwork) -> std::unique_ptr<Game> { return std::make_unique<T>(artwork); },
            .model = &kModelOps<Model>};
}

constexpr std::array<GameDescriptor, 20> kGames = {
    Entry<AccordionGame>(1, TranslateLater("game name", "Accordion")),
    Entry<AgnesGame, AgnesModel>(
        2, TranslateLater("game name", "Agnes"),
        Dialog(TranslateLater("View Agnes Rules"), 145, 310, 260, kAgnesOptions, kAgnesSummary)),
    Entry<AuldLangSyneGame>(3, TranslateLater("game name", "Auld Lang Syne"),
                            Dialog(TranslateLater("View Auld Lang Syne Rules"), 190, 220, 170, kAuldLangSyneOptions,
                                   kAuldLangSyneSummary, TranslateLater("&Cancel"))),
    Entry<BlockSolitaireGame>(4, TranslateLater("game name", "Block Solitaire")),
    Entry<CalculationGame>(
        5, TranslateLater("game name", "Calculation"),
        Dialog(TranslateLater("View Calculation Rules"), 225, 190, 140, kCalculationOptions, kCalculationSummary)),
    Entry<CanfieldGame, CanfieldModel>(
        6, TranslateLater("game name", "Canfield"),
        Dialog(TranslateLater("View Canfield Rules"), 130, 340, 290, kCanfieldOptions, kCanfieldSummary)),
    Entry<CribbageSolitaireGame>(
        7, TranslateLater("game name", "Cribbage Solitaire"),
        Dialog(TranslateLater("View Cribbage Squares Rules"), 210, 230, 170, kCribbageOptions, kReserveSummary)),
    Entry<FortyThievesGame, FortyThievesModel>(
        8, TranslateLater("game name", "Forty Thieves"),
        Dialog(TranslateLater("View Forty Thieves Rules"), 77, 475, 425, kFortyThievesOptions, kFortyThievesSummary)),
    Entry<FourSeasonsGame, FourSeasonsModel>(
        9, TranslateLater("game name", "Four Seasons"),
        Dialog(TranslateLater("View Four Seasons Rules"), 120, 360, 310, kFourSeasonsOptions, kFourSeasonsSummary)),
    Entry<GateGame, GateModel>(10, TranslateLater("game name", "Gate"),
                               Dialog(TranslateLater("View Gate Rules"), 107, 385, 335, kGateOptions, kGateSummary)),
    Entry<GolfGame>(11, TranslateLater("game name", "Golf"),
                    Dialog(TranslateLater("View Golf Rules"), 160, 280, 230, kGolfOptions, kGolfSummary)),
    Entry<KlondikeGame, KlondikeModel>(
        12, TranslateLater("game name", "Klondike"),
        Dialog(TranslateLater("View Klondike Rules"), 95, 440, 390, kKlondikeOptions, kKlondikeSummary)),
    Entry<MonteCarloGame>(
        13, TranslateLater("game name", "Monte Carlo"),
        Dialog(TranslateLater("View Monte Carlo Rules"), 190, 220, 170, kMonteCarloOptions, kMonteCarloSummary)),
    Entry<PokerSolitaireGame>(14, TranslateLater("game name", "Poker Solitaire"),
                              Dialog(TranslateLater("View Poker Squares Rules"), 160, 280, 230, kPokerOptions,
                                     kPokerSummary, TranslateLater("Cancel"), false)),
    Entry<PyramidGame>(15, TranslateLater("game name", "Pyramid"),
                       Dialog(TranslateLater("View Pyramid Rules"), 130, 340, 300, kPyramidOptions, kPyramidSummary)),
    Entry<QuadrilleGame, QuadrilleModel>(
        16, TranslateLater("game name", "Quadrille"),
        Dialog(TranslateLater("View Quadrille Rules"), 140, 320, 270, kQuadrilleOptions, kQuadrilleSummary)),
    Entry<SimpleAdditionGame>(17, TranslateLater("game name", "Simple Addition")),
    Entry<SimplicityGame, SimplicityModel>(
        18, TranslateLater("game name", "Simplicity"),
        Dialog(TranslateLater("View Simplicity Rules"), 120, 360, 310, kFourSeasonsOptions, kFourSeasonsSummary)),
    Entry<SpiderGame, SpiderModel>(
        19, TranslateLater("game name", "Spider"),
        Dialog(TranslateLater("View Spider Rules"), 172, 285, 235, kSpiderOptions, kSpiderSummary)),
    Entry<TakeFourteenGame>(20, TranslateLater("game name", "Take Fourteen")),
};

static_assert([] {
    for (size_t i = 0; i < kGames.size(); ++i)
        if (kGames[i].number != static_cast<int>(i) + 1) return false;
    return true;
}(), "game n is entry n - 1");

}  // namespace

std::span<const GameDescriptor> RegisteredGames() { return kGames; }

const GameDescriptor* FindGame(int number) {
    return number >= 1 && number <= static_cast<int>(kGames.size()) ? &kGames[static_cast<size_t>(number) - 1] : nullptr;
}

const GameDescriptor* FindGameByName(std::string_view name) {
    for (const GameDescriptor& game : kGames)
        if (SameName(game.name, name)) return &game;
    return nullptr;
}

const char* GameDisplayName(const GameDescriptor& game) { return Translate("game name", game.name); }
