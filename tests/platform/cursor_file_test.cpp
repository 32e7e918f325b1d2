#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/cursor_file.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A 3 x 2 cursor with hotspot (1, 1). With 1 bit per pixel (palette black, white):
//   top row:    white, black, transparent
//   bottom row: black, white, inverted (mask set over white)
// With 32 bits the colours carry their own alpha and the mask is ignored.
std::vector<uint8_t> BuildCursor(int bitsPerPixel) {
    std::vector<uint8_t> image;
    Put32(image, 40);
    Put32(image, 3);
    Put32(image, 4);  // doubled height
    Put16(image, 1);
    Put16(image, static_cast<uint32_t>(bitsPerPixel));
    for (int i = 0; i < 6; ++i) Put32(image, 0);
    if (bitsPerPixel == 1) {
        Put32(image, 0x000000);
        Put32(image, 0xFFFFFF);
        // Colour rows bottom-up, each padded to 4 bytes: bottom 0 1 1, top 1 0 0.
        Put32(image, 0x60);
        Put32(image, 0x80);
    } else {
        const uint32_t bottom[3] = {0xFF000000, 0x80FFFFFF, 0x00000000};
        const uint32_t top[3] = {0xFF102030, 0xFF000000, 0x00000000};
        for (uint32_t p : bottom) Put32(image, p);
        for (uint32_t p : top) Put32(image, p);
    }
    // Mask rows bottom-up: bottom 0 0 1, top 0 0 1.
    Put32(image, 0x20);
    Put32(image, 0x20);

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 2);
    Put16(file, 1);
    file.push_back(3);
    file.push_back(2);
    file.push_back(0);
    file.push_back(0);
    Put16(file, 1);
    Put16(file, 1);
    Put32(file, static_cast<uint32_t>(image.size()));
    Put32(file, 22);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

TEST(CursorFile, DecodesMaskedAndAlphaCursors) {
    std::vector<uint8_t> file = BuildCursor(1);
    CursorImage image;
    ASSERT_TRUE(DecodeCursor(file.data(), file.size(), &image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.hotX, 1);
    EXPECT_EQ(image.hotY, 1);
    const std::vector<uint32_t> masked = {0xFFFFFFFF, 0xFF000000, 0x00000000,
                                          0xFF000000, 0xFFFFFFFF, 0xFF000000};
    EXPECT_EQ(image.pixels, masked);

    file = BuildCursor(32);
    ASSERT_TRUE(DecodeCursor(file.data(), file.size(), &image));
    const std::vector<uint32_t> alpha = {0xFF102030, 0xFF000000, 0x00000000,
                                         0xFF000000, 0x80FFFFFF, 0x00000000};
    EXPECT_EQ(image.pixels, alpha);
}

}  // namespace
