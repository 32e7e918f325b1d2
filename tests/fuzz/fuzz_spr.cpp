// Feeds arbitrary bytes to the sprite reader; it must refuse bad input without crashing.

#include <cstddef>
#include <cstdint>

#include "draw/draw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One small buffer for the whole run; pictures larger than it are clipped.
    static const bool ready = [] {
        SelectBuffer(CreateBuffer(64, 48));
        SetTransparentColor(34, 1);
        SetTransparentColor(253, 1);
        return true;
    }();
    (void)ready;
    MoveTo(8, 40);
    // The width must match the file's, so take it from the input when there is one.
    const int width = size >= 6 ? data[4] | (data[5] << 8) : 9;
    ShowSprMemory(data, size, width);
    return 0;
}
