#include "shell/window_options.h"

#include <cstdint>
#include <string_view>

#include "platform/settings_file.h"
#include "store/settings_store.h"

namespace {

// Sizes outside this range are not a window the program made: the value is ignored.
constexpr uint32_t kLargestSide = 16384;
// Positions are kept as DWORDs; a window left of or above the first display is negative.
constexpr int32_t kFarthestPosition = 1 << 20;

std::string WindowKeyPath() { return std::string(kRootKey) + "\\Window"; }

WindowPlacement LoadPlacement() {
    WindowPlacement placement;
    const RegKey key = RegOpenKey(WindowKeyPath());
    if (key == kNoRegKey) return placement;
    uint32_t mode = 0, width = 0, height = 0, x = 0, y = 0;
    if (RegQueryDword(key, "Mode", &mode) == kRegOk && mode == static_cast<uint32_t>(WindowMode::kFullScreen))
        placement.mode = WindowMode::kFullScreen;
    if (RegQueryDword(key, "Width", &width) == kRegOk && RegQueryDword(key, "Height", &height) == kRegOk &&
        width > 0 && height > 0 && width <= kLargestSide && height <= kLargestSide) {
        placement.width = static_cast<int>(width);
        placement.height = static_cast<int>(height);
    }
    if (RegQueryDword(key, "X", &x) == kRegOk && RegQueryDword(key, "Y", &y) == kRegOk) {
        const auto sx = static_cast<int32_t>(x), sy = static_cast<int32_t>(y);
        if (sx > -kFarthestPosition && sx < kFarthestPosition && sy > -kFarthestPosition && sy < kFarthestPosition) {
            placement.x = sx;
            placement.y = sy;
            placement.placed = true;
        }
    }
    RegCloseKey(key);
    return placement;
}

}  // namespace

WindowStart ReadWindowStart(int argc, const char* const* argv) {
    WindowStart start;
    start.placement = LoadPlacement();
    for (int i = 0; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        if (i > 0 && argument == "--fullscreen") {
            start.placement.mode = WindowMode::kFullScreen;
        } else if (i > 0 && argument == "--window") {
            start.placement.mode = WindowMode::kWindow;
        } else if (i > 0 && argument == "--classic-window") {
            start.placement.mode = WindowMode::kClassic;
        } else {
            start.rest.emplace_back(argument);
            continue;
        }
        start.modeFromCommandLine = true;
    }
    return start;
}

void SaveWindowPlacement(const WindowStart& start, const WindowPlacement& ended) {
    if (start.placement.mode == WindowMode::kClassic || ended.mode == WindowMode::kClassic) return;
    const RegKey key = RegCreateKey(WindowKeyPath());
    if (key == kNoRegKey) return;
    {
        RegistryBatch batch;
        if (!start.modeFromCommandLine) RegSetDword(key, "Mode", static_cast<uint32_t>(ended.mode));
        if (ended.width > 0 && ended.height > 0) {
            RegSetDword(key, "Width", static_cast<uint32_t>(ended.width));
            RegSetDword(key, "Height", static_cast<uint32_t>(ended.height));
        }
        if (ended.placed) {
            RegSetDword(key, "X", static_cast<uint32_t>(ended.x));
            RegSetDword(key, "Y", static_cast<uint32_t>(ended.y));
        }
    }
    RegCloseKey(key);
}
