#include "tools/artgen/sprites.h"

#include <cmath>
#include <cstring>

#include "draw/palette.h"
#include "tools/artgen/art_constants.h"

namespace {

constexpr char kSpriteMagic[4] = {'Q', 'S', 'P', 'R'};
constexpr size_t kSpriteHeaderSize = 12;
constexpr int kMaxSpriteSide = 1024;
constexpr int kMaxRunLength = 255;

// The palette entry closest to a colour, never one of the transparent entries.
constexpr uint8_t NearestIndex(int r, int g, int b) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        if (i == kTransparentIndexA || i == kTransparentIndexB) continue;
        const PaletteEntry& e = kDefaultPalette[static_cast<size_t>(i)];
        int distance = (e.r - r) * (e.r - r) + (e.g - g) * (e.g - g) + (e.b - b) * (e.b - b);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<uint8_t>(best);
}

constexpr uint8_t kClear = kTransparentIndexA;  // the button face shows through
constexpr uint8_t kInk = NearestIndex(0, 0, 0);
constexpr uint8_t kDisabledInk = NearestIndex(128, 128, 128);
constexpr uint8_t kEmboss = NearestIndex(255, 255, 255);
static_assert(kDisabledInk != kInk && kEmboss != kDisabledInk);

// A triangle centred in the sprite, one pixel wide at its tip and two wider per row, moved by
// (dx, dy). Rows and offsets are in 1x pixels; a sprite drawn at a larger scale samples the same
// shape at every device pixel's centre, so its sides are smooth diagonals rather than steps.
void DrawTriangle(Sprite& sprite, int scale, int tipRow, int rows, bool pointsUp, int dx, int dy, uint8_t index) {
    const double centre = sprite.width / scale / 2 + 0.5;
    for (int y = 0; y < sprite.height; ++y) {
        const double py = (y + 0.5) / scale - dy;
        const double depth = pointsUp ? py - tipRow : tipRow + 1 - py;  // from the tip's outer edge
        if (depth < 0 || depth >= rows) continue;
        for (int x = 0; x < sprite.width; ++x) {
            const double px = (x + 0.5) / scale - dx;
            if (std::abs(px - centre) < depth + 0.5) sprite.indices[static_cast<size_t>(y * sprite.width + x)] = index;
        }
    }
}

// An enabled arrow fills the full height in black. A disabled one is a row smaller and grey,
// with its white twin one pixel right and down showing beneath: the etched look of a
// control that cannot be used.
Sprite SpinArrow(bool pointsUp, bool enabled, int scale) {
    const int width = kSpinArrowWidth * scale, height = kSpinArrowHeight * scale;
    Sprite sprite{width, height, std::vector<uint8_t>(static_cast<size_t>(width * height), kClear)};
    const int lastRow = kSpinArrowHeight - 1;
    if (enabled) {
        DrawTriangle(sprite, scale, pointsUp ? 0 : lastRow, kSpinArrowHeight, pointsUp, 0, 0, kInk);
    } else {
        const int rows = kSpinArrowHeight - 1;
        const int tip = pointsUp ? 0 : rows - 1;
        DrawTriangle(sprite, scale, tip, rows, pointsUp, 1, 1, kEmboss);
        DrawTriangle(sprite, scale, tip, rows, pointsUp, 0, 0, kDisabledInk);
    }
    return sprite;
}

}  // namespace

std::vector<NamedSprite> SpinArrowSprites(int scale) {
    return {{kSpinUpSprite, SpinArrow(true, true, scale)},
            {kSpinUpDisabledSprite, SpinArrow(true, false, scale)},
            {kSpinDownSprite, SpinArrow(false, true, scale)},
            {kSpinDownDisabledSprite, SpinArrow(false, false, scale)}};
}

std::vector<uint8_t> EncodeSprite(const Sprite& sprite) {
    std::vector<uint8_t> runs;
    for (size_t i = 0; i < sprite.indices.size();) {
        size_t length = 1;
        while (i + length < sprite.indices.size() && length < kMaxRunLength &&
               sprite.indices[i + length] == sprite.indices[i])
            ++length;
        runs.push_back(static_cast<uint8_t>(length));
        runs.push_back(sprite.indices[i]);
        i += length;
    }
    const uint32_t count = static_cast<uint32_t>(runs.size() / 2);
    std::vector<uint8_t> out(std::begin(kSpriteMagic), std::end(kSpriteMagic));
    for (int value : {sprite.width, sprite.height}) {
        out.push_back(static_cast<uint8_t>(value & 0xFF));
        out.push_back(static_cast<uint8_t>(value >> 8));
    }
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(count >> shift));
    out.insert(out.end(), runs.begin(), runs.end());
    return out;
}

std::optional<Sprite> DecodeSprite(std::span<const uint8_t> bytes) {
    if (bytes.size() < kSpriteHeaderSize || std::memcmp(bytes.data(), kSpriteMagic, 4) != 0) return std::nullopt;
    Sprite sprite;
    sprite.width = bytes[4] | (bytes[5] << 8);
    sprite.height = bytes[6] | (bytes[7] << 8);
    uint32_t count = bytes[8] | (bytes[9] << 8) | (bytes[10] << 16) | (static_cast<uint32_t>(bytes[11]) << 24);
    if (sprite.width < 1 || sprite.width > kMaxSpriteSide || sprite.height < 1 || sprite.height > kMaxSpriteSide)
        return std::nullopt;
    if ((bytes.size() - kSpriteHeaderSize) / 2 < count) return std::nullopt;
    const size_t pixels = static_cast<size_t>(sprite.width) * sprite.height;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t length = bytes[kSpriteHeaderSize + 2 * i];
        if (length == 0 || sprite.indices.size() + length > pixels) return std::nullopt;
        sprite.indices.insert(sprite.indices.end(), length, bytes[kSpriteHeaderSize + 2 * i + 1]);
    }
    if (sprite.indices.size() != pixels) return std::nullopt;
    return sprite;
}
