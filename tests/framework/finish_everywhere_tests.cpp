// Finish in every game that can finish: a deal the solver wins is played by its solution with the
// mouse until the Game menu offers Finish; the program's play-out through the panel tick must end
// exactly as the player's own clicks do (points, undo records, sounds, the end of the game).
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "framework/finish.h"
#include "games/game_registry.h"
#include "solver/solver.h"
#include "store/settings_store.h"
#include "tests/framework/game_fixture.h"

namespace {

const PlayModelOps* ModelOf(int number) { return FindGame(number) ? FindGame(number)->model : nullptr; }

// Deals each game's solver wins at once and whose solution passes a finishable position.
struct FinishDeal {
    const char* game;
    uint32_t deal;
};
constexpr FinishDeal kDeals[] = {
    {"Forty Thieves", 32}, {"Quadrille", 3},     {"Four Seasons", 9}, {"Golf", 4},
    {"Monte Carlo", 3},    {"Take Fourteen", 2}, {"Accordion", 3}, {"Calculation", 3},
};

struct Outcome {
    bool won = false;
    int32_t points = 0;
    int records = 0, endSequences = 0;
    std::vector<std::string> sounds;
    std::map<std::string, std::string> undoFiles;
};

class FinishEverywhereTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        Services().playModel = ModelOf;
        Services().animate = true;
    }

    void StartDeal(const GameDescriptor& entry, uint32_t deal) {
        // The same phase of the clock each time, so the elapsed seconds the records hold agree.
        Wait(static_cast<uint32_t>(1000 - GetTickCount64() % 1000));
        game = entry.create(artwork.get());
        game->Deal(false, deal);
        Tick();
    }

    // Plays the solution with the mouse until the model can finish the deal; false if it never can.
    bool PlayUntilFinishable(const SolveResult& solution) {
        const PlayModelOps& ops = *ModelOf(game->gameNumber);
        MoveList plan;
        for (const PlayMove& move : solution.moves) {
            if (FinishPlan(ops, game->PositionBytes(), plan)) return true;
            MoveGesture gesture;
            if (!game->GestureFor(move, gesture)) return false;
            Perform(gesture);
        }
        return false;
    }

    Outcome Result() {
        Tick();  // Auto Game Over comes with the panel tick
        Outcome outcome;
        outcome.won = game->IsWon();
        outcome.points = game->points;
        outcome.records = game->undo.Count();
        outcome.endSequences = game->EndSequenceCount();
        outcome.sounds = sounds;
        for (const std::string& name : UndoFiles()) {
            std::ifstream in(RuntimeDirectory() + "/" + name, std::ios::binary);
            outcome.undoFiles[name].assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return outcome;
    }
};

TEST_F(FinishEverywhereTest, FinishPlaysOutAsThePlayersOwnClicksWould) {
    for (const FinishDeal& chosen : kDeals) {
        SCOPED_TRACE(chosen.game);
        const GameDescriptor& entry = *FindGameByName(chosen.game);
        StartDeal(entry, chosen.deal);
        const std::string dealt = game->PositionBytes();
        const SolveResult solution = Solve(*entry.model, dealt.data(), {.seconds = 10}, MoveScoreFor(entry.number));
        ASSERT_EQ(solution.outcome, SolveOutcome::kWon);

        // By hand: each card going home is double-clicked, anything else made as the table says.
        ASSERT_TRUE(PlayUntilFinishable(solution));
        sounds.clear();
        MoveList plan;
        for (int moves = 0; moves < 1000 && FinishPlan(*entry.model, game->PositionBytes(), plan); ++moves) {
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(plan.front(), gesture));
            const DropTarget* target = game->FindDropTargetAt(gesture.toX, gesture.toY);
            if (gesture.kind == MoveGesture::kDrag && target && target->kind == kAutoMoveKind)
                DoubleClick(gesture.fromX, gesture.fromY);
            else Perform(gesture);
        }
        const Outcome byHand = Result();
        ASSERT_TRUE(byHand.won);

        StartDeal(entry, chosen.deal);
        ASSERT_TRUE(PlayUntilFinishable(solution));
        Tick();
        MenuItem* item = CommandItem(game->GameMenu(), kCommandFinish);
        ASSERT_FALSE(item->IsDisabled());
        sounds.clear();
        ASSERT_TRUE(Choose(kCommandFinish));
        for (int tick = 0; tick < 2000 && !game->gameOver; ++tick) Tick();
        const Outcome finished = Result();
        EXPECT_TRUE(finished.won);
        EXPECT_EQ(finished.points, byHand.points);
        EXPECT_EQ(finished.records, byHand.records);
        EXPECT_EQ(finished.sounds, byHand.sounds);
        EXPECT_TRUE(finished.undoFiles == byHand.undoFiles);
        EXPECT_EQ(finished.endSequences, 1);
        game.reset();
    }
}

}  // namespace
