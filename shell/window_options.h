// The window's mode, size and place: remembered in the settings file for the machine (not per
// player) and overridden for one run from the command line.
#pragma once

#include <string>
#include <vector>

#include "platform/window_placement.h"

struct WindowStart {
    WindowPlacement placement;
    // Set when the command line chose the mode; the mode at the end of the run is then not kept.
    bool modeFromCommandLine = false;
    // Arguments that are not window options, in their order (the program's name first).
    std::vector<std::string> rest;
};

// The remembered placement with --fullscreen, --window or --classic-window applied (the last
// one given wins).
WindowStart ReadWindowStart(int argc, const char* const* argv);

// Stores the placement a run ended with. The classic window changes nothing; a mode chosen on
// the command line is not stored, only the ordinary window's size and place.
void SaveWindowPlacement(const WindowStart& start, const WindowPlacement& ended);
