// Feeds arbitrary bytes to the JPEG decoder; it must refuse bad input without crashing.

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
    ShowJpegMemory(data, size);
    return 0;
}
