// "Finish" and "Winnable Deals Only" through the real menu and panel tick: a deal of each game that
// can finish, played by its solution until nothing is left to decide, is played out by the program
// through the table's own mouse path; winnable deals come from the solver's tool, or an ordinary
// deal with a notice.
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "artwork/screen_layout.h"
#include "framework/finish.h"
#include "games/gate.h"
#include "games/golf.h"
#include "games/klondike.h"
#include "shell/hint_search.h"
#include "shell/winnable_search.h"
#include "store/statistics.h"
#include "solver/solver.h"
#include "tests/games/autoplayer.h"

namespace {

const PlayModelOps* ModelOf(int number) { return FindGame(number) ? FindGame(number)->model : nullptr; }
constexpr int kKlondike = KlondikeGame::kGameNumber, kGolf = GolfGame::kGameNumber;
// Klondike deal 7 at draw one is won by the solver in a moment.
constexpr unsigned kKlondikeDeal = 7;

class FinishTest : public AutoplayerTest {
protected:
    void SetUp() override {
        AutoplayerTest::SetUp();
        Services().playModel = ModelOf;
        SettingsKey key(GameSettingsPath("Klondike"));
        WriteDwordValue(key, "CardsDealt", 1);
    }

    // Starts at the same phase of the clock each time, so the elapsed seconds records hold agree.
    void StartGame(int number, unsigned deal) {
        Wait(static_cast<uint32_t>(1000 - GetTickCount64() % 1000));
        game = FindGame(number)->create(artwork.get());
        game->Deal(false, deal);
        Tick();
    }
    struct Outcome {
        bool won = false;
        int32_t points = 0;
        int records = 0, endSequences = 0;
        std::vector<std::string> sounds;
        std::map<std::string, std::vector<uint8_t>> undoFiles;
    };
    Outcome Result() {
        Tick();  // Auto Game Over comes with the panel tick
        return {game->IsWon(), game->points, game->undo.Count(), game->EndSequenceCount(), sounds, UndoFileContents()};
    }
    // Opens or closes the Options menu by a click on its title.
    void ClickOptionsTitle() {
        const Menu* options = game->OptionsMenu();
        Click(options->GetX() + options->GetWidth() / 2, options->GetY() + options->GetHeight() / 2);
    }
    MenuItem* FinishItem() const { return CommandItem(game->GameCommandsMenu(), kCommandFinish); }
    MenuItem* WinnableItem() const { return CommandItem(game->OptionsMenu(), kCommandWinnableOnly); }

    // Plays the solver's solution with the mouse until the game can be finished; the moves left.
    int PlayUntilFinishable() {
        const PlayModelOps& ops = *ModelOf(game->gameNumber);
        const std::string position = game->PositionBytes();
        const SolveResult solution = Solve(ops, position.data(), {.seconds = 10}, MoveScoreFor(game->gameNumber));
        EXPECT_EQ(solution.outcome, SolveOutcome::kWon);
        MoveList plan;
        for (size_t i = 0; i < solution.moves.size(); ++i) {
            if (FinishPlan(ops, game->PositionBytes(), plan)) return static_cast<int>(solution.moves.size() - i);
            MoveGesture gesture;
            EXPECT_TRUE(game->GestureFor(solution.moves[i], gesture));
            Perform(gesture);
        }
        return 0;
    }

    // Plays what is left by hand, as the program's play-out would: each card going home
    // double-clicked, anything else made as the table says.
    void FinishByHand() {
        MoveList plan;
        for (int moves = 0; moves < 1000 && FinishPlan(*ModelOf(game->gameNumber), game->PositionBytes(), plan); ++moves) {
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(plan.front(), gesture));
            const DropTarget* target = game->FindDropTargetAt(gesture.toX, gesture.toY);
            if (gesture.kind == MoveGesture::kDrag && target && target->kind == kAutoMoveKind)
                DoubleClick(gesture.fromX, gesture.fromY);
            else Perform(gesture);
        }
    }
};

// Deals the solver wins at once whose solutions pass a position offered for finishing.
constexpr std::pair<const char*, unsigned> kFinishDeals[] = {
    {"Klondike", kKlondikeDeal}, {"Forty Thieves", 32}, {"Quadrille", 3},     {"Four Seasons", 9},
    {"Golf", 4},                 {"Monte Carlo", 3},    {"Take Fourteen", 2}, {"Accordion", 3},
    {"Calculation", 3},
};

// The program's play-out through the panel tick ends exactly as the player's own clicks do:
// points, undo records and files, sounds, and one end of the game.
TEST_F(FinishTest, PlaysOutAsThePlayersOwnClicksWould) {
    Services().animate = true;
    for (const auto& [name, deal] : kFinishDeals) {
        SCOPED_TRACE(name);
        const int number = FindGameByName(name)->number;
        StartGame(number, deal);
        ASSERT_GT(PlayUntilFinishable(), 0);
        sounds.clear();
        FinishByHand();
        const Outcome byHand = Result();
        ASSERT_TRUE(byHand.won);

        StartGame(number, deal);
        ASSERT_GT(PlayUntilFinishable(), 0);
        Tick();
        ASSERT_FALSE(FinishItem()->IsDisabled());
        sounds.clear();
        endScreens.clear();
        ASSERT_TRUE(Choose(kCommandFinish));
        for (int tick = 0; tick < 2000 && !game->gameOver; ++tick) Tick();
        const Outcome finished = Result();
        EXPECT_TRUE(finished.won);
        EXPECT_EQ(finished.points, byHand.points);
        EXPECT_EQ(finished.records, byHand.records);
        EXPECT_EQ(finished.sounds, byHand.sounds);
        EXPECT_TRUE(finished.undoFiles == byHand.undoFiles);
        EXPECT_EQ(finished.endSequences, 1);
        EXPECT_EQ(endScreens, std::vector<bool>{true});
        game.reset();
    }
}

TEST_F(FinishTest, GreyedUntilNothingIsLeftToDecideAndAPressStopsIt) {
    StartGame(kKlondike, kKlondikeDeal);
    const std::string dealt = game->PositionBytes();
    ASSERT_TRUE(Choose(kCommandFinish));
    Click(5, 590);  // closes the menu the greyed item left open
    for (int tick = 0; tick < 5; ++tick) Tick();
    EXPECT_EQ(game->PositionBytes(), dealt);

    ASSERT_GT(PlayUntilFinishable(), 3);
    Tick();
    ASSERT_FALSE(FinishItem()->IsDisabled());
    ASSERT_TRUE(Choose(kCommandFinish));
    ASSERT_FALSE(game->IsMenuOpen());
    Tick();
    // An open menu holds the play-out: the table under it stays as the menu found it, so what
    // the menu puts back on closing is the table. Closed, the play-out goes on.
    int made = game->MovesMade();
    ClickOptionsTitle();
    ASSERT_TRUE(game->IsMenuOpen());
    for (int tick = 0; tick < 5; ++tick) Tick();
    EXPECT_EQ(game->MovesMade(), made);
    ClickOptionsTitle();
    ASSERT_FALSE(game->IsMenuOpen());
    Tick();
    EXPECT_GT(game->MovesMade(), made);
    // The player takes over: a press on the table ends the play-out.
    made = game->MovesMade();
    Click(5, 590);
    for (int tick = 0; tick < 5; ++tick) Tick();
    EXPECT_EQ(game->MovesMade(), made);
    EXPECT_TRUE(ScreenCoherent(*game));
    EXPECT_FALSE(game->gameOver);
    ASSERT_TRUE(Choose(kCommandPause));
    Tick();
    EXPECT_TRUE(FinishItem()->IsDisabled());
}

// Building games without a play-out above reach a position offered for finishing before the
// solver's solutions of their deals end.
TEST_F(FinishTest, OfferedNearTheEndOfBuildingGames) {
    for (const char* name : {"Agnes", "Gate", "Simplicity"}) {
        const GameDescriptor& entry = *FindGameByName(name);
        SCOPED_TRACE(name);
        bool offered = false;
        for (unsigned deal = 1; deal <= 10 && !offered; ++deal) {
            game = entry.create(artwork.get());
            game->Deal(false, deal);
            std::string bytes = game->PositionBytes();
            const SolveResult solution = Solve(*entry.model, bytes.data(), {.seconds = 0.5}, MoveScoreFor(entry.number));
            if (solution.outcome != SolveOutcome::kWon) continue;
            PositionCopy copy(*entry.model, bytes);
            MoveList plan;
            for (const PlayMove& move : solution.moves) {
                if ((offered = FinishPlan(*entry.model, bytes, plan))) break;
                entry.model->apply(copy.Data(), move);
                bytes.assign(static_cast<const char*>(copy.Data()), entry.model->positionSize);
            }
        }
        EXPECT_TRUE(offered);
    }
}

// "Demo" through the real menu and panel tick: the solver's line played with the table's own mouse
// path, paced by the animation speed, and the deal kept out of the high scores and statistics.
class DemoTest : public FinishTest {
protected:
    void SetUp() override {
        FinishTest::SetUp();
        userPreferences.CurrentPlayer = FindOrAddPlayer("Tester");
        Services().startLineSearch = StartSolverLine;
    }
    // Panel ticks a demo move apart until `done` or the budget of ticks runs out.
    template <typename Done>
    void TickUntil(Done done, int ticks = 3000) {
        for (int tick = 0; tick < ticks && !done(); ++tick) {
            Wait(100);
            Tick();
        }
    }
    GameStatistics Statistics() const { return ReadStatistics(userPreferences.CurrentPlayer, game->GetName()); }
    // The status strip's pixels as the screen buffer holds them.
    std::vector<Pixel> StatusStrip() const {
        const Pixel* pixels = BufferPixels(screen);
        const size_t width = static_cast<size_t>(BufferWidth(screen)), scale = static_cast<size_t>(BufferScale(screen));
        return {pixels + screen_layout::kStatusTop * scale * width, pixels + screen_layout::kStatusBottom * scale * width};
    }
};

// Every family's known winnable deals, and a game played for points, which the demo fills.
TEST_F(DemoTest, WinsAKnownDealOfEachFamilyAndEntersNoScore) {
    std::vector<std::pair<const char*, unsigned>> deals(std::begin(kFinishDeals), std::end(kFinishDeals));
    deals.insert(deals.end(), {{"Pyramid", 6}, {"Poker Solitaire", 1}});
    for (const auto& [name, deal] : deals) {
        SCOPED_TRACE(name);
        StartGame(FindGameByName(name)->number, deal);
        endScreens.clear();
        ASSERT_TRUE(Choose(kCommandDemo));
        EXPECT_NE(game->HintWords().find("enters no high score or statistics"), std::string::npos);
        // The words stay whole while the cards move, however far down a column reaches.
        Tick();
        const std::string words = game->HintWords();
        const std::vector<Pixel> strip = StatusStrip();
        int torn = 0;
        TickUntil([&] {
            torn += !game->gameOver && game->HintWords() == words && StatusStrip() != strip;
            return game->gameOver;
        });
        EXPECT_EQ(torn, 0);
        EXPECT_TRUE(game->IsWon());  // a game played for points ends won once its grid is full
        EXPECT_EQ(endScreens, std::vector<bool>{true});
        EXPECT_TRUE(highScoreDialogs.empty());
        EXPECT_TRUE(messages.empty()) << messages.front();
        EXPECT_EQ(Statistics().played, 0);
        EXPECT_GT(game->undo.Count(), 1);
        game.reset();
    }
}

// The player's deal under way counts as given up; a key or a click stops the demo and does
// nothing else; the next deal counts again.
TEST_F(DemoTest, AKeyOrAClickHandsTheTableBack) {
    StartGame(kKlondike, kKlondikeDeal);
    MoveGesture gesture;
    ASSERT_TRUE(game->GestureFor(OrderedMoves(*ModelOf(kKlondike), game->PositionBytes().data(), nullptr).front(), gesture));
    Perform(gesture);
    Tick();
    ASSERT_EQ(Statistics().played, 1);
    for (const bool byKey : {true, false}) {
        SCOPED_TRACE(byKey ? "key" : "click");
        ASSERT_TRUE(Choose(kCommandDemo));
        EXPECT_NE(game->HintWords().find(byKey ? "given up" : "any key or click"), std::string::npos);
        const int before = game->MovesMade();
        TickUntil([&] { return game->MovesMade() >= before + 2; });
        ASSERT_GE(game->MovesMade(), before + 2);
        if (byKey) Key('A');
        else Click(5, 590);
        const std::string stopped = game->PositionBytes();
        TickUntil([] { return false; }, 20);
        EXPECT_EQ(game->PositionBytes(), stopped);
        EXPECT_FALSE(game->dragging);
    }
    EXPECT_TRUE(ScreenCoherent(*game));
    const GameStatistics given = Statistics();
    EXPECT_EQ(given.played, 1);
    EXPECT_EQ(given.won, 0);
    // Played on by hand to the end, the deal still enters nothing.
    PlayUntilFinishable();
    FinishByHand();
    Tick();
    EXPECT_TRUE(game->IsWon());
    EXPECT_TRUE(highScoreDialogs.empty());
    EXPECT_EQ(Statistics().won, 0);
    game->Deal(true, kKlondikeDeal);
    Perform(gesture);
    Tick();
    EXPECT_EQ(Statistics().played, 2);
}

// A deal the solver proves lost: the line that sends the most cards home, then the words.
TEST_F(DemoTest, ALostDealSaysItCannotBeWon) {
    constexpr unsigned kLostGolfDeal = 14;
    StartGame(kGolf, kLostGolfDeal);
    const std::string dealt = game->PositionBytes();
    const SolveResult search = Solve(*ModelOf(kGolf), dealt.data(), {.seconds = 10}, MoveScoreFor(kGolf));
    ASSERT_EQ(search.outcome, SolveOutcome::kLost);
    ASSERT_TRUE(Choose(kCommandDemo));
    TickUntil([&] { return !messages.empty(); });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("cannot be won"), std::string::npos);
    EXPECT_EQ(game->points, search.bestPoints);
    EXPECT_TRUE(highScoreDialogs.empty());
}

class WinnableTest : public FinishTest {
protected:
    void SetUp() override {
        FinishTest::SetUp();
        userPreferences.CurrentPlayer = FindOrAddPlayer("Tester");
        Services().startWinnableSearch = [this](Game& table, uint32_t first) {
            return StartWinnableSearch(table, first, budget, QUILLFEN_SOLVE_PROGRAM);
        };
    }

    // The panel tick until the table holds another deal or a notice (the tool runs in real time).
    void WaitForDeal(uint32_t before) {
        const auto start = std::chrono::steady_clock::now();
        while (game->dealNumber == before && messages.empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
            Tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string SettingsText() const {
        std::stringstream text;
        text << std::ifstream(folder + "/settings.reg").rdbuf();
        return text.str();
    }

    double budget = 1.0;
};

// Gate's own game-over test does not see a card go into an empty column once the posts are empty:
// a table it calls over may still be won. Finish is not offered for a play-out the game would end
// on the way, and the solver does not count on one either.
TEST(FinishPlan, NotOfferedWhereTheGamesOwnTestEndsItOnTheWay) {
    const PlayModelOps& ops = *ModelOf(GateGame::kGameNumber);
    GateModel::Position p{};
    p.startRank = Card::kTwo;
    // Black suit 0 waits for its Queen (in column 0), King and Ace (the waste's last two cards);
    // red suit 1 for its Five (under them) and the cards above it, one to a column; 2 and 3 are home.
    p.foundations = {Card(0, Card::kJack), Card(1, 2), Card(2, Card::kAce), Card(3, Card::kAce)};
    for (Card card : {Card(1, 3), Card(0, Card::kKing), Card(0, Card::kAce)}) p.waste[p.wasteCount++] = card;
    p.tableau[0][p.pileCount[0]++] = Card(0, Card::kQueen);
    for (int pile = 1; pile < 7; ++pile) p.tableau[pile][p.pileCount[pile]++] = Card(1, 3 + pile);
    for (int rank : {Card::kAce, Card::kKing, Card::kQueen}) p.tableau[7][p.pileCount[7]++] = Card(1, rank);
    std::string bytes(reinterpret_cast<const char*>(&p), sizeof p);
    ASSERT_FALSE(ops.over(bytes.data()));

    // The Queen going home empties the last column the waste's Ace could not go on: over, by the
    // game's test, though the Ace could go into the empty column and free the King.
    GateModel::Position after = p;
    ops.apply(&after, PlayMove{PlayMove::kMove, GateModel::kFirstPile, 0, GateModel::kFirstFoundation, 1});
    EXPECT_TRUE(ops.over(&after));
    MoveList plan;
    EXPECT_FALSE(FinishPlan(ops, bytes, plan));

    const SolveResult result = Solve(ops, bytes.data(), {}, MoveScoreFor(GateGame::kGameNumber));
    EXPECT_NE(result.outcome, SolveOutcome::kUnknown);
    for (const PlayMove& move : result.moves) {
        ops.apply(bytes.data(), move);
        EXPECT_TRUE(!ops.over(bytes.data()) || ops.won(bytes.data()));
    }
}

TEST_F(WinnableTest, NewDealsAreOnesTheSolverWins) {
    // The tool's search runs in real time: room for a busy machine.
    budget = 3.0;
    for (int number : {kKlondike, kGolf}) {
        SCOPED_TRACE(number);
        StartGame(number, 1);
        ASSERT_TRUE(Choose(kCommandWinnableOnly));
        const std::string settings = SettingsText(), table = game->PositionBytes();
        ASSERT_TRUE(Choose(kCommandNewGame));
        // The old deal stays until the answer comes.
        EXPECT_EQ(game->PositionBytes(), table);
        WaitForDeal(1);
        ASSERT_TRUE(messages.empty()) << messages.front();
        ASSERT_NE(game->dealNumber, 1u);
        const std::string position = game->PositionBytes();
        EXPECT_EQ(Solve(*ModelOf(number), position.data(), {.seconds = 5}, MoveScoreFor(number)).outcome,
                  SolveOutcome::kWon);
        EXPECT_EQ(SettingsText(), settings) << "the search leaves the settings alone";
        // An ordinary number: replaying it deals the same cards.
        ASSERT_TRUE(Choose(kCommandReplayDeal));
        EXPECT_EQ(game->PositionBytes(), position);
    }
}

// With no time for the search, an ordinary deal and a notice. The choice is kept per player and game.
TEST_F(WinnableTest, NoTimeFallsBackToAnOrdinaryDealAndTheChoiceIsKept) {
    budget = 0;
    StartGame(kGolf, 1);
    ASSERT_TRUE(Choose(kCommandWinnableOnly));
    ASSERT_TRUE(Choose(kCommandNewGame));
    WaitForDeal(1);
    EXPECT_EQ(messages, std::vector<std::string>{WinnableDealer::kNotFoundText});
    EXPECT_NE(game->dealNumber, 1u);

    EXPECT_NE(SettingsText().find("WinnableDealsOnly"), std::string::npos);
    StartGame(kGolf, 2);
    EXPECT_TRUE(WinnableItem()->IsChecked());
    StartGame(kKlondike, 2);
    EXPECT_FALSE(WinnableItem()->IsChecked());
    userPreferences.CurrentPlayer = FindOrAddPlayer("Someone Else");
    StartGame(kGolf, 3);
    EXPECT_FALSE(WinnableItem()->IsChecked());
}

// A search that answers only when told.
struct HeldSearch : WinnableSearch {
    explicit HeldSearch(const bool& release) : release(release) {}
    bool Ready() override { return release; }
    std::optional<uint32_t> Found() override { return 4242; }
    const bool& release;
};

TEST_F(WinnableTest, ASlowSearchSaysSoAndHoldsTheTable) {
    bool release = false;
    Services().startWinnableSearch = [&release](Game&, uint32_t) { return std::make_unique<HeldSearch>(release); };
    StartGame(kGolf, 1);
    ASSERT_TRUE(Choose(kCommandWinnableOnly));
    ASSERT_TRUE(Choose(kCommandNewGame));
    Wait(WinnableDealer::kProgressAfterMs);
    Tick();
    EXPECT_EQ(game->statusLeft, WinnableDealer::kProgressText);
    PlayFirstMove();
    EXPECT_EQ(game->MovesMade(), 0);
    release = true;
    // The deal found waits for an open menu to close: it would be drawn under it.
    ClickOptionsTitle();
    Tick();
    EXPECT_EQ(game->dealNumber, 1u);
    ClickOptionsTitle();
    Tick();
    EXPECT_EQ(game->dealNumber, 4242u);
    EXPECT_NE(game->statusLeft, WinnableDealer::kProgressText);
}

}  // namespace
