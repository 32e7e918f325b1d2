// Feeds arbitrary bytes to the font reader; it must refuse bad input without crashing.

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
    const int slot = LoadFontMemory(data, size);
    if (slot != 0) {
        // Exercise the loaded font the way the toolkit does: measure, then draw.
        SelectFont(slot);
        static const char kSample[] = "Aa 0\x7F\x01~\xFF";
        const int length = static_cast<int>(sizeof kSample - 1);
        TextWidth(kSample, length);
        TextHeight(kSample, length);
        MoveTo(4, 30);
        DrawText(kSample, length);
        UnloadFont(slot);
    }
    return 0;
}
