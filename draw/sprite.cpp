// Sprite files: run-length coded default-palette indices (format in docs/formats.md).

#include "draw/draw.h"
#include "draw/draw_internal.h"
#include "draw/palette.h"

using namespace draw_internal;

namespace {

constexpr size_t kSpriteHeaderSize = 12;
constexpr int kMaxSpriteSide = 1024;

}  // namespace

bool ShowSprMemory(const uint8_t* data, size_t size, int width) {
    Buffer* b = Active();
    if (b == nullptr || data == nullptr || size < kSpriteHeaderSize) return false;
    if (data[0] != 'Q' || data[1] != 'S' || data[2] != 'P' || data[3] != 'R') return false;
    const int spriteWidth = ReadU16(data + 4), spriteHeight = ReadU16(data + 6);
    const uint32_t runCount = ReadU32(data + 8);
    if (spriteWidth < 1 || spriteHeight < 1 || spriteWidth > kMaxSpriteSide || spriteHeight > kMaxSpriteSide)
        return false;
    if (spriteWidth != width) return false;
    if (runCount > (size - kSpriteHeaderSize) / 2) return false;
    const uint8_t* runs = data + kSpriteHeaderSize;

    // The runs must cover the picture exactly; check before drawing anything.
    const uint64_t area = static_cast<uint64_t>(spriteWidth) * spriteHeight;
    uint64_t covered = 0;
    for (uint32_t i = 0; i < runCount; ++i) {
        if (runs[i * 2] == 0) return false;
        covered += runs[i * 2];
    }
    if (covered != area) return false;

    // The lower-left pixel lands on the cursor.
    const int64_t left = State().cursorX;
    const int64_t top = static_cast<int64_t>(State().cursorY) - (spriteHeight - 1);
    int64_t position = 0;
    for (uint32_t i = 0; i < runCount; ++i) {
        const int length = runs[i * 2];
        const PaletteEntry& entry = kDefaultPalette[runs[i * 2 + 1]];
        const Pixel rgb = Rgb(entry.r, entry.g, entry.b);
        const bool transparent = IsTransparentRgb(rgb);
        for (int k = 0; k < length; ++k, ++position) {
            if (transparent) continue;
            const int64_t x = left + position % spriteWidth, y = top + position / spriteWidth;
            if (x >= b->clipMinX && x <= b->clipMaxX && y >= b->clipMinY && y <= b->clipMaxY)
                b->Row(static_cast<int>(y))[x] = rgb;
        }
    }
    return true;
}

void ShowSpr(const char* path, int width) {
    if (Active() == nullptr) return;
    std::vector<uint8_t> bytes;
    if (ReadFileBytes(path, bytes)) ShowSprMemory(bytes.data(), bytes.size(), width);
}
