// "Finish" and "Winnable Deals Only" through the real menu and panel tick: a Klondike deal played
// by its solution until nothing is left to decide is played out by the program, move by move
// through the table's own mouse path; winnable deals come from the solver's tool and fall back to
// an ordinary deal with a notice when it finds none in time.
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "framework/finish.h"
#include "games/golf.h"
#include "games/klondike.h"
#include "shell/winnable_search.h"
#include "solver/solver.h"
#include "tests/games/autoplayer.h"

namespace {

const PlayModelOps* ModelOf(int number) { return FindGame(number) ? FindGame(number)->model : nullptr; }

class FinishTest : public AutoplayerTest {
protected:
    void SetUp() override {
        AutoplayerTest::SetUp();
        Services().playModel = ModelOf;
    }

    void StartGame(int number, unsigned deal) {
        game = FindGame(number)->create(artwork.get());
        game->Deal(false, deal);
        Tick();
    }

    MenuItem* Item(Menu* menu, int command) { return CommandItem(menu, command); }

    // Plays the solver's solution through the mouse until the game can be finished; the moves
    // left to play.
    int PlayUntilFinishable(const PlayModelOps& ops, int number) {
        const std::string position = game->PositionBytes();
        const SolveResult solution = Solve(ops, position.data(), {.seconds = 10}, MoveScoreFor(number));
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
};

// Klondike deal 7 at draw one is won by the solver in a moment.
constexpr unsigned kKlondikeDeal = 7;

void DrawOne(const char* cardsDealt = "1") {
    SettingsKey key(GameSettingsPath("Klondike"));
    WriteDwordValue(key, "CardsDealt", std::atoi(cardsDealt));
}

TEST_F(FinishTest, PlaysANearlyWonKlondikeHomeAsIfPlayed) {
    DrawOne();
    Services().animate = true;
    const PlayModelOps& ops = *ModelOf(KlondikeGame::kGameNumber);
    // The player plays it out first, moving each card home with a double click.
    StartGame(KlondikeGame::kGameNumber, kKlondikeDeal);
    ASSERT_GT(PlayUntilFinishable(ops, KlondikeGame::kGameNumber), 0);
    sounds.clear();
    MoveList plan;
    while (FinishPlan(ops, game->PositionBytes(), plan)) {
        MoveGesture gesture;
        ASSERT_TRUE(game->GestureFor(plan.front(), gesture));
        const DropTarget* target = game->FindDropTargetAt(gesture.toX, gesture.toY);
        if (target && target->kind == kAutoMoveKind) DoubleClick(gesture.fromX, gesture.fromY);
        else Perform(gesture);
    }
    ASSERT_TRUE(game->IsWon());
    const int playedPoints = game->points, playedRecords = game->undo.Count();
    const size_t playedSounds = sounds.size();

    StartGame(KlondikeGame::kGameNumber, kKlondikeDeal);
    EXPECT_TRUE(Item(game->GameMenu(), kCommandFinish)->IsDisabled()) << "cards are face down";
    ASSERT_GT(PlayUntilFinishable(ops, KlondikeGame::kGameNumber), 0);
    Tick();
    ASSERT_FALSE(Item(game->GameMenu(), kCommandFinish)->IsDisabled());
    sounds.clear();
    ASSERT_TRUE(Choose(kCommandFinish));
    for (int tick = 0; tick < 500 && !game->gameOver; ++tick) Tick();
    ASSERT_TRUE(game->gameOver);
    EXPECT_TRUE(game->IsWon());
    EXPECT_EQ(game->points, playedPoints);
    EXPECT_EQ(game->undo.Count(), playedRecords);
    EXPECT_EQ(sounds.size(), playedSounds);
    // Auto Game Over ends it as usual.
    Tick();
    EXPECT_EQ(game->EndSequenceCount(), 1);
    EXPECT_EQ(endScreens, std::vector<bool>{true});
}

TEST_F(FinishTest, GreyedUntilNothingIsLeftToDecideAndAPressStopsIt) {
    DrawOne();
    StartGame(KlondikeGame::kGameNumber, kKlondikeDeal);
    const std::string dealt = game->PositionBytes();
    // Chosen while greyed, it does nothing.
    ASSERT_TRUE(Choose(kCommandFinish));
    Click(5, 590);  // closes the menu the greyed item left open
    for (int tick = 0; tick < 5; ++tick) Tick();
    EXPECT_EQ(game->PositionBytes(), dealt);
    EXPECT_EQ(game->MovesMade(), 0);

    ASSERT_GT(PlayUntilFinishable(*ModelOf(KlondikeGame::kGameNumber), KlondikeGame::kGameNumber), 2);
    ASSERT_TRUE(Choose(kCommandFinish));
    Tick();
    const int made = game->MovesMade();
    EXPECT_GT(made, 0);
    // The player takes over: a press on the table ends the play-out.
    Click(5, 590);
    for (int tick = 0; tick < 5; ++tick) Tick();
    EXPECT_EQ(game->MovesMade(), made);
    EXPECT_FALSE(game->gameOver);
    // Paused, it is greyed again.
    ASSERT_TRUE(Choose(kCommandPause));
    Tick();
    EXPECT_TRUE(Item(game->GameMenu(), kCommandFinish)->IsDisabled());
}

// Games whose deals the solver wins quickly reach a position offered for finishing before their
// solutions end.
TEST_F(FinishTest, OfferedNearTheEndOfEveryBuildingGame) {
    for (const char* name : {"Klondike", "Agnes", "Gate", "Simplicity", "Four Seasons", "Calculation"}) {
        const GameDescriptor& entry = *FindGameByName(name);
        SCOPED_TRACE(name);
        bool offered = false;
        for (unsigned deal = 1; deal <= 10 && !offered; ++deal) {
            game = entry.create(artwork.get());
            game->Deal(false, deal);
            const std::string position = game->PositionBytes();
            const SolveResult solution = Solve(*entry.model, position.data(), {.seconds = 0.5}, MoveScoreFor(entry.number));
            if (solution.outcome != SolveOutcome::kWon) continue;
            PositionCopy copy(*entry.model, position);
            std::string bytes = position;
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

class WinnableTest : public FinishTest {
protected:
    void SetUp() override {
        FinishTest::SetUp();
        userPreferences.CurrentPlayer = FindOrAddPlayer("Tester");
        Services().startWinnableSearch = [this](Game& table, uint32_t first) {
            return StartWinnableSearch(table, first, budget, QUILLFEN_SOLVE_PROGRAM);
        };
    }

    // The panel tick until the table holds another deal (the tool runs in real time).
    void WaitForDeal(uint32_t before) {
        const auto start = std::chrono::steady_clock::now();
        while (game->dealNumber == before && messages.empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
            Tick();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::string SettingsText() const {
        std::ifstream file(folder + "/settings.reg");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    double budget = 1.0;
};

TEST_F(WinnableTest, NewDealsAreOnesTheSolverWins) {
    DrawOne("3");
    for (int number : {KlondikeGame::kGameNumber, GolfGame::kGameNumber}) {
        SCOPED_TRACE(number);
        StartGame(number, 1);
        ASSERT_TRUE(Choose(kCommandWinnableOnly));
        EXPECT_TRUE(Item(game->OptionsMenu(), kCommandWinnableOnly)->IsChecked());
        const std::string settings = SettingsText();
        const uint32_t before = game->dealNumber;
        const std::string table = game->PositionBytes();
        ASSERT_TRUE(Choose(kCommandNewGame));
        // The table keeps the old deal (and takes no moves) until the answer comes.
        EXPECT_EQ(game->PositionBytes(), table);
        WaitForDeal(before);
        ASSERT_TRUE(messages.empty()) << messages.front();
        ASSERT_NE(game->dealNumber, before);
        const std::string position = game->PositionBytes();
        const SolveResult result = Solve(*ModelOf(number), position.data(), {.seconds = 5}, MoveScoreFor(number));
        EXPECT_EQ(result.outcome, SolveOutcome::kWon);
        EXPECT_EQ(game->MovesMade(), 0);
        EXPECT_EQ(SettingsText(), settings) << "the search leaves the settings alone";
        // An ordinary number: replaying it deals the same cards.
        ASSERT_TRUE(Choose(kCommandReplayDeal));
        EXPECT_EQ(game->PositionBytes(), position);
    }
}

TEST_F(WinnableTest, NoTimeFallsBackToAnOrdinaryDealWithANotice) {
    budget = 0;
    StartGame(GolfGame::kGameNumber, 1);
    ASSERT_TRUE(Choose(kCommandWinnableOnly));
    ASSERT_TRUE(Choose(kCommandNewGame));
    WaitForDeal(1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], WinnableDealer::kNotFoundText);
    EXPECT_NE(game->dealNumber, 1u);
}

TEST_F(WinnableTest, TheChoiceIsKeptPerPlayerAndGame) {
    StartGame(GolfGame::kGameNumber, 1);
    ASSERT_TRUE(Choose(kCommandWinnableOnly));
    EXPECT_TRUE(WinnableDealsOnly("Golf"));
    EXPECT_FALSE(WinnableDealsOnly("Klondike"));
    // A new table of the same game shows it checked; another game does not.
    StartGame(GolfGame::kGameNumber, 2);
    EXPECT_TRUE(Item(game->OptionsMenu(), kCommandWinnableOnly)->IsChecked());
    StartGame(KlondikeGame::kGameNumber, 2);
    EXPECT_FALSE(Item(game->OptionsMenu(), kCommandWinnableOnly)->IsChecked());
    // Another player has a choice of their own.
    const int tester = userPreferences.CurrentPlayer;
    userPreferences.CurrentPlayer = FindOrAddPlayer("Someone Else");
    EXPECT_FALSE(WinnableDealsOnly("Golf"));
    userPreferences.CurrentPlayer = tester;
    StartGame(GolfGame::kGameNumber, 3);
    ASSERT_TRUE(Choose(kCommandWinnableOnly));
    EXPECT_FALSE(WinnableDealsOnly("Golf"));
    EXPECT_NE(SettingsText().find("WinnableDealsOnly"), std::string::npos);
}

// A search that answers only when told: the progress text after a moment, no card moves meanwhile.
class HeldSearch : public WinnableSearch {
public:
    explicit HeldSearch(bool* release) : release(release) {}
    bool Ready() override { return *release; }
    std::optional<uint32_t> Found() override { return 4242; }

private:
    bool* release;
};

TEST_F(WinnableTest, ASlowSearchSaysSoAndHoldsTheTable) {
    bool release = false;
    Services().startWinnableSearch = [&release](Game&, uint32_t) { return std::make_unique<HeldSearch>(&release); };
    StartGame(GolfGame::kGameNumber, 1);
    ASSERT_TRUE(Choose(kCommandWinnableOnly));
    ASSERT_TRUE(Choose(kCommandNewGame));
    Wait(WinnableDealer::kProgressAfterMs);
    Tick();
    EXPECT_EQ(game->statusLeft, WinnableDealer::kProgressText);
    MoveList moves;
    game->PlayMoves(moves);
    ASSERT_FALSE(moves.empty());
    MoveGesture gesture;
    ASSERT_TRUE(game->GestureFor(moves.front(), gesture));
    Perform(gesture);
    EXPECT_EQ(game->MovesMade(), 0);
    release = true;
    Tick();
    EXPECT_EQ(game->dealNumber, 4242u);
    EXPECT_NE(game->statusLeft, WinnableDealer::kProgressText);
}

}  // namespace
