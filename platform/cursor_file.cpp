#include "platform/cursor_file.h"

#include <utility>

namespace {

constexpr size_t kDirectoryHeaderBytes = 6;
constexpr size_t kDirectoryEntryBytes = 16;
constexpr uint16_t kCursorResourceType = 2;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kUncompressed = 0;
constexpr int kMaximumSide = 256;

// Bounds-checked little-endian reads from the file held in memory.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool Has(uint64_t offset, uint64_t length) const { return offset <= size && length <= size - offset; }
    uint16_t U16(size_t offset) const { return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8); }
    uint32_t U32(size_t offset) const {
        return static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
               static_cast<uint32_t>(data[offset + 2]) << 16 | static_cast<uint32_t>(data[offset + 3]) << 24;
    }
    int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
    uint8_t Byte(size_t offset) const { return data[offset]; }

private:
    const uint8_t* data;
    size_t size;
};

uint64_t RowBytes(uint64_t width, uint64_t bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

// The palette index or packed colour of pixel x in a row of the colour image, as 0x00RRGGBB.
uint32_t ColourAt(const Reader& file, size_t row, int x, int bitsPerPixel, const uint32_t* palette) {
    switch (bitsPerPixel) {
    case 1:
        return palette[(file.Byte(row + x / 8) >> (7 - x % 8)) & 1];
    case 4:
        return palette[(file.Byte(row + x / 2) >> (x % 2 == 0 ? 4 : 0)) & 0xF];
    case 8:
        return palette[file.Byte(row + x)];
    case 24: {
        const size_t at = row + static_cast<size_t>(x) * 3;
        return static_cast<uint32_t>(file.Byte(at)) | static_cast<uint32_t>(file.Byte(at + 1)) << 8 |
               static_cast<uint32_t>(file.Byte(at + 2)) << 16;
    }
    default:
        return file.U32(row + static_cast<size_t>(x) * 4);
    }
}

}  // namespace

bool DecodeCursor(const uint8_t* data, size_t size, CursorImage* image) {
    if (!data || !image) return false;
    const Reader file(data, size);
    if (!file.Has(0, kDirectoryHeaderBytes + kDirectoryEntryBytes)) return false;
    if (file.U16(0) != 0 || file.U16(2) != kCursorResourceType || file.U16(4) == 0) return false;

    // Only the first directory entry is used: its hotspot and where its image lies.
    const size_t entry = kDirectoryHeaderBytes;
    const int hotX = file.U16(entry + 4);
    const int hotY = file.U16(entry + 6);
    const uint64_t resourceBytes = file.U32(entry + 8);
    const uint64_t resource = file.U32(entry + 12);
    if (!file.Has(resource, resourceBytes) || resourceBytes < kInfoHeaderBytes) return false;

    // An entry holding a PNG starts with its signature instead of a header size, which fails
    // the size test: PNG entries are refused.
    const uint32_t headerBytes = file.U32(resource);
    if (headerBytes < kInfoHeaderBytes || headerBytes > resourceBytes) return false;
    const int32_t width = file.I32(resource + 4);
    const int32_t doubledHeight = file.I32(resource + 8);
    const int bitsPerPixel = file.U16(resource + 14);
    const uint32_t compression = file.U32(resource + 16);
    const uint32_t coloursUsed = file.U32(resource + 32);
    // The stored height counts the colour image and the mask stacked, so it is doubled.
    if (width <= 0 || width > kMaximumSide || doubledHeight <= 0 || doubledHeight % 2 != 0 ||
        doubledHeight / 2 > kMaximumSide || compression != kUncompressed) {
        return false;
    }
    const int height = doubledHeight / 2;
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return false;
    }
    if (hotX >= width || hotY >= height) return false;

    uint32_t palette[256] = {};
    uint64_t offset = resource + headerBytes;
    if (bitsPerPixel <= 8) {
        const uint32_t capacity = 1u << bitsPerPixel;
        const uint32_t entries = coloursUsed == 0 ? capacity : coloursUsed;
        if (entries > capacity) return false;
        if (!file.Has(offset, uint64_t{entries} * 4)) return false;
        for (uint32_t i = 0; i < entries; ++i) palette[i] = file.U32(offset + i * 4) & 0x00FFFFFF;
        offset += uint64_t{entries} * 4;
    }
    const uint64_t colourRow = RowBytes(width, bitsPerPixel);
    const uint64_t maskRow = RowBytes(width, 1);
    const uint64_t colourOffset = offset;
    const uint64_t maskOffset = colourOffset + colourRow * height;
    const uint64_t end = maskOffset + maskRow * height;
    if (end > resource + resourceBytes || !file.Has(colourOffset, end - colourOffset)) return false;

    // A 32-bit image with any alpha carries its own transparency; otherwise the mask decides.
    bool hasAlpha = false;
    if (bitsPerPixel == 32) {
        for (int y = 0; y < height && !hasAlpha; ++y) {
            const size_t row = colourOffset + y * colourRow;
            for (int x = 0; x < width && !hasAlpha; ++x) hasAlpha = (file.U32(row + x * 4) >> 24) != 0;
        }
    }

    CursorImage decoded;
    decoded.width = width;
    decoded.height = height;
    decoded.hotX = hotX;
    decoded.hotY = hotY;
    decoded.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        // Rows are stored bottom-up.
        const size_t stored = static_cast<size_t>(height - 1 - y);
        const size_t row = colourOffset + stored * colourRow;
        const size_t mask = maskOffset + stored * maskRow;
        for (int x = 0; x < width; ++x) {
            const uint32_t value = ColourAt(file, row, x, bitsPerPixel, palette);
            const uint32_t colour = value & 0x00FFFFFF;
            uint32_t pixel;
            if (hasAlpha) {
                pixel = value;
            } else if (((file.Byte(mask + x / 8) >> (7 - x % 8)) & 1) == 0) {
                pixel = 0xFF000000 | colour;
            } else {
                // Mask set: transparent where the colour is black. A coloured pixel there would
                // invert the screen, which host cursors cannot do; black keeps it visible.
                pixel = colour == 0 ? 0 : 0xFF000000;
            }
            decoded.pixels[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    *image = std::move(decoded);
    return true;
}
