// The model of play and the mouse path agree, for every game, over random play: every move the
// model offers, made with the mouse where the table says it is made, leaves the position the
// model's Apply gives (cards, counters and points); every change the mouse path makes, by any
// press, drag or double click, is one of the moves the model offered; and the game is over (with
// Auto Game Over on) exactly when the model says so.
#include <cstring>
#include <set>

#include "tests/games/autoplayer.h"

namespace {

constexpr int kDeals = 12;
constexpr int kActions = 120;

// The model's points and canonical code of a position given as bytes.
struct Seen {
    std::string code;
    int32_t points;
};

class ModelProperty : public AutoplayerTest, public ::testing::WithParamInterface<int> {
protected:
    Seen Now(const PlayModelOps& ops) {
        const std::string bytes = game->PositionBytes();
        EXPECT_EQ(bytes.size(), ops.positionSize);
        PositionCopy copy(ops, bytes);
        return {copy.Code(), game->points};
    }
};

TEST_P(ModelProperty, MouseAndModelAgree) {
    const GameDescriptor& entry = *FindGame(GetParam());
    ASSERT_NE(entry.model, nullptr) << entry.name << " has no model of play";
    const PlayModelOps& ops = *entry.model;
    game = entry.create(artwork.get());
    userPreferences.AutoGameOver = 1;
    game->AutoGameOverItem()->SetChecked(1);
    int modelMoves = 0, mouseMoves = 0;
    for (int deal = 0; deal < kDeals; ++deal) {
        SCOPED_TRACE(std::string(entry.name) + " deal " + std::to_string(deal));
        game->deck.Seed(static_cast<unsigned>(deal * 31 + entry.number));
        std::mt19937 random(static_cast<unsigned>(deal + 77));
        if (deal == 0) {
            game->NewGame(false);
        } else {
            game->ClearHotspots();
            game->NewGame(true);
        }
        for (int action = 0; action < kActions && !game->gameOver; ++action) {
            SCOPED_TRACE("action " + std::to_string(action));
            MoveList moves;
            game->PlayMoves(moves);
            const std::string bytes = game->PositionBytes();
            ASSERT_EQ(bytes.size(), ops.positionSize);
            const Seen before = Now(ops);
            // The successors of every offered move.
            std::vector<Seen> successors;
            for (const PlayMove& move : moves) {
                PositionCopy next(ops, bytes);
                const int scored = ops.apply(next.Data(), move);
                successors.push_back({next.Code(), before.points + scored});
            }
            if (!moves.empty() && random() % 2 == 0) {
                const size_t pick = random() % moves.size();
                MoveGesture gesture;
                ASSERT_TRUE(game->GestureFor(moves[pick], gesture)) << Describe(moves[pick]);
                Perform(gesture);
                ASSERT_FALSE(game->dragging);
                const Seen after = Now(ops);
                EXPECT_EQ(after.code, successors[pick].code) << Describe(moves[pick]) << " made by the mouse";
                EXPECT_EQ(after.points, successors[pick].points) << Describe(moves[pick]);
                ++modelMoves;
            } else {
                Act(*game, random);
                ASSERT_TRUE(game);
                ASSERT_FALSE(game->dragging);
                if (lastAction == "undo") continue;
                const Seen after = Now(ops);
                if (after.code == before.code && after.points == before.points) continue;
                bool offered = false;
                for (const Seen& successor : successors)
                    offered = offered || (successor.code == after.code && successor.points == after.points);
                // A double click is a click and then a double click: where a click plays a card
                // (Auld Lang Syne), the two together may make two moves.
                if (!offered && lastAction.rfind("double click", 0) == 0) {
                    for (const PlayMove& move : moves) {
                        PositionCopy next(ops, bytes);
                        const int scored = ops.apply(next.Data(), move);
                        MoveList more;
                        ops.moves(next.Data(), more);
                        for (const PlayMove& second : more) {
                            PositionCopy last(ops, std::string(static_cast<const char*>(next.Data()), ops.positionSize));
                            const int secondScored = ops.apply(last.Data(), second);
                            offered = offered || (last.Code() == after.code && before.points + scored + secondScored == after.points);
                        }
                    }
                }
                EXPECT_TRUE(offered) << lastAction << " changed the position in a way no offered move does";
                ++mouseMoves;
            }
            PositionCopy now(ops, game->PositionBytes());
            if (!game->endedByUser) {
                EXPECT_EQ(game->gameOver, ops.over(now.Data()) || ops.won(now.Data())) << "game over";
            }
            if (::testing::Test::HasFailure()) return;
        }
    }
    std::printf("%s: %d model moves and %d mouse moves checked\n", entry.name, modelMoves, mouseMoves);
    EXPECT_GT(modelMoves, 0);
    game.reset();
}

INSTANTIATE_TEST_SUITE_P(RegisteredGames, ModelProperty, ::testing::ValuesIn(RegisteredGameNumbers()),
                         [](const ::testing::TestParamInfo<int>& info) { return GameTestName(info.param); });

}  // namespace
