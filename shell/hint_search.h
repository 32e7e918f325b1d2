// The in-game hint's search: the solver on a worker thread for half a second, then the first move
// of its solution; the deal proved lost; or, out of time, the heuristic's best move. And the
// verdict on the status line, from the same solver given longer.
#pragma once

#include <memory>

#include "framework/hint.h"

class Game;

std::unique_ptr<HintSearch> StartSolverHint(Game& game);
// The verdict's search: the solver on a worker thread for up to two seconds of its processor time.
std::unique_ptr<VerdictSearch> StartSolverVerdict(Game& game);
// The demo's line: the solver's win, else the line it met that sent the most cards home.
std::unique_ptr<LineSearch> StartSolverLine(Game& game);
