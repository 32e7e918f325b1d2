// Every game the program can start, one descriptor each: its number and name, how it starts, its
// rule options, how to make its table and its model of play. The selection screen, the start
// handlers, the rule dialogs, the rules readers and the tests all loop over this registry, so a
// new game is known everywhere as soon as its descriptor is added.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "framework/game.h"
#include "framework/play_model.h"
#include "games/game_rules.h"
#include "games/models/model_registry.h"

class Artwork;

enum class StartMode {
    AtOnce,      // the game deals at once
    RulesFirst,  // the game's rule-settings dialog comes first; cancelling it keeps the selection
};

struct GameDescriptor {
    int number = 0;            // 1..20, the position in the game list
    const char* name = "";     // as on the selection screen; also the game's settings key
    StartMode start = StartMode::AtOnce;
    RuleTable rules{};         // no options: the game has no rule-settings dialog
    std::unique_ptr<Game> (*create)(Artwork* artwork) = nullptr;
    const PlayModelOps* model = nullptr;

    bool HasRuleSettings() const { return !rules.options.empty(); }
};

// All twenty, game n at index n - 1.
std::span<const GameDescriptor> RegisteredGames();
// The descriptor of game number n, or null for a number outside 1..20.
const GameDescriptor* FindGame(int number);
// The game of that name, compared without case and spaces, or null.
const GameDescriptor* FindGameByName(std::string_view name);
// The game's name as the player reads it, in the current language; name stays the English key.
const char* GameDisplayName(const GameDescriptor& game);
