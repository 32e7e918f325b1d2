// How the real window opens: its mode, size and place (remembered between runs by the shell).
#pragma once

enum class WindowMode : int {
    kWindow = 0,      // an ordinary movable, resizable window
    kFullScreen = 1,  // the desktop's own resolution, no video mode change
    kClassic = 2,     // borderless and top-most at (0,0), the table enlarged by a whole factor
};

// Where and how the window opens, and what the run ends with (to be remembered for the next).
struct WindowPlacement {
    WindowMode mode = WindowMode::kWindow;
    // The ordinary window's size and, when placed is set, its position; 0 x 0 picks a default.
    int x = 0, y = 0, width = 0, height = 0;
    bool placed = false;
    // Device scale to draw at; 0 chooses it from the desktop (benchmarks fix it).
    int deviceScale = 0;
};
