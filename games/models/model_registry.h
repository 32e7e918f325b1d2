// Every game's model by number and name, for what plays the rules without a table: the solver, its
// command-line tool and the checks on the models. The on-screen registry (games/game_registry.h)
// lists the same games with their tables and dialogs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "framework/play_model.h"
#include "games/models/model_parts.h"

// The games' numbers: their places in the game list.
namespace game_number {
enum : int {
    kAccordion = 1, kAgnes, kAuldLangSyne, kBlockSolitaire, kCalculation, kCanfield, kCribbageSolitaire,
    kFortyThieves, kFourSeasons, kGate, kGolf, kKlondike, kMonteCarlo, kPokerSolitaire, kPyramid, kQuadrille,
    kSimpleAddition, kSimplicity, kSpider, kTakeFourteen
};
}  // namespace game_number

// A rule value by its settings name (as "CardsDealt"); none keeps the game's default.
using RuleLookup = std::function<std::optional<int32_t>(std::string_view name)>;

// One rule value as the tools see it: its settings name and the values it takes.
struct RuleInfo {
    const char* name = "";
    bool checkBox = false;
    RuleRange range{};
    int32_t defaultValue = 0;
    bool Accepts(int32_t value) const { return checkBox || range.Holds(value); }
};

struct GameModel {
    int number = 0;          // 1..20, the position in the game list
    const char* name = "";   // the English name, which is also the game's settings key
    PlayModelOps ops;
    std::span<const RuleInfo> rules;  // the settings values its rules read
    // Deals deal `dealNumber` under the rule values `value` gives into `position`, which holds
    // ops.positionSize bytes: the position the table shows after the same deal.
    void (*deal)(uint32_t dealNumber, const RuleLookup& value, void* position) = nullptr;
};

// All twenty, game n at index n - 1.
std::span<const GameModel> GameModels();
// Game number n, or null for a number outside 1..20.
const GameModel* FindModel(int number);
// Names compare without case and spaces ("forty thieves", "FortyThieves").
bool SameName(std::string_view a, std::string_view b);
// The game of that name, compared so, or null.
const GameModel* FindModelByName(std::string_view name);
