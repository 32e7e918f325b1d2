// The pile-building games' models under rule values other than the defaults: random play where
// every move the model offers is made with the mouse where the table says, and must leave the
// table exactly in the position (every field, the points included) the model's Apply gives.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>

#include "tests/framework/game_fixture.h"

class ModelRuleVariantsTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        userPreferences.AutoGameOver = 1;
    }

    template <typename T>
    void ExpectMouseMakesModelMoves(const char* settingsName,
                                    std::initializer_list<std::pair<const char*, int32_t>> rules, unsigned seed,
                                    int steps = 300) {
        SettingsKey key(GameSettingsPath(settingsName));
        for (const auto& [name, value] : rules) WriteDwordValue(key, name, value);
        T& game = Start<T>(seed);
        std::mt19937 random(seed);
        int played = 0;
        for (int step = 0; step < steps; ++step) {
            MoveList moves;
            game.PlayMoves(moves);
            if (moves.empty()) {
                game.ClearHotspots();
                game.NewGame(true);
                continue;
            }
            const PlayMove move = moves[random() % moves.size()];
            auto expected = game.CurrentPosition();
            T::Model::Apply(expected, move);
            MoveGesture gesture;
            ASSERT_TRUE(game.GestureFor(move, gesture));
            if (gesture.kind == MoveGesture::kClick) Click(gesture.fromX, gesture.fromY);
            else Drag(gesture.fromX, gesture.fromY, gesture.toX, gesture.toY);
            ASSERT_EQ(game.PositionBytes(), std::string(reinterpret_cast<const char*>(&expected), sizeof expected))
                << "step " << step << ": move kind " << int{move.kind} << " from " << int{move.from} << " index "
                << int{move.index} << " to " << int{move.to} << " count " << int{move.count};
            ++played;
        }
        EXPECT_GT(played, steps / 2);
    }
};
