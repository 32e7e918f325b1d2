// Move orderings, safe moves, dead ends and search codes of the games dealt from a stock onto a
// waste: Klondike and Canfield.
#pragma once

#include "solver/solver.h"

// The move order of one of these games; null for any other game.
MoveScore StockGameScore(int gameNumber);
// The search code that goes with such a move order; null where the model's own code serves.
PositionEncoder StockGameCode(MoveScore score);
// The direct hash that goes with such a move order (see SearchHashFor); null where there is none.
PositionHasher StockGameHash(MoveScore score);
// Its hash in two halves (see SearchPileHashFor); empty where there is none.
PileHasher StockGamePileHash(MoveScore score);
