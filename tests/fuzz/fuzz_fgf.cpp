// Feeds arbitrary bytes to the font reader; it must refuse bad input without crashing.

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SmallScreen();
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
