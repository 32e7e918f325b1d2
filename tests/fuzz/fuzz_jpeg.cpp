// Feeds arbitrary bytes to the JPEG decoder; it must refuse bad input without crashing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "draw/jpeg_encode.h"

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there a few small pictures in both chroma
// layouts: the shipped pictures are full-screen and slow to decode, small ones let the fuzzer
// explore the decoder's paths many times faster.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = SeedFolder();
    if (!folder) return 0;
    const int sizes[][2] = {{8, 8}, {17, 9}, {33, 24}};
    int n = 0;
    for (const auto& size : sizes) {
        std::vector<uint32_t> pixels(static_cast<size_t>(size[0]) * size[1]);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 0x010305u) & 0xFFFFFFu;
        for (bool subsample : {false, true}) {
            WriteSeed(folder, "small-" + std::to_string(n++) + ".jpg",
                      EncodeJpeg(pixels.data(), size[0], size[1], 75, subsample));
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SmallScreen();
    ShowJpegMemory(data, size);
    return 0;
}
