// The back end of the real program: one SDL2 window, its renderer and a streaming texture.
#pragma once

#include <memory>

#include "platform/backend.h"

// Initialises SDL's video and events; returns null (after printing why) when that fails.
std::unique_ptr<Backend> CreateSdlBackend();
