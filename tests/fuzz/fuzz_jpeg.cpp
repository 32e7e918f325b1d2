// Feeds arbitrary bytes to the JPEG decoder; it must refuse bad input without crashing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/jpeg_encode.h"

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there a few small pictures in both chroma
// layouts: the shipped pictures are full-screen and slow to decode, small ones let the fuzzer
// explore the decoder's paths many times faster.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("QUILLFEN_FUZZ_SEEDS");
    if (!folder) return 0;
    const int sizes[][2] = {{8, 8}, {17, 9}, {33, 24}};
    int n = 0;
    for (const auto& size : sizes) {
        std::vector<uint32_t> pixels(static_cast<size_t>(size[0]) * size[1]);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 0x010305u) & 0xFFFFFFu;
        for (bool subsample : {false, true}) {
            const std::vector<uint8_t> jpeg = EncodeJpeg(pixels.data(), size[0], size[1], 75, subsample);
            std::ofstream out(std::string(folder) + "/small-" + std::to_string(n++) + ".jpg", std::ios::binary);
            out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
        }
    }
    return 0;
}

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
