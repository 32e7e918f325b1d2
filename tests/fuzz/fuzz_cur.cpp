// Feeds arbitrary bytes to the cursor reader: it must refuse or decode, never crash or overread.
#include <cstddef>
#include <cstdint>

#include "platform/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CursorImage image;
    if (DecodeCursor(data, size, &image)) {
        // A decoded image must be as large as it claims.
        if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height)) __builtin_trap();
    }
    return 0;
}
