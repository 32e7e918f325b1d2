// Sprite files: run-length coded default-palette indices (format in docs/formats.md).

#include "draw/draw.h"
#include "draw/draw_internal.h"
#include "platform/paths.h"
#include "draw/palette.h"

using namespace draw_internal;

namespace {

constexpr size_t kSpriteHeaderSize = 12;
constexpr int kMaxSpriteSide = 1024;

}  // namespace

namespace {

// Draws a sprite of the given logical width. A sprite made at the device scale (atDeviceScale) is
// width * s pixels wide and copied pixel for pixel; a 1x sprite is enlarged to the scale.
bool DrawSprite(const uint8_t* data, size_t size, int width, bool atDeviceScale) {
    Buffer* b = Active();
    if (b == nullptr || data == nullptr || size < kSpriteHeaderSize) return false;
    if (data[0] != 'Q' || data[1] != 'S' || data[2] != 'P' || data[3] != 'R') return false;
    const int spriteWidth = ReadU16(data + 4), spriteHeight = ReadU16(data + 6);
    const uint32_t runCount = ReadU32(data + 8);
    if (spriteWidth < 1 || spriteHeight < 1 || spriteWidth > kMaxSpriteSide || spriteHeight > kMaxSpriteSide)
        return false;
    const int s = Scale();
    const int factor = atDeviceScale ? 1 : s;
    if (static_cast<int64_t>(spriteWidth) * factor != static_cast<int64_t>(width) * s) return false;
    if (atDeviceScale && spriteHeight % s != 0) return false;
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

    // The lower-left logical pixel lands on the cursor.
    const int64_t left = DeviceFirst(State().cursorX);
    const int64_t top = DeviceLast(State().cursorY) - (static_cast<int64_t>(spriteHeight) * factor - 1);
    int64_t position = 0;
    for (uint32_t i = 0; i < runCount; ++i) {
        const int length = runs[i * 2];
        const PaletteEntry& entry = kDefaultPalette[runs[i * 2 + 1]];
        const Pixel rgb = Rgb(entry.r, entry.g, entry.b);
        const bool transparent = IsTransparentRgb(rgb);
        for (int k = 0; k < length; ++k, ++position) {
            if (transparent) continue;
            const int64_t x = left + position % spriteWidth * factor, y = top + position / spriteWidth * factor;
            for (int64_t dy = 0; dy < factor; ++dy)
                for (int64_t dx = 0; dx < factor; ++dx)
                    if (x + dx >= b->clipMinX && x + dx <= b->clipMaxX && y + dy >= b->clipMinY && y + dy <= b->clipMaxY)
                        b->Row(static_cast<int>(y + dy))[x + dx] = rgb;
        }
    }
    return true;
}

}  // namespace

bool ShowSprMemory(const uint8_t* data, size_t size, int width) { return DrawSprite(data, size, width, false); }

bool ShowScaledSprMemory(const uint8_t* data, size_t size, int width) { return DrawSprite(data, size, width, true); }

void ShowSpr(const char* path, int width) {
    if (Active() == nullptr) return;
    std::vector<uint8_t> bytes;
    if (Scale() > 1 && ReadScaledFileBytes(path, bytes) && DrawSprite(bytes.data(), bytes.size(), width, true)) return;
    if (!ReadFileBytes(path, bytes) || !DrawSprite(bytes.data(), bytes.size(), width, false))
        ReportUnusableDataFile(path, "its picture is left out");
}
