// A game's tests with its rule values set in the settings store before a deal, and the automatic
// game-over check off so that hand-built tables stay in play.
#pragma once

#include <cstdint>

#include "games/game_registry.h"
#include "tests/framework/game_fixture.h"

template <typename Game>
class RuledGameTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        userPreferences.AutoGameOver = 0;
    }
    static void SetRule(const char* name, int32_t value) {
        SettingsKey key(GameSettingsPath(FindGame(Game::kGameNumber)->name));
        WriteDwordValue(key, name, value);
    }
};
