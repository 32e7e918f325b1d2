// Windows BMP decoding: palettised 1, 4 and 8-bit (plain, RLE8, RLE4), 16-bit (555, 565 and
// any bit fields), 24-bit and 32-bit pictures, bottom-up or top-down. The whole file is checked
// before anything is drawn, and the visible part is decoded into a PictureSink, so a bad file
// leaves the buffer untouched.

#include <algorithm>
#include <array>
#include <bit>

#include "draw/draw.h"
#include "draw/draw_internal.h"
#include "platform/paths.h"

using namespace draw_internal;

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;   // the old OS/2 header with 16-bit sizes
constexpr uint32_t kInfoHeaderSize = 40;   // the common header; later ones extend it
constexpr uint32_t kMaxInfoHeaderSize = 1024;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

// One colour channel of a bit-field pixel: where it sits and how to scale it to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;

    bool Set(uint32_t m) {
        mask = m;
        if (m == 0) return true;  // a missing channel reads as 0
        shift = std::countr_zero(m);
        maximum = m >> shift;
        // The bits must be contiguous.
        return (maximum & (maximum + 1)) == 0;
    }
    int Value(uint32_t pixel) const {
        if (mask == 0) return 0;
        return static_cast<int>((static_cast<uint64_t>((pixel & mask) >> shift) * 255 + maximum / 2) / maximum);
    }
};

struct BmpInfo {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bitsPerPixel = 0;
    uint32_t compression = kRgb;
    size_t pixelOffset = 0;
    size_t stride = 0;
    std::array<Pixel, 256> palette{};
    Channel red, green, blue;
};

bool ParseHeader(const uint8_t* data, size_t size, BmpInfo& info) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
    info.pixelOffset = ReadU32(data + 10);
    const uint8_t* h = data + kFileHeaderSize;
    const uint32_t headerSize = ReadU32(h);
    if (headerSize != kCoreHeaderSize && (headerSize < kInfoHeaderSize || headerSize > kMaxInfoHeaderSize)) return false;
    if (kFileHeaderSize + headerSize > size) return false;

    int64_t width, height;
    int planes;
    int paletteEntrySize = 4;
    uint32_t colorsUsed = 0;
    if (headerSize == kCoreHeaderSize) {
        width = ReadU16(h + 4);
        height = ReadU16(h + 6);
        planes = ReadU16(h + 8);
        info.bitsPerPixel = ReadU16(h + 10);
        paletteEntrySize = 3;
    } else {
        width = ReadI32(h + 4);
        height = ReadI32(h + 8);
        planes = ReadU16(h + 12);
        info.bitsPerPixel = ReadU16(h + 14);
        info.compression = ReadU32(h + 16);
        colorsUsed = ReadU32(h + 32);
    }
    info.topDown = height < 0;
    if (height < 0) height = -height;
    if (planes != 1 || width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return false;
    info.width = static_cast<int>(width);
    info.height = static_cast<int>(height);

    const int bpp = info.bitsPerPixel;
    switch (info.compression) {
    case kRgb:
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
        break;
    case kRle8:
        if (bpp != 8 || info.topDown) return false;
        break;
    case kRle4:
        if (bpp != 4 || info.topDown) return false;
        break;
    case kBitFields:
    case kAlphaBitFields:
        if (bpp != 16 && bpp != 32) return false;
        break;
    default:
        return false;
    }

    // Channel masks: the defaults of plain 16 and 32-bit pictures, or the stored bit fields, which
    // sit inside the longer headers and right after the 40-byte one.
    if (info.compression == kBitFields || info.compression == kAlphaBitFields) {
        size_t at = kFileHeaderSize + kInfoHeaderSize;
        if (at + 12 > size) return false;
        if (!info.red.Set(ReadU32(data + at)) || !info.green.Set(ReadU32(data + at + 4)) ||
            !info.blue.Set(ReadU32(data + at + 8)))
            return false;
    } else if (bpp == 16) {
        info.red.Set(0x7C00);
        info.green.Set(0x03E0);
        info.blue.Set(0x001F);
    } else if (bpp == 32) {
        info.red.Set(0xFF0000);
        info.green.Set(0x00FF00);
        info.blue.Set(0x0000FF);
    }

    if (bpp <= 8) {
        const uint32_t maximum = 1u << bpp;
        const uint32_t count = colorsUsed == 0 ? maximum : std::min(colorsUsed, maximum);
        size_t at = kFileHeaderSize + headerSize;
        if (at + static_cast<size_t>(count) * paletteEntrySize > size) return false;
        // Indices past the stored palette read as black.
        for (uint32_t i = 0; i < count; ++i, at += paletteEntrySize)
            info.palette[i] = Rgb(data[at + 2], data[at + 1], data[at]);
    }

    info.stride = (static_cast<size_t>(info.width) * bpp + 31) / 32 * 4;
    if (info.pixelOffset > size) return false;
    if (info.compression == kRgb || info.compression == kBitFields || info.compression == kAlphaBitFields) {
        if (info.stride * info.height > size - info.pixelOffset) return false;
    }
    return true;
}

Pixel ReadPixel(const BmpInfo& info, const uint8_t* row, int column) {
    switch (info.bitsPerPixel) {
    case 1:
        return info.palette[(row[column >> 3] >> (7 - (column & 7))) & 1];
    case 4:
        return info.palette[(row[column >> 1] >> ((column & 1) ? 0 : 4)) & 0x0F];
    case 8:
        return info.palette[row[column]];
    case 16: {
        uint32_t v = ReadU16(row + column * 2);
        return Rgb(info.red.Value(v), info.green.Value(v), info.blue.Value(v));
    }
    case 24: {
        const uint8_t* p = row + column * 3;
        return Rgb(p[2], p[1], p[0]);
    }
    default: {
        uint32_t v = ReadU32(row + column * 4);
        return Rgb(info.red.Value(v), info.green.Value(v), info.blue.Value(v));
    }
    }
}

void DecodeUncompressed(const uint8_t* data, const BmpInfo& info, PictureSink& sink) {
    for (int row = sink.FirstRow(); row <= sink.LastRow(); ++row) {
        const int fileRow = info.topDown ? row : info.height - 1 - row;
        const uint8_t* bits = data + info.pixelOffset + info.stride * fileRow;
        for (int column = sink.FirstColumn(); column <= sink.LastColumn(); ++column)
            sink.At(column, row) = ReadPixel(info, bits, column);
    }
}

// Run-length coded pictures are stored bottom-up. Pixels the runs skip (by delta or early end of
// line) stay black. The data must end with the end-of-picture code; anything shorter is refused.
bool DecodeRle(const uint8_t* data, size_t size, const BmpInfo& info, PictureSink& sink) {
    const bool fourBit = info.compression == kRle4;
    size_t at = info.pixelOffset;
    int x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](int index) {
        if (x < info.width && y < info.height) sink.Set(x, info.height - 1 - y, info.palette[index]);
        x = std::min(x + 1, info.width);
    };
    while (at + 2 <= size) {
        const int count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(fourBit ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            y = std::min(y + 1, info.height);
        } else if (value == 1) {  // end of picture
            return true;
        } else if (value == 2) {  // move right and up
            if (at + 2 > size) return false;
            x = std::min(x + data[at], info.width);
            y = std::min(y + data[at + 1], info.height);
            at += 2;
        } else {  // a literal run of value pixels, padded to a 16-bit boundary
            const size_t bytes = fourBit ? (value + 1) / 2 : value;
            const size_t padded = (bytes + 1) & ~static_cast<size_t>(1);
            if (at + padded > size) return false;
            for (int i = 0; i < value; ++i) {
                int index = fourBit ? ((i & 1) ? data[at + i / 2] & 0x0F : data[at + i / 2] >> 4) : data[at + i];
                put(index);
            }
            at += padded;
        }
    }
    return false;
}

}  // namespace

namespace {

// Draws a BMP file's picture. A picture made at the device scale (atDeviceScale) must measure
// whole logical pixels and is copied pixel for pixel; a 1x picture is enlarged to the scale.
bool DrawBmp(const uint8_t* data, size_t size, int flags, bool atDeviceScale) {
    Buffer* b = Active();
    if (b == nullptr || data == nullptr) return false;
    BmpInfo info;
    if (!ParseHeader(data, size, info)) return false;
    const int s = Scale();
    if (atDeviceScale && (info.width % s != 0 || info.height % s != 0)) return false;
    const bool atCursor = (flags & kShowBmpAtCursor) != 0;
    PictureSink sink(*b, atCursor ? DeviceFirst(State().cursorX) : 0, atCursor ? DeviceFirst(State().cursorY) : 0,
                     info.width, info.height, atDeviceScale ? 1 : s);
    if (info.compression == kRle8 || info.compression == kRle4) {
        if (!DecodeRle(data, size, info, sink)) return false;
    } else {
        DecodeUncompressed(data, info, sink);
    }
    sink.Commit(*b);
    return !sink.Empty();
}

}  // namespace

bool ShowBmpMemory(const uint8_t* data, size_t size, int flags) { return DrawBmp(data, size, flags, false); }

bool ShowScaledBmpMemory(const uint8_t* data, size_t size, int flags) { return DrawBmp(data, size, flags, true); }

void ShowBmp(const char* path, int flags) {
    if (Active() == nullptr) return;
    std::vector<uint8_t> bytes;
    // Art for the device scale is a BMP or, more compact, a PNG beside the 1x file.
    if (Scale() > 1 && ReadScaledFileBytes(path, bytes) && DrawBmp(bytes.data(), bytes.size(), flags, true)) return;
    if (Scale() > 1 && ReadScaledFileBytes(path, ".png", bytes) && DrawPng(bytes.data(), bytes.size(), flags, true))
        return;
    if (!ReadFileBytes(path, bytes) || !DrawBmp(bytes.data(), bytes.size(), flags, false))
        ReportUnusableDataFile(path, "its picture is left out");
}
