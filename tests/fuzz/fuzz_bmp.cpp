// Feeds arbitrary bytes to the BMP decoder; it must refuse bad input without crashing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace {

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A small picture with a 40-byte header: palette of 2^bpp grey entries for bpp <= 8, the three
// channel masks for bit fields, then the given pixel bytes.
std::vector<uint8_t> SmallBmp(int width, int height, int bpp, uint32_t compression, const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> palette;
    if (bpp <= 8)
        for (int i = 0; i < (1 << bpp); ++i) Put(palette, static_cast<uint32_t>(i * 255 / ((1 << bpp) - 1)) * 0x010101u, 4);
    if (compression == 3) {
        Put(palette, 0xF800, 4);
        Put(palette, 0x07E0, 4);
        Put(palette, 0x001F, 4);
    }
    const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out = {'B', 'M'};
    Put(out, offset + static_cast<uint32_t>(pixels.size()), 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, 40, 4);
    Put(out, static_cast<uint32_t>(width), 4);
    Put(out, static_cast<uint32_t>(height), 4);
    Put(out, 1, 2);
    Put(out, static_cast<uint32_t>(bpp), 2);
    Put(out, compression, 4);
    Put(out, static_cast<uint32_t>(pixels.size()), 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> Bytes(size_t count, uint8_t step) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(i * step);
    return bytes;
}

}  // namespace

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there a 4 x 3 picture of every layout the
// decoder reads (the shipped ones are large and slow to decode): 1, 4, 8, 16, 24 and 32 bits,
// bit fields, top-down rows, and both run-length codings.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = SeedFolder();
    if (!folder) return 0;
    const std::vector<std::vector<uint8_t>> seeds = {
        SmallBmp(4, 3, 1, 0, Bytes(12, 0x55)),
        SmallBmp(4, 3, 4, 0, Bytes(12, 0x13)),
        SmallBmp(4, 3, 8, 0, Bytes(12, 0x21)),
        SmallBmp(4, -3, 8, 0, Bytes(12, 0x07)),
        SmallBmp(4, 3, 16, 0, Bytes(24, 0x29)),
        SmallBmp(4, 3, 16, 3, Bytes(24, 0x31)),
        SmallBmp(4, 3, 24, 0, Bytes(36, 0x0B)),
        SmallBmp(4, 3, 32, 0, Bytes(48, 0x05)),
        // Run-length: a run, an absolute stretch, end of line, a delta, end of picture.
        SmallBmp(4, 3, 8, 1, {1, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 2, 1, 0, 1}),
        SmallBmp(4, 3, 4, 2, {4, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 0, 0, 1}),
    };
    for (size_t i = 0; i < seeds.size(); ++i) WriteSeed(folder, "small-" + std::to_string(i) + ".bmp", seeds[i]);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SmallScreen();
    ShowBmpMemory(data, size, 1);
    return 0;
}
