// Move orderings and search codes of the building games Calculation, Agnes and Spider.
#pragma once

#include <utility>
#include <vector>

#include "framework/play_model.h"
#include "solver/solver.h"

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
// Agnes's hash in two halves (see SearchPileHashFor): its tableau piles', then its reserve piles'.
PileHasher AgnesPileHash();

// Calculation: no play can win from this position (no order in which the foundations take the
// waste piles' cards, even with every stock card free, completes them all).
bool CalculationHopeless(const void* position);
// Agnes: no play can win from this position (some cards must leave their places in an order
// that goes round in a cycle, or some card finds no way home even under relaxed rules).
bool AgnesHopeless(const void* position);

// Spider: a face-down card turned and a complete suit sent home are tried alone. Its code tells
// the stock by its size and sorts the columns once the stock is out (until then it deals to them
// in turn). Its game-over test is a search of its own: the solver asks only the plain reasons
// instead, and searches the rest itself.
int SpiderScore(const void* before, const PlayMove& move, int points, const void* after);
void SpiderCode(const void* position, PositionCode& out);
uint64_t SpiderHash(const void* position);
bool SpiderOver(const void* position);
// Spider: no play can win from this position (cards that can never leave the card under them,
// one in every column). `frozen`, when given, receives those cards' places (column, height).
bool SpiderHopeless(const void* position, std::vector<std::pair<int, int>>* frozen = nullptr);

}  // namespace build_games
