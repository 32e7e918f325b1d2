// Move orders, safe moves, dead ends and search codes of the games that pair cards off or play
// them onto shared piles whatever their suit (Accordion, Auld Lang Syne, Golf, Pyramid, Simple
// Addition), and Gate.
#pragma once

#include "solver/solver.h"

// The move order of one of these games; null for any other game.
MoveScore PairingGameScore(int gameNumber);
// The search code that goes with such a move order; null where the model's own code serves.
PositionEncoder PairingGameCode(MoveScore score);
