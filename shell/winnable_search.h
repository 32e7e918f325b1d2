// The search for a winnable deal behind "Winnable Deals Only": the solver's command-line tool,
// run as a child process, deals numbers from the first one on exactly as the table deals them and
// answers the first it proves won within the time. A separate process deals without touching the
// table, the settings or the sounds of the running game, and the interface only polls its pipe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/winnable.h"

class Game;

// The tool beside the program.
std::string SolverProgramPath();

// Null when the game cannot be solved (it is played for points) or the tool cannot be started.
std::unique_ptr<WinnableSearch> StartWinnableSearch(Game& game, uint32_t first, double seconds,
                                                    const std::string& program = SolverProgramPath());
