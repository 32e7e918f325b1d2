// Keeping an unfinished deal for the next visit: the game services that save and discard the
// deal and show the statistics, and the offer to continue a kept deal when its game is chosen
// again.
#pragma once

#include <optional>
#include <string>

#include "store/saved_game.h"

struct GameDescriptor;

// Connects showStatistics, keepDeal and forgetDeal.
void ConnectDealKeeping();

// The current player's kept deal of a game, if any (a damaged one is set aside on the way, its
// new name in *keptAs).
std::optional<SavedGame> KeptDeal(int gameNumber, std::string* keptAs = nullptr);
// Puts the kept deal's rule values back into the game's settings, so the game deals under the
// rules the deal began with.
void RestoreKeptRules(const GameDescriptor& game, const SavedGame& saved);
// "Continue the game in progress?": true for Continue (also Enter and Escape), false for New Deal.
bool AskToContinue();
