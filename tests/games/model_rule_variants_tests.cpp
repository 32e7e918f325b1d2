// The pile-building games' models under rule values other than the defaults: random play where
// every move the model offers is made with the mouse where the table says, and must leave the
// table exactly in the position (every field, the points included) the model's Apply gives.
#include <cstring>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>

#include "tests/framework/game_fixture.h"

namespace {

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
            std::string expected = game->PositionBytes();
            std::vector<uint64_t> position(expected.size() / 8 + 1);
            std::memcpy(position.data(), expected.data(), expected.size());
            entry.model->apply(position.data(), move);
            expected.assign(reinterpret_cast<const char*>(position.data()), expected.size());
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(move, gesture));
            Perform(gesture);
            ASSERT_EQ(game->PositionBytes(), expected)
                << "step " << step << ": move kind " << int{move.kind} << " from " << int{move.from} << " index "
                << int{move.index} << " to " << int{move.to} << " count " << int{move.count};
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
