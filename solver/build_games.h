// Move orderings and search codes of the building games Calculation and Agnes.
#pragma once

#include "framework/play_model.h"

namespace build_games {

int CalculationScore(const void* before, const PlayMove& move, int points, const void* after);
int AgnesScore(const void* before, const PlayMove& move, int points, const void* after);

// Codes that give equal bytes to positions the rules cannot tell apart: places of the same kind
// in another order, and (in Calculation) cards of another suit.
void CalculationCode(const void* position, PositionCode& out);
void AgnesCode(const void* position, PositionCode& out);
// The codes' content hashed directly (equal codes, equal hashes), cheaper than building them.
uint64_t CalculationHash(const void* position);
uint64_t AgnesHash(const void* position);

// Calculation: no play can win from this position (no order in which the foundations take the
// waste piles' cards, even with every stock card free, completes them all).
bool CalculationHopeless(const void* position);
// Agnes: no play can win from this position (some cards must leave their places in an order
// that goes round in a cycle, or some card finds no way home even under relaxed rules).
bool AgnesHopeless(const void* position);

}  // namespace build_games
