// The in-game hint's search: the solver on a worker thread for half a second, then the first move
// of its solution; the deal proved lost; or, out of time, the heuristic's best move.
#pragma once

#include <memory>

#include "framework/hint.h"

class Game;

std::unique_ptr<HintSearch> StartSolverHint(Game& game);
