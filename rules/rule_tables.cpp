// One table per game with rule options: the controls of its rule-settings dialog in creation
// order, with positions inside the dialog, and the lines of its rules summary.
#include "rules/rule_settings.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace {

constexpr int kCheckX = 30;
constexpr int kFrameX = 30;
constexpr int kListX = 160;
constexpr int kNarrowList = 130;
constexpr int kColumnsFieldWidth = 30;

constexpr RuleOption Check(const char* caption, const char* name, int y, int value) {
    return {.control = RuleControl::kCheckBox, .caption = caption, .valueName = name, .x = kCheckX, .y = y,
            .defaultValue = value};
}
constexpr RuleOption Spin(const char* caption, const char* name, int x, int y, int value, int low, int high,
                          int width = 20) {
    return {.control = RuleControl::kSpinField, .caption = caption, .valueName = name, .x = x, .y = y,
            .defaultValue = value, .minimum = low, .maximum = high, .fieldWidth = width};
}
constexpr RuleOption Recycles(const char* name, int y, int value) {
    return {.control = RuleControl::kRecycles, .caption = "Recycles", .valueName = name, .x = kFrameX, .y = y,
            .defaultValue = value};
}
constexpr RuleOption TwoChoices(const char* caption, const char* name, int y, int value, const char* first,
                                const char* second) {
    return {.control = RuleControl::kTwoChoices, .caption = caption, .valueName = name, .x = kFrameX, .y = y,
            .defaultValue = value, .firstCaption = first, .secondCaption = second};
}
constexpr RuleOption List(RuleControl kind, const char* caption, const char* name, int y, int value,
                          int width = 190) {
    return {.control = kind, .caption = caption, .valueName = name, .x = kListX, .y = y, .defaultValue = value,
            .listWidth = width};
}

// Summary lines shared by several games.
constexpr SummaryLine kPartialLine{SummaryFormat::kYesNo, "Can move partial rows", "MovePartial"};
constexpr SummaryLine kFlipLine{SummaryFormat::kYesNo, "Flip face down cards when available", "AutoFlip"};
constexpr SummaryLine kFoundationLine{SummaryFormat::kYesNo, "Foundation already filled in", "FilledIn"};
constexpr SummaryLine kKingLine{SummaryFormat::kYesNo, "Only King may fill in blank tableau", "TableauStart"};
constexpr SummaryLine kCardsDealtLine{SummaryFormat::kNumber, "Cards Dealt: %d", "CardsDealt"};
constexpr SummaryLine kRecyclesLine{SummaryFormat::kRecycles, "", "Recycles"};
constexpr SummaryLine kStartCardLine{SummaryFormat::kStartCard, "", "StartCard"};

constexpr const char* kPartialCaption = "Can move &partial rows.";
constexpr const char* kFlipCaption = "F&lip face down cards when available.";
constexpr const char* kPlainFlipCaption = "Flip face down cards when available.";
constexpr const char* kFoundationCaption = "&Foundation already filled in.";
constexpr const char* kKingCaption = "&Only King may fill in blank tableau.";
constexpr const char* kCardsDealtCaption = "&Cards Dealt:";
constexpr const char* kReserveCaption = "&Reserve Piles:";
constexpr const char* kPerPileCaption = "&Cards per Reserve Pile:";

// --- Klondike, the model the others follow ---
constexpr RuleOption kKlondikeOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 0),
    Check(kFlipCaption, "AutoFlip", 90, 0),
    Check(kFoundationCaption, "FilledIn", 120, 0),
    Check(kKingCaption, "TableauStart", 150, 1),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 175, 3, 1, 3),
    Recycles("Recycles", 210, 3),
    List(RuleControl::kRankList, "Starting card", "StartCard", 305, 12),
};
constexpr SummaryLine kKlondikeSummary[] = {kPartialLine, kFlipLine,      kFoundationLine, kKingLine,
                                            kCardsDealtLine, kRecyclesLine, kStartCardLine};

constexpr RuleOption kAgnesOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 1),
    Check(kFlipCaption, "AutoFlip", 90, 0),
    Check(kFoundationCaption, "FilledIn", 120, 0),
    Check(kKingCaption, "TableauStart", 150, 1),
    List(RuleControl::kRankListOrNext, "Starting card", "StartCard", 175, -1),
};
constexpr SummaryLine kAgnesSummary[] = {kPartialLine, kFlipLine, kFoundationLine, kKingLine, kStartCardLine};

constexpr RuleOption kAuldLangSyneOptions[] = {
    Check(kFoundationCaption, "FilledIn", 60, 0),
    List(RuleControl::kRankList, "Starting card", "StartCard", 85, 12, kNarrowList),
};
constexpr SummaryLine kAuldLangSyneSummary[] = {kFoundationLine, kStartCardLine};

constexpr RuleOption kCalculationOptions[] = {
    List(RuleControl::kCalculationList, "Starting cards", "StartingCard", 55, 12, kNarrowList),
};
constexpr SummaryLine kCalculationSummary[] = {{SummaryFormat::kCalculation, "", "StartingCard"}};

constexpr RuleOption kCanfieldOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 0),
    Check("&Fill from stock only.", "FillFromStock", 90, 1),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 115, 1, 1, 3),
    Recycles("Recycles", 150, 0),
};
constexpr SummaryLine kCanfieldSummary[] = {
    kPartialLine, {SummaryFormat::kYesNo, "Fill from stock only", "FillFromStock"}, kCardsDealtLine, kRecyclesLine};

constexpr RuleOption kCribbageOptions[] = {
    Spin(kReserveCaption, "ReservePiles", 147, 60, 0, 0, 3),
    Spin(kPerPileCaption, "CardsPerPile", 218, 90, 1, 1, 5),
};
constexpr SummaryLine kReserveSummary[] = {{SummaryFormat::kNumber, "Reserve Piles: %d", "ReservePiles"},
                                           {SummaryFormat::kNumber, "Cards per Reserve Pile: %d", "CardsPerPile"}};

// Four Seasons and Simplicity share their dialog.
constexpr RuleOption kFourSeasonsOptions[] = {
    Check(kFoundationCaption, "FilledIn", 60, 0),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 90, 1, 1, 3),
    Recycles("Recycles", 125, 2),
    List(RuleControl::kRankListOrNext, "Starting card:", "StartCard", 220, -1),
};
constexpr SummaryLine kFourSeasonsSummary[] = {kFoundationLine, kCardsDealtLine, kRecyclesLine, kStartCardLine};

// The face-down rows' range follows the "&Rows:" field (RuleSettingsDialog::FollowRowsField).
constexpr RuleOption kFortyThievesOptions[] = {
    Check("Can &move partial rows.", "MovePartial", 60, 0),
    Check(kPlainFlipCaption, "AutoFlip", 90, 0),
    Check(kFoundationCaption, "FilledIn", 120, 0),
    Spin("Rows &Dealt Face Down:", "RowsFaceDown", 218, 145, 0, 0, 3),
    Spin("&Rows:", "Rows", 83, 175, 4, 1, 5),
    Spin("&Columns:", "Columns", 106, 205, 10, 5, 10, kColumnsFieldWidth),
    Recycles("Recycle", 240, 0),
    List(RuleControl::kRankListOrNext, "Starting card", "StartCard", 335, 12),
};
constexpr SummaryLine kFortyThievesSummary[] = {
    kPartialLine,
    kFlipLine,
    kFoundationLine,
    {SummaryFormat::kNumber, "Rows Dealt Face Down: %d", "RowsFaceDown"},
    {SummaryFormat::kNumber, "Rows: %d", "Rows"},
    {SummaryFormat::kNumber, "Columns: %d", "Columns"},
    {SummaryFormat::kRecycles, "", "Recycle"},
    kStartCardLine};

constexpr RuleOption kGateOptions[] = {
    Check(kPartialCaption, "MovePartial", 60, 0),
    Check(kFoundationCaption, "FilledIn", 90, 0),
    Check("&Use waste pile to fill in blank tableau.", "FillFromWaste", 120, 0),
    Recycles("Recycles", 150, 0),
    List(RuleControl::kRankListOrNext, "Starting card:", "StartCard", 245, -1),
};
constexpr SummaryLine kGateSummary[] = {
    kPartialLine, kFoundationLine,
    {SummaryFormat::kYesNo, "Use waste pile to fill in blank tableau", "FillFromWaste"}, kStartCardLine,
    kRecyclesLine};

constexpr RuleOption kGolfOptions[] = {
    Check("&Wrap around.", "WrapAround", 60, 0),
    Check("&Flip first card.", "FlipFirst", 90, 0),
    TwoChoices("Layout", "SevenByFive", 120, 1, "&7X5", "&6X6"),
};
constexpr SummaryLine kGolfSummary[] = {{SummaryFormat::kYesNo, "Wrap around", "WrapAround"},
                                        {SummaryFormat::kYesNo, "Flip first card", "FlipFirst"},
                                        {SummaryFormat::kTwoTexts, "Layout: 7 X 5", "SevenByFive", "Layout: 6 X 6 "}};

constexpr RuleOption kMonteCarloOptions[] = {
    Check("&Only shift cards after all possible moves.", "ShiftAfterAllMoves", 60, 1),
    Spin("&Rows:", "Rows", 83, 85, 5, 3, 5),
};
constexpr SummaryLine kMonteCarloSummary[] = {
    {SummaryFormat::kNumber, "Rows: %d", "Rows"},
    {SummaryFormat::kYesNo, "Only shift cards after all possible moves", "ShiftAfterAllMoves"}};

constexpr RuleOption kPokerOptions[] = {
    Spin(kReserveCaption, "ReservePiles", 147, 60, 0, 0, 3),
    Spin(kPerPileCaption, "CardsPerPile", 219, 90, 1, 1, 5),
    {.control = RuleControl::kScoringChoice, .caption = "Scoring Method", .valueName = "Scoring", .x = kFrameX,
     .y = 130, .defaultValue = 0, .firstCaption = "&American", .secondCaption = "&English"},
};
constexpr SummaryLine kPokerSummary[] = {{SummaryFormat::kNumber, "Reserve Piles: %d", "ReservePiles"},
                                         {SummaryFormat::kNumber, "Cards per Reserve Pile: %d", "CardsPerPile"},
                                         {SummaryFormat::kString, "Scoring Method: %s", "Scoring"}};

constexpr RuleOption kPyramidOptions[] = {
    TwoChoices("Columns", "SevenRows", 60, 1, "&7", "&6"),
    Recycles("Recycles", 120, 0),
    Check("&Extra row of cards at bottom.", "ExtraCards", 220, 0),
};
constexpr SummaryLine kPyramidSummary[] = {
    {SummaryFormat::kTwoTexts, "Number of Rows: Seven", "SevenRows", "Number of Rows: Six"},
    {SummaryFormat::kYesNo, "Extra row of cards", "ExtraCards"}, kRecyclesLine};

constexpr RuleOption kQuadrilleOptions[] = {
    Check(kFoundationCaption, "FilledIn", 60, 0),
    Spin(kCardsDealtCaption, "CardsDealt", 133, 90, 1, 1, 3),
    Recycles("Recycles", 125, 2),
};
constexpr SummaryLine kQuadrilleSummary[] = {kFoundationLine, kCardsDealtLine, kRecyclesLine};

constexpr RuleOption kSpiderOptions[] = {
    Check("Suit must be &assembled before discarding.", "SuitAssembled", 60, 1),
    Check(kPlainFlipCaption, "AutoFlip", 90, 0),
    Spin("&Rows Dealt Face Down:", "RowsFaceDown", 217, 115, 5, 0, 5),
    List(RuleControl::kRankListOrNext, "Starting card", "StartCard", 145, 12),
};
constexpr SummaryLine kSpiderSummary[] = {
    {SummaryFormat::kYesNo, "Suit must be assembled before discarding", "SuitAssembled"}, kFlipLine,
    {SummaryFormat::kNumber, "Rows Dealt Face Down: %d", "RowsFaceDown"}, kStartCardLine};

constexpr RuleTable kTables[] = {
    {2, "Agnes", "View Agnes Rules", 145, 310, 260, true, "Cancel", kAgnesOptions, kAgnesSummary},
    {3, "Auld Lang Syne", "View Auld Lang Syne Rules", 190, 220, 170, true, "&Cancel", kAuldLangSyneOptions,
     kAuldLangSyneSummary},
    {5, "Calculation", "View Calculation Rules", 225, 190, 140, true, "Cancel", kCalculationOptions,
     kCalculationSummary},
    {6, "Canfield", "View Canfield Rules", 130, 340, 290, true, "Cancel", kCanfieldOptions, kCanfieldSummary},
    {7, "Cribbage Solitaire", "View Cribbage Squares Rules", 210, 230, 170, true, "Cancel", kCribbageOptions,
     kReserveSummary},
    {8, "Forty Thieves", "View Forty Thieves Rules", 77, 475, 425, true, "Cancel", kFortyThievesOptions,
     kFortyThievesSummary},
    {9, "Four Seasons", "View Four Seasons Rules", 120, 360, 310, true, "Cancel", kFourSeasonsOptions,
     kFourSeasonsSummary},
    {10, "Gate", "View Gate Rules", 107, 385, 335, true, "Cancel", kGateOptions, kGateSummary},
    {11, "Golf", "View Golf Rules", 160, 280, 230, true, "Cancel", kGolfOptions, kGolfSummary},
    {12, "Klondike", "View Klondike Rules", 95, 440, 390, true, "Cancel", kKlondikeOptions, kKlondikeSummary},
    {13, "Monte Carlo", "View Monte Carlo Rules", 190, 220, 170, true, "Cancel", kMonteCarloOptions,
     kMonteCarloSummary},
    {14, "Poker Solitaire", "View Poker Squares Rules", 160, 280, 230, false, "Cancel", kPokerOptions,
     kPokerSummary},
    {15, "Pyramid", "View Pyramid Rules", 130, 340, 300, true, "Cancel", kPyramidOptions, kPyramidSummary},
    {16, "Quadrille", "View Quadrille Rules", 140, 320, 270, true, "Cancel", kQuadrilleOptions, kQuadrilleSummary},
    {18, "Simplicity", "View Simplicity Rules", 120, 360, 310, true, "Cancel", kFourSeasonsOptions,
     kFourSeasonsSummary},
    {19, "Spider", "View Spider Rules", 172, 285, 235, true, "Cancel", kSpiderOptions, kSpiderSummary},
};

constexpr const char* kRankNames[13] = {"Two",   "Three", "Four", "Five",  "Six",  "Seven", "Eight",
                                        "Nine",  "Ten",   "Jack", "Queen", "King", "Ace"};
constexpr const char* kCalculationLabels[13] = {
    "2, 4, 6, 8",  "3, 6, 9, Q", "4, 8, Q, 3",  "5, 10, 2, 7", "6, Q, 5, J",  "7, A, 8, 2", "8, 3, J, 6",
    "9, 5, A, 10", "10, 7, J, A", "J, 9, 7, 5", "Q, J, 10, 9", "K, K, K, K", "A, 2, 3, 4"};

}  // namespace

std::span<const RuleTable> AllRuleTables() { return kTables; }

const RuleTable* FindRuleTable(int gameNumber) {
    const auto found = std::find_if(std::begin(kTables), std::end(kTables),
                                    [gameNumber](const RuleTable& t) { return t.gameNumber == gameNumber; });
    return found == std::end(kTables) ? nullptr : &*found;
}

bool HasRuleSettings(int gameNumber) { return FindRuleTable(gameNumber) != nullptr; }

const char* CalculationChoiceLabel(int choice) {
    return choice >= 0 && choice < static_cast<int>(std::size(kCalculationLabels)) ? kCalculationLabels[choice] : "";
}

const char* RuleRankName(int rank) {
    return rank >= 0 && rank < static_cast<int>(std::size(kRankNames)) ? kRankNames[rank] : "";
}
