// The back end of the real program: one SDL2 window whose surface receives only the changed
// rectangles of the screen, scaled to the window's own resolution.
#pragma once

#include <memory>

#include "platform/backend.h"
#include "platform/window_placement.h"

class SdlBackend : public Backend {
public:
    // The ordinary window's placement and the mode as they are now (or were when it closed).
    virtual WindowPlacement Placement() const = 0;
};

// Initialises SDL's video and events; returns null (after printing why) when that fails.
std::unique_ptr<SdlBackend> CreateSdlBackend(const WindowPlacement& placement = {});
