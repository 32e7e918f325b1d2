// Feeds arbitrary bytes to the sprite reader; it must refuse bad input without crashing.

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SmallScreen();
    // The width must match the file's, so take it from the input when there is one.
    const int width = size >= 6 ? data[4] | (data[5] << 8) : 9;
    ShowSprMemory(data, size, width);
    return 0;
}
