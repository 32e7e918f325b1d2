// Move orderings, safe moves and search codes of the building games whose stock is turned onto a
// waste, with no macro of presses: Forty Thieves and Four Seasons.
#pragma once

#include "solver/solver.h"

namespace waste_games {

// The move order of one of these games; null for any other game.
MoveScore Score(int gameNumber);
// The search code that goes with such a move order; null for any other.
PositionEncoder Code(MoveScore score);
// How these games' beams are guided (no value for any other game).
BeamGuide Beam(MoveScore score);
// Its direct hash (see SearchHashFor); null for any other.
PositionHasher Hash(MoveScore score);
// Their turns of the waste left, for the search to cover positions by (no press macro: wastePlace
// stays -1; turnsLeft is null for any other move order).
StockMacro Macro(MoveScore score);

}  // namespace waste_games
