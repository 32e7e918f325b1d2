// What the drawing layer's source files share: the buffer table, the drawing state and the
// helpers that put decoded pictures into the active buffer. Not for use outside draw/.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "platform/fresh_pages.h"

namespace draw_internal {

// Pictures larger than this in either dimension are refused by every decoder and CreateBuffer.
constexpr int kMaxImageSide = 8192;
// Files larger than this are not read at all.
constexpr size_t kMaxFileBytes = 64u << 20;

constexpr Pixel kRgbMask = 0x00FFFFFF;

// Buffers hold device pixels: a buffer created as w x h logical pixels is w*s x h*s pixels at
// device scale s, and everything below the public interface works in device pixels.
struct Buffer {
    // width x height device pixels, pitch == width; shared with the window when its margins
    // continue this picture.
    std::shared_ptr<PixelVector> pixels = std::make_shared<PixelVector>();
    int width = 0;
    int height = 0;
    // Clip rectangle in device pixels, inclusive, always inside the buffer and made of whole
    // logical pixels.
    int clipMinX = 0, clipMaxX = -1, clipMinY = 0, clipMaxY = -1;

    Pixel* Row(int y) { return pixels->data() + static_cast<size_t>(y) * width; }
    const Pixel* Row(int y) const { return pixels->data() + static_cast<size_t>(y) * width; }
};

// The buffer behind a handle, or null for a free or out-of-range handle.
Buffer* GetBuffer(int handle);
// The active buffer, or null when none is active.
Buffer* Active();

// The device scale every buffer is drawn at (1, 2 or 3), read from the back end by InitBuffers.
int Scale();

// Drawing state shared by the primitives and the text code.
struct DrawState {
    Pixel color = 0;
    int cursorX = 0, cursorY = 0;
    int boxDepthX = 1, boxDepthY = 1;
    int textJustX = -1, textJustY = 1;
    int winTextJustX = -1, winTextJustY = 1;
};
DrawState& State();

// True when a 0x00RRGGBB colour is one of the flagged transparent palette colours.
bool IsTransparentRgb(Pixel rgb);

// A decoded picture placed with its top-left at device pixel (left, top) of the active buffer,
// each picture pixel covering factor x factor device pixels (factor 1 for art made at the device
// scale, the device scale for 1x art enlarged by nearest neighbour). Only the part inside the
// clip rectangle is kept, so decoders never allocate more than the buffer holds and a picture
// far larger than the screen costs no more memory than the screen. Nothing reaches the buffer
// until Commit, so a decoder that fails half-way leaves the buffer as it was.
class PictureSink {
public:
    PictureSink(const Buffer& buffer, int64_t left, int64_t top, int width, int height, int factor = 1);
    // Picture rows and columns that land inside the clip (first > last when none do).
    int FirstRow() const { return firstRow; }
    int LastRow() const { return lastRow; }
    int FirstColumn() const { return firstColumn; }
    int LastColumn() const { return lastColumn; }
    bool Empty() const { return firstRow > lastRow || firstColumn > lastColumn; }
    bool Visible(int column, int row) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    // Sets a pixel in picture coordinates; ignored outside the visible part.
    void Set(int column, int row, Pixel rgb) {
        if (Visible(column, row)) At(column, row) = rgb;
    }
    // Direct access to a visible pixel.
    Pixel& At(int column, int row) {
        return pixels[static_cast<size_t>(row - firstRow) * visibleWidth + (column - firstColumn)];
    }
    // The visible pixels row after row when they are the whole picture (nothing clipped), so a
    // decoder can write the picture straight into them; else null.
    Pixel* Whole() {
        const bool whole = !Empty() && firstRow == 0 && firstColumn == 0 && lastRow == height - 1 &&
                           lastColumn == width - 1;
        return whole ? pixels.data() : nullptr;
    }
    // Copies the visible part into the buffer (which must be the one given to the constructor).
    // A picture that covers the whole buffer pixel for pixel becomes its pixels instead, without
    // a copy; whoever shares the old pixels keeps them as they were. Once only: the sink's own
    // pixels may be gone afterwards.
    void Commit(Buffer& buffer);

private:
    int64_t left, top;
    int width, height;
    int factor;
    int firstRow, lastRow, firstColumn, lastColumn;
    int visibleWidth = 0;
    PixelVector pixels;
};

// Reads a whole file of at most kMaxFileBytes; false when missing, unreadable or too large.
bool ReadFileBytes(const char* path, std::vector<uint8_t>& bytes);

// Draws a PNG picture as ShowBmp places a BMP one (flags as there); a picture made at the
// device scale (atDeviceScale) must measure whole logical pixels.
bool DrawPng(const uint8_t* data, size_t size, int flags, bool atDeviceScale);

// Reads the art file for the device scale: "name@2x.ext" beside "name.ext" at scale 2, the file
// itself at scale 1. False when there is no such file (the caller then enlarges the 1x file).
bool ReadScaledFileBytes(const char* path, std::vector<uint8_t>& bytes);
// The same for another extension: "name@2x.png" for "name.bmp" with extension ".png".
bool ReadScaledFileBytes(const char* path, const char* extension, std::vector<uint8_t>& bytes);

// The device pixels a logical coordinate range covers: [v * s, v * s + s - 1]. 64-bit, so no
// caller value can overflow.
inline int64_t DeviceFirst(int v) { return static_cast<int64_t>(v) * Scale(); }
inline int64_t DeviceLast(int v) { return static_cast<int64_t>(v) * Scale() + Scale() - 1; }

// Little-endian readers; callers check the bounds first.
inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

constexpr Pixel Rgb(int r, int g, int b) {
    return (static_cast<Pixel>(r) << 16) | (static_cast<Pixel>(g) << 8) | static_cast<Pixel>(b);
}

// A bitmap font ready for drawing: every one of the 256 character codes has an entry, with
// width and height 0 for characters the font lacks.
struct Font {
    struct Glyph {
        uint16_t width = 0;
        uint16_t height = 0;
        uint32_t offset = 0;  // into coverage, width x height bytes row by row
    };
    std::array<Glyph, 256> glyphs{};
    // Glyph width plus spacing, precomputed so measuring is one table look-up per character.
    std::array<int16_t, 256> advance{};
    int spacing = 0;
    int lineHeight = 0;
    std::vector<uint8_t> coverage;
    // The glyphs drawn at the device scale: every cell exactly deviceScale times the size of this
    // font's cell, from the font's own @Nx file or enlarged from this one. Measuring always uses
    // this font, so layouts are the same at every scale.
    mutable std::unique_ptr<const Font> device;
    mutable int deviceScale = 1;
    // The file the font came from, whose "@Nx" version gives the glyphs when the scale changes.
    std::string path;
};

// The font whose glyphs are drawn at the current device scale (the font itself at scale 1).
const Font& DeviceGlyphs(const Font& font);
// True when scaled holds exactly scale times the cells of font, so it can draw for it.
bool MatchesAtScale(const Font& font, const Font& scaled, int scale);
// The font enlarged scale times by nearest neighbour.
std::unique_ptr<Font> EnlargeFont(const Font& font, int scale);

// The font behind DrawWinText, built into the program.
const Font& SystemFont();

}  // namespace draw_internal
