// The model of play and the mouse path agree, for every game, over random play: every move the
// model offers, made with the mouse where the table says it is made, leaves the position the
// model's Apply gives (cards, counters and points); every change the mouse path makes, by any
// press, drag or double click, is one of the moves the model offered; and the game is over (with
// Auto Game Over on) exactly when the model says so. The pile-building games are played so under
// rule values other than the defaults too.
#include <initializer_list>
#include <utility>

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
    SetAutoGameOver(1);
    int modelMoves = 0, mouseMoves = 0;
    for (int deal = 0; deal < kDeals; ++deal) {
        SCOPED_TRACE(std::string(entry.name) + " deal " + std::to_string(deal));
        std::mt19937 random(static_cast<unsigned>(deal + 77));
        StartDeal(static_cast<unsigned>(deal * 31 + entry.number), deal);
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

// Rule values stored for a game before a run from `seed`; a game's later runs keep the values
// its earlier ones stored unless they set them again.
struct Variant {
    const char* game;
    std::initializer_list<std::pair<const char*, int32_t>> rules;
    unsigned seed;
};

class ModelRuleVariantsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        userPreferences.AutoGameOver = 1;
    }

    void ExpectMouseMakesModelMoves(const Variant& variant, int steps = 300) {
        SettingsKey key(GameSettingsPath(variant.game));
        for (const auto& [name, value] : variant.rules) WriteDwordValue(key, name, value);
        const GameDescriptor& entry = *FindGameByName(variant.game);
        DealSeeded(entry.number, variant.seed);
        std::mt19937 random(variant.seed);
        int played = 0;
        for (int step = 0; step < steps; ++step) {
            MoveList moves;
            game->PlayMoves(moves);
            if (moves.empty()) {
                game->ClearHotspots();
                game->NewGame(true);
                continue;
            }
            const PlayMove move = moves[random() % moves.size()];
            const std::string before = game->PositionBytes();
            PositionCopy expected(*entry.model, before);
            entry.model->apply(expected.Data(), move);
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(move, gesture));
            Perform(gesture);
            ASSERT_EQ(game->PositionBytes(), std::string(static_cast<const char*>(expected.Data()), before.size()))
                << "step " << step << ": " << Describe(move);
            ++played;
        }
        EXPECT_GT(played, steps / 2);
    }
};

TEST_F(ModelRuleVariantsTest, TheMouseMakesTheModelsMovesUnderOtherRules) {
    const Variant variants[] = {
        {"Klondike", {{"MovePartial", 1}, {"AutoFlip", 1}, {"CardsDealt", 1}, {"Recycles", 99999}, {"TableauStart", 0}}, 4},
        {"Klondike", {{"StartCard", -1}, {"FilledIn", 1}, {"CardsDealt", 2}, {"Recycles", 0}}, 5},
        {"Agnes", {{"MovePartial", 0}, {"AutoFlip", 1}, {"StartCard", 5}, {"TableauStart", 0}}, 4},
        {"Agnes", {{"FilledIn", 1}}, 5},
        {"Forty Thieves", {{"MovePartial", 1}, {"Recycle", 99999}, {"AutoFlip", 1}, {"Rows", 5}, {"RowsFaceDown", 3}}, 4},
        {"Forty Thieves",
         {{"FilledIn", 1}, {"Recycle", 2}, {"Columns", 6}, {"Rows", 2}, {"RowsFaceDown", 1}, {"StartCard", -1}}, 5},
        {"Gate", {{"MovePartial", 1}, {"Recycles", 99999}, {"FillFromWaste", 1}}, 4},
        {"Gate", {{"FilledIn", 1}, {"Recycles", 2}, {"StartCard", 3}}, 5},
        {"Quadrille", {{"CardsDealt", 3}, {"Recycles", 99999}}, 4},
        {"Quadrille", {{"FilledIn", 1}, {"CardsDealt", 2}, {"Recycles", 0}}, 5},
        {"Four Seasons", {{"CardsDealt", 3}, {"Recycles", 99999}}, 4},
        {"Four Seasons", {{"FilledIn", 1}, {"CardsDealt", 2}, {"Recycles", 1}, {"StartCard", 7}}, 5},
        {"Simplicity", {{"CardsDealt", 3}, {"Recycles", 99999}}, 4},
        {"Simplicity", {{"FilledIn", 1}, {"CardsDealt", 2}, {"Recycles", 1}, {"StartCard", 7}}, 5},
        {"Spider", {{"SuitAssembled", 0}, {"RowsFaceDown", 2}, {"AutoFlip", 1}}, 4},
        {"Spider", {{"StartCard", -1}, {"RowsFaceDown", 0}}, 5},
        {"Canfield", {{"MovePartial", 1}, {"Recycles", 99999}, {"CardsDealt", 3}, {"FillFromStock", 0}}, 4},
        {"Canfield", {{"Recycles", 2}, {"CardsDealt", 2}}, 5},
    };
    for (const Variant& variant : variants) {
        SCOPED_TRACE(std::string(variant.game) + " from seed " + std::to_string(variant.seed));
        ExpectMouseMakesModelMoves(variant);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
