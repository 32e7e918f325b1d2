// Buffers, colour, clipping, copies, presentation and the line and box primitives.

#include "draw/draw.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "draw/draw_internal.h"
#include "draw/palette.h"
#include "platform/backend.h"
#include "platform/messages.h"

namespace draw_internal {
namespace {

std::array<std::unique_ptr<Buffer>, kMaxBuffers> buffers;
int activeHandle = -1;
int bufferDepth = 32;
int deviceScale = 1;
constexpr int kMaxDeviceScale = 3;
// The largest scale the back end may ask for in this run. Blocks are sized for it, so a block
// made before a scale change still holds what GetBlock writes after it.
int blockScale = 1;
// While the scale can change, a block starts with a header naming the scale its pixels are at,
// so PutBlock puts back a block saved at another scale (resampled).
constexpr size_t kBlockHeaderBytes = 8;
constexpr uint8_t kBlockMagic[4] = {'Q', 'B', 'L', 'K'};
// Cursors loaded for the device scale, by handle, with the file each came from: made again when
// the scale changes.
std::vector<std::pair<int, std::string>> scaledCursors;
int windowWidth = 800;
int windowHeight = 600;
DrawState drawState;

// Transparency is decided by colour, so every flagged palette entry contributes its RGB value
// once; with the usual flags (34 and 253, both magenta) the set holds a single colour and the
// transparent copy compares against one word.
std::array<bool, 256> transparentFlags{};
std::vector<Pixel> transparentColors;

void RebuildTransparentColors() {
    transparentColors.clear();
    for (int i = 0; i < 256; ++i) {
        if (!transparentFlags[i]) continue;
        Pixel rgb = Rgb(kDefaultPalette[i].r, kDefaultPalette[i].g, kDefaultPalette[i].b);
        if (std::find(transparentColors.begin(), transparentColors.end(), rgb) == transparentColors.end())
            transparentColors.push_back(rgb);
    }
}

}  // namespace

Buffer* GetBuffer(int handle) {
    if (handle < 0 || handle >= kMaxBuffers) return nullptr;
    return buffers[handle].get();
}

Buffer* Active() { return GetBuffer(activeHandle); }

DrawState& State() { return drawState; }

int Scale() { return deviceScale; }

bool IsTransparentRgb(Pixel rgb) {
    rgb &= kRgbMask;
    for (Pixel c : transparentColors)
        if (c == rgb) return true;
    return false;
}

namespace {

// Floor division, so that pixels left of or above a picture map to negative picture indices.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

PictureSink::PictureSink(const Buffer& buffer, int64_t left, int64_t top, int width, int height, int factor)
    : left(left), top(top), width(width), height(height), factor(std::max(factor, 1)) {
    // Work in 64 bits: a picture may be placed anywhere, even far outside the buffer.
    const int f = this->factor;
    int64_t first = std::max<int64_t>(0, FloorDiv(buffer.clipMinX - left, f));
    int64_t last = std::min<int64_t>(width - 1, FloorDiv(buffer.clipMaxX - left, f));
    firstColumn = static_cast<int>(std::clamp<int64_t>(first, 0, width));
    lastColumn = static_cast<int>(std::clamp<int64_t>(last, -1, width - 1));
    first = std::max<int64_t>(0, FloorDiv(buffer.clipMinY - top, f));
    last = std::min<int64_t>(height - 1, FloorDiv(buffer.clipMaxY - top, f));
    firstRow = static_cast<int>(std::clamp<int64_t>(first, 0, height));
    lastRow = static_cast<int>(std::clamp<int64_t>(last, -1, height - 1));
    if (!Empty()) {
        visibleWidth = lastColumn - firstColumn + 1;
        pixels = PixelVector(static_cast<size_t>(visibleWidth) * (lastRow - firstRow + 1));
    }
}

void PictureSink::Commit(Buffer& buffer) {
    if (Empty()) return;
    if (factor == 1 && left == 0 && top == 0 && firstColumn == 0 && firstRow == 0 && visibleWidth == buffer.width &&
        lastRow + 1 == buffer.height && buffer.clipMinX == 0 && buffer.clipMinY == 0 &&
        buffer.clipMaxX == buffer.width - 1 && buffer.clipMaxY == buffer.height - 1) {
        buffer.pixels = std::make_shared<PixelVector>(std::move(pixels));
        pixels = PixelVector();
        return;
    }
    if (factor == 1) {
        for (int row = firstRow; row <= lastRow; ++row) {
            const Pixel* from = pixels.data() + static_cast<size_t>(row - firstRow) * visibleWidth;
            Pixel* to = buffer.Row(static_cast<int>(top + row)) + (left + firstColumn);
            std::memcpy(to, from, static_cast<size_t>(visibleWidth) * sizeof(Pixel));
        }
        return;
    }
    // Each picture pixel becomes a factor x factor block; the blocks at the visible part's edges
    // may be cut by the clip.
    const int64_t x0 = std::max<int64_t>(left + static_cast<int64_t>(firstColumn) * factor, buffer.clipMinX);
    const int64_t x1 = std::min<int64_t>(left + (static_cast<int64_t>(lastColumn) + 1) * factor - 1, buffer.clipMaxX);
    const int64_t y0 = std::max<int64_t>(top + static_cast<int64_t>(firstRow) * factor, buffer.clipMinY);
    const int64_t y1 = std::min<int64_t>(top + (static_cast<int64_t>(lastRow) + 1) * factor - 1, buffer.clipMaxY);
    for (int64_t y = y0; y <= y1; ++y) {
        const Pixel* from = pixels.data() + static_cast<size_t>((y - top) / factor - firstRow) * visibleWidth;
        Pixel* to = buffer.Row(static_cast<int>(y));
        for (int64_t x = x0; x <= x1; ++x) to[x] = from[(x - left) / factor - firstColumn];
    }
}

bool ReadFileBytes(const char* path, std::vector<uint8_t>& bytes) {
    if (path == nullptr) return false;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    bytes.clear();
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got == 0) {
            ok = !std::ferror(file);
            break;
        }
        if (bytes.size() + got > kMaxFileBytes) {
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return ok;
}

bool ReadScaledFileBytes(const char* path, std::vector<uint8_t>& bytes) {
    if (path == nullptr) return false;
    if (Scale() == 1) return ReadFileBytes(path, bytes);
    return ReadFileBytes(ScaledFileName(path, Scale()).c_str(), bytes);
}

bool ReadScaledFileBytes(const char* path, const char* extension, std::vector<uint8_t>& bytes) {
    if (path == nullptr || extension == nullptr) return false;
    std::string name = ScaledFileName(path, Scale());
    const size_t dot = name.find_last_of('.');
    const size_t slash = name.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    return ReadFileBytes(name.replace(dot, std::string::npos, extension).c_str(), bytes);
}

}  // namespace draw_internal

using namespace draw_internal;

namespace {

// A copy rectangle after clipping: width x height pixels from (sourceX, sourceY) to
// (destX, destY), both top-left corners.
struct CopySpan {
    int sourceX, sourceY, destX, destY, width, height;
};

// An inclusive rectangle of device pixels, in 64-bit so that no caller value can overflow.
struct DeviceBox {
    int64_t minX, maxX, minY, maxY;
};
// The device pixels of the logical rectangle (minx..maxx, miny..maxy).
DeviceBox DeviceArea(int minx, int maxx, int miny, int maxy) {
    return {DeviceFirst(minx), DeviceLast(maxx), DeviceFirst(miny), DeviceLast(maxy)};
}

// Clips a copy of the rectangle `from` of `source`, placed with its lower-left corner at (x, y),
// against the source's size and the destination's clip.
bool ClipCopy(const DeviceBox& from, int64_t x, int64_t y, const Buffer& source, const DeviceBox& clip, CopySpan& span) {
    const int64_t minx = from.minX, maxx = from.maxX, miny = from.minY, maxy = from.maxY;
    const int64_t destMinX = clip.minX, destMaxX = clip.maxX, destMinY = clip.minY, destMaxY = clip.maxY;
    const int sourceWidth = source.width, sourceHeight = source.height;
    if (minx > maxx || miny > maxy) return false;
    int64_t sx0 = std::max<int64_t>(minx, 0), sx1 = std::min<int64_t>(maxx, sourceWidth - 1);
    int64_t sy0 = std::max<int64_t>(miny, 0), sy1 = std::min<int64_t>(maxy, sourceHeight - 1);
    if (sx0 > sx1 || sy0 > sy1) return false;
    // Destination of the source's (minx, miny): the lower-left convention puts maxy on row y.
    int64_t dx = x + (sx0 - minx);
    int64_t dy = y - (maxy - miny) + (sy0 - miny);
    if (dx < destMinX) {
        sx0 += destMinX - dx;
        dx = destMinX;
    }
    if (dy < destMinY) {
        sy0 += destMinY - dy;
        dy = destMinY;
    }
    int64_t w = std::min(sx1 - sx0 + 1, destMaxX - dx + 1);
    int64_t h = std::min(sy1 - sy0 + 1, destMaxY - dy + 1);
    if (w <= 0 || h <= 0) return false;
    span = {static_cast<int>(sx0), static_cast<int>(sy0), static_cast<int>(dx), static_cast<int>(dy),
            static_cast<int>(w), static_cast<int>(h)};
    return true;
}

// Fills the device rectangle (x0..x1, y0..y1), inclusive, cut to the clip.
void FillDeviceRect(Buffer& b, int64_t x0, int64_t x1, int64_t y0, int64_t y1, Pixel color) {
    x0 = std::max<int64_t>(x0, b.clipMinX);
    x1 = std::min<int64_t>(x1, b.clipMaxX);
    y0 = std::max<int64_t>(y0, b.clipMinY);
    y1 = std::min<int64_t>(y1, b.clipMaxY);
    if (x0 > x1) return;
    for (int64_t y = y0; y <= y1; ++y) std::fill(b.Row(static_cast<int>(y)) + x0, b.Row(static_cast<int>(y)) + x1 + 1, color);
}

// A logical pixel is a square of s x s device pixels, so lines are s pixels thick.
void PlotClipped(Buffer& b, int64_t x, int64_t y, Pixel color) {
    const int s = Scale();
    if (s == 1) {
        if (x >= b.clipMinX && x <= b.clipMaxX && y >= b.clipMinY && y <= b.clipMaxY)
            b.Row(static_cast<int>(y))[x] = color;
        return;
    }
    FillDeviceRect(b, x * s, x * s + s - 1, y * s, y * s + s - 1, color);
}

// Bresenham from the cursor to (x, y), both ends included. With a pattern, the pattern is
// rotated left before each pixel and the pixel drawn when its low bit is set, so the pattern is
// read from its high bit down: 0xF0F0 draws four pixels, skips four, and so on.
void DrawLine(int x, int y, bool dashed, uint16_t pattern) {
    DrawState& s = State();
    int64_t x0 = s.cursorX, y0 = s.cursorY;
    const int64_t x1 = x, y1 = y;
    s.cursorX = x;
    s.cursorY = y;
    Buffer* b = Active();
    if (b == nullptr) return;
    // A line wholly on the far side of one clip edge draws nothing; skipping it also keeps stray
    // far-away coordinates from costing a long walk. The clip is in device pixels, each logical
    // pixel s of them.
    const int scale = Scale();
    const int64_t clipMinX = b->clipMinX / scale, clipMaxX = b->clipMaxX / scale;
    const int64_t clipMinY = b->clipMinY / scale, clipMaxY = b->clipMaxY / scale;
    if ((x0 < clipMinX && x1 < clipMinX) || (x0 > clipMaxX && x1 > clipMaxX) || (y0 < clipMinY && y1 < clipMinY) ||
        (y0 > clipMaxY && y1 > clipMaxY))
        return;
    const int64_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1, stepY = y0 < y1 ? 1 : -1;
    int64_t error = dx + dy;
    for (;;) {
        bool draw = true;
        if (dashed) {
            pattern = static_cast<uint16_t>((pattern << 1) | (pattern >> 15));
            draw = (pattern & 1) != 0;
        }
        if (draw) PlotClipped(*b, x0, y0, s.color);
        if (x0 == x1 && y0 == y1) break;
        int64_t e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

Pixel Pack565(Pixel rgb) {
    return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}

Pixel Unpack565(uint32_t v) {
    uint32_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
    return Rgb(static_cast<int>((r << 3) | (r >> 2)), static_cast<int>((g << 2) | (g >> 4)),
               static_cast<int>((b << 3) | (b >> 2)));
}

int BlockBytesPerPixel() { return bufferDepth <= 16 ? 2 : 3; }

// A row of pixels to the three bytes (red, green, blue) each takes in a 24-bit block, and back.
// Saving and restoring what lies under a sliding card does this for every pixel of every frame,
// so on little-endian machines each pixel moves as one unaligned word: its fourth byte is the
// next pixel's first, written over (or read and dropped) in turn; the last pixel of the row goes
// byte by byte, so nothing past the row is touched.
void PackRow24(const Pixel* from, int64_t count, uint8_t* out) {
    int64_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 1 < count; ++i, out += 3) {
            const uint32_t word = __builtin_bswap32(from[i]) >> 8;
            std::memcpy(out, &word, sizeof word);
        }
    }
    for (; i < count; ++i, out += 3) {
        out[0] = static_cast<uint8_t>(from[i] >> 16);
        out[1] = static_cast<uint8_t>(from[i] >> 8);
        out[2] = static_cast<uint8_t>(from[i]);
    }
}

void UnpackRow24(const uint8_t* in, int64_t count, Pixel* to) {
    int64_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 1 < count; ++i, in += 3) {
            uint32_t word;
            std::memcpy(&word, in, sizeof word);
            to[i] = __builtin_bswap32(word) >> 8;
        }
    }
    for (; i < count; ++i, in += 3) to[i] = Rgb(in[0], in[1], in[2]);
}

// Walks the part of a block rectangle that lies inside the active buffer, calling visit(pixel,
// byte offset in the block) for each pixel. The block is laid out for the whole rectangle, row by
// row, so a rectangle reaching past the buffer edge keeps the same layout for GetBlock and PutBlock.
// A block laid out at blockAt (a device scale) is read or written pixel by pixel of the current
// scale, each from the block pixel over the same place.
// With a row visitor, a block at the buffer's own scale is handed over a row at a time instead
// (rowVisit(first pixel, pixels, byte offset of the first)); visit then serves other scales only.
template <typename Visit, typename RowVisit = std::nullptr_t>
void ForEachBlockPixel(int minx, int maxx, int miny, int maxy, int blockAt, size_t header, Visit visit,
                       RowVisit rowVisit = nullptr) {
    Buffer* b = Active();
    if (b == nullptr || minx > maxx || miny > maxy) return;
    // The block holds the device pixels of the rectangle.
    const int64_t left = DeviceFirst(minx), right = DeviceLast(maxx);
    const int64_t top = DeviceFirst(miny), bottom = DeviceLast(maxy);
    const int64_t rowPixels = (static_cast<int64_t>(maxx) - minx + 1) * blockAt;
    const int bytes = BlockBytesPerPixel();
    const int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(right, b->width - 1);
    const int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(bottom, b->height - 1);
    const int s = deviceScale;
    for (int64_t y = y0; y <= y1; ++y) {
        Pixel* row = b->Row(static_cast<int>(y));
        if (blockAt == s) {
            // The block at the buffer's own scale: pixel for pixel along the row (the status
            // line's fields are read back this way after every present).
            size_t at = header + static_cast<size_t>(((y - top) * rowPixels + (x0 - left)) * bytes);
            if constexpr (!std::is_same_v<RowVisit, std::nullptr_t>) {
                rowVisit(row + x0, x1 - x0 + 1, at);
            } else {
                for (int64_t x = x0; x <= x1; ++x, at += static_cast<size_t>(bytes)) visit(row[x], at);
            }
            continue;
        }
        const int64_t blockRow = (y - top) * blockAt / s;
        for (int64_t x = x0; x <= x1; ++x) {
            const int64_t blockColumn = (x - left) * blockAt / s;
            visit(row[x], header + static_cast<size_t>((blockRow * rowPixels + blockColumn) * bytes));
        }
    }
}

// One row with one transparent colour: out[i] is image[i], or under[i] where image[i] has that
// colour (under may be out itself, for a transparent copy). Four pixels at a time where SSE2 is
// there (the compiler does not vectorise the select at -O2): card and drag-stack copies are
// most of a drag step's drawing.
void ComposeRowTransparent(Pixel* out, const Pixel* image, const Pixel* under, int width, Pixel key) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    for (; i + 4 <= width; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(image + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(under + i));
        const __m128i keep = _mm_cmpeq_epi32(_mm_and_si128(s, mask), keys);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s)));
    }
#endif
    for (; i < width; ++i) out[i] = (image[i] & kRgbMask) == key ? under[i] : image[i];
}

void CopyRect(int minx, int maxx, int miny, int maxy, int x, int y, int source, int destination,
              bool transparent) {
    Buffer* from = GetBuffer(source);
    Buffer* to = GetBuffer(destination);
    if (from == nullptr || to == nullptr) return;
    CopySpan span;
    if (!ClipCopy(DeviceArea(minx, maxx, miny, maxy), DeviceFirst(x), DeviceLast(y), *from,
                  {to->clipMinX, to->clipMaxX, to->clipMinY, to->clipMaxY}, span))
        return;
    // A copy within one buffer may overlap itself: take the source rows out first.
    std::vector<Pixel> scratch;
    const Pixel* sourceBase = from->Row(span.sourceY) + span.sourceX;
    size_t sourcePitch = from->width;
    if (from == to) {
        scratch.resize(static_cast<size_t>(span.width) * span.height);
        for (int row = 0; row < span.height; ++row)
            std::memcpy(&scratch[static_cast<size_t>(row) * span.width], sourceBase + row * sourcePitch,
                        static_cast<size_t>(span.width) * sizeof(Pixel));
        sourceBase = scratch.data();
        sourcePitch = span.width;
    }
    const size_t rowBytes = static_cast<size_t>(span.width) * sizeof(Pixel);
    for (int row = 0; row < span.height; ++row) {
        const Pixel* src = sourceBase + row * sourcePitch;
        Pixel* dst = to->Row(span.destY + row) + span.destX;
        if (!transparent) {
            std::memcpy(dst, src, rowBytes);
        } else if (transparentColors.size() == 1) {
            ComposeRowTransparent(dst, src, dst, span.width, transparentColors[0]);
        } else if (transparentColors.empty()) {
            std::memcpy(dst, src, rowBytes);
        } else {
            for (int i = 0; i < span.width; ++i)
                if (!IsTransparentRgb(src[i])) dst[i] = src[i];
        }
    }
}

}  // namespace

// "dir/name.ext" becomes "dir/name@2x.ext"; a name without an extension gets the suffix at its end.
std::string ScaledFileName(const char* path, int scale) {
    std::string name = path != nullptr ? path : "";
    if (scale <= 1) return name;
    const size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = name.size();
    return name.insert(dot, "@" + std::to_string(scale) + "x");
}

namespace {

// The cursor of a file for the device scale: its "@Nx" version, else the file enlarged.
bool LoadCursorAtScale(const std::string& path, CursorImage* image) {
    const int s = draw_internal::Scale();
    if (s > 1 && LoadCursorImage(ScaledFileName(path.c_str(), s).c_str(), image)) return true;
    CursorImage small;
    if (!LoadCursorImage(path.c_str(), &small)) return false;
    if (s == 1) {
        *image = std::move(small);
        return true;
    }
    image->width = small.width * s;
    image->height = small.height * s;
    image->hotX = small.hotX * s;
    image->hotY = small.hotY * s;
    image->pixels.resize(static_cast<size_t>(image->width) * image->height);
    for (int y = 0; y < image->height; ++y)
        for (int x = 0; x < image->width; ++x)
            image->pixels[static_cast<size_t>(y) * image->width + x] = small.pixels[static_cast<size_t>(y / s) * small.width + x / s];
    return true;
}

}  // namespace

int LoadScaledCursor(const char* path) {
    if (path == nullptr) return 0;
    CursorImage image;
    if (!LoadCursorAtScale(path, &image)) return 0;
    const int handle = CreateCursorFromImage(image);
    if (handle > 0) {
        std::erase_if(scaledCursors, [handle](const auto& entry) { return entry.first == handle; });
        scaledCursors.emplace_back(handle, path);
    }
    return handle;
}

// --- Set-up and shut-down ---

int DisplayDepth() {
    int best = 0;
    for (const DisplayMode& mode : DisplayModes()) best = std::max(best, mode.bitsPerPixel == 15 ? 16 : mode.bitsPerPixel);
    return best;
}

void SetupDisplay(int width, int height, int /*depth*/, int /*flags*/) {
    if (width > 0 && height > 0) {
        windowWidth = width;
        windowHeight = height;
    }
}

// Presentation goes through the back end, so there is no device context to keep.
void SetDeviceContext(void*) {}

// Buffers hold direct colour, so the palette is only the fixed table in palette.h; the handle
// exists because the shell keeps and deletes one.
int CreateDefaultPalette() { return 1; }
void RealizePalette(int) {}
void DeletePalette(int) {}

namespace {

// Each new device pixel takes the old pixel over the same place; the clip keeps its logical edges.
void RescaleBuffer(Buffer& b, int from, int to) {
    Buffer scaled;
    scaled.width = b.width / from * to;
    scaled.height = b.height / from * to;
    scaled.pixels = std::make_shared<PixelVector>(static_cast<size_t>(scaled.width) * scaled.height);
    std::vector<int> fromColumn(static_cast<size_t>(scaled.width));
    for (int x = 0; x < scaled.width; ++x) fromColumn[x] = x * from / to;
    for (int y = 0; y < scaled.height; ++y) {
        const Pixel* source = b.Row(y * from / to);
        Pixel* row = scaled.Row(y);
        for (int x = 0; x < scaled.width; ++x) row[x] = source[fromColumn[x]];
    }
    scaled.clipMinX = b.clipMinX / from * to;
    scaled.clipMinY = b.clipMinY / from * to;
    scaled.clipMaxX = (b.clipMaxX + 1) / from * to - 1;
    scaled.clipMaxY = (b.clipMaxY + 1) / from * to - 1;
    b = std::move(scaled);
}

}  // namespace

void ChangeDrawScale(int scale) {
    scale = std::clamp(scale, 1, blockScale);
    Backend* backend = CurrentBackend();
    if (scale != deviceScale) {
        for (auto& b : buffers)
            if (b) RescaleBuffer(*b, deviceScale, scale);
        deviceScale = scale;
        // Fonts pick their glyphs for the new scale when next drawn; cursors are made again now.
        std::erase_if(scaledCursors, [](const auto& entry) {
            CursorImage image;
            return LoadCursorAtScale(entry.second, &image) && !ReplaceCursorImage(entry.first, image);
        });
    }
    if (backend != nullptr) backend->SetFrameScale(deviceScale);
}

void InitBuffers() {
    for (auto& b : buffers) b.reset();
    activeHandle = -1;
    Backend* backend = CurrentBackend();
    deviceScale = backend != nullptr ? std::clamp(backend->DeviceScale(), 1, kMaxDeviceScale) : 1;
    blockScale = backend != nullptr ? std::clamp(backend->LargestDeviceScale(), deviceScale, kMaxDeviceScale) : deviceScale;
    if (backend != nullptr) backend->SetFrameScale(deviceScale);
    SetScaleChangeHandler(&ChangeDrawScale);
}

void SetBufferDepth(int depth) {
    if (depth > 0) bufferDepth = depth;
}

int InitMouse() { return HasMouse() ? 1 : -1; }

void ShowMouseCursor(int show) { ShowPointer(show != 0); }

void CloseBuffer() { activeHandle = -1; }

void ShutdownGraphics() {
    for (auto& b : buffers) b.reset();
    activeHandle = -1;
    deviceScale = 1;
    blockScale = 1;
    scaledCursors.clear();
    SetScaleChangeHandler(nullptr);
    windowWidth = 800;
    windowHeight = 600;
}

// --- Buffers ---

int CreateBuffer(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return -1;
    for (int handle = 0; handle < kMaxBuffers; ++handle) {
        if (buffers[handle]) continue;
        auto b = std::make_unique<Buffer>();
        b->width = width * deviceScale;
        b->height = height * deviceScale;
        b->pixels = std::make_shared<PixelVector>(static_cast<size_t>(b->width) * b->height);
        b->clipMinX = 0;
        b->clipMaxX = b->width - 1;
        b->clipMinY = 0;
        b->clipMaxY = b->height - 1;
        buffers[handle] = std::move(b);
        return handle;
    }
    return -1;
}

void SelectBuffer(int handle) {
    if (GetBuffer(handle) != nullptr) activeHandle = handle;
}

void FreeBuffer(int handle) {
    if (handle == activeHandle || GetBuffer(handle) == nullptr) return;
    buffers[handle].reset();
}

int ActiveBuffer() { return Active() != nullptr ? activeHandle : -1; }

void RefreshBufferPalette() {}

int MaxX() {
    Buffer* b = Active();
    return b != nullptr ? b->width / deviceScale - 1 : -1;
}

int MaxY() {
    Buffer* b = Active();
    return b != nullptr ? b->height / deviceScale - 1 : -1;
}

void SetClip(int minx, int maxx, int miny, int maxy) {
    Buffer* b = Active();
    if (b == nullptr) return;
    b->clipMinX = static_cast<int>(std::max<int64_t>(DeviceFirst(minx), 0));
    b->clipMaxX = static_cast<int>(std::min<int64_t>(DeviceLast(maxx), b->width - 1));
    b->clipMinY = static_cast<int>(std::max<int64_t>(DeviceFirst(miny), 0));
    b->clipMaxY = static_cast<int>(std::min<int64_t>(DeviceLast(maxy), b->height - 1));
}

void FillBuffer() {
    Buffer* b = Active();
    if (b == nullptr) return;
    FillDeviceRect(*b, b->clipMinX, b->clipMaxX, b->clipMinY, b->clipMaxY, State().color);
}

namespace {
uint64_t presents = 0;
}

uint64_t PresentCount() { return presents; }

void PresentRect(int minx, int maxx, int miny, int maxy, int x, int y) {
    ++presents;
    Backend* backend = CurrentBackend();
    Buffer* b = Active();
    if (backend == nullptr || b == nullptr) return;
    // The back end receives device pixels; at scale 1 they are the logical ones.
    CopySpan span;
    if (!ClipCopy(DeviceArea(minx, maxx, miny, maxy), DeviceFirst(x), DeviceLast(y), *b,
                  {0, windowWidth * deviceScale - 1, 0, windowHeight * deviceScale - 1}, span))
        return;
    backend->Present(b->pixels->data(), b->width, span.sourceX, span.sourceY, span.width, span.height, span.destX,
                     span.destY);
}

void CopyBufferRect(int minx, int maxx, int miny, int maxy, int x, int y, int source, int destination) {
    CopyRect(minx, maxx, miny, maxy, x, y, source, destination, false);
}

void CopyBufferRectTransparent(int minx, int maxx, int miny, int maxy, int x, int y, int source,
                               int destination) {
    CopyRect(minx, maxx, miny, maxy, x, y, source, destination, true);
}

void ComposeRow(Pixel* out, const Pixel* image, const Pixel* under, int width) {
    if (transparentColors.size() == 1) {
        ComposeRowTransparent(out, image, under, width, transparentColors[0]);
        return;
    }
    for (int i = 0; i < width; ++i) out[i] = IsTransparentRgb(image[i]) ? under[i] : image[i];
}

void SetTransparentColor(int paletteIndex, int flag) {
    if (paletteIndex < 0 || paletteIndex > 255) return;
    transparentFlags[paletteIndex] = flag != 0;
    RebuildTransparentColors();
}

// Blocks hold device pixels, so a block costs s * s times as much at the largest scale s.
size_t ImageSize(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<size_t>(width) * static_cast<size_t>(height) * blockScale * blockScale *
               BlockBytesPerPixel() + (blockScale > 1 ? kBlockHeaderBytes : 0);
}

// Blocks restore exactly what was saved, so they clip to the buffer but not to the clip rectangle.
void GetBlock(void* memory, int minx, int maxx, int miny, int maxy) {
    if (memory == nullptr) return;
    auto* out = static_cast<uint8_t*>(memory);
    const size_t header = blockScale > 1 ? kBlockHeaderBytes : 0;
    if (header > 0) {
        std::memcpy(out, kBlockMagic, sizeof kBlockMagic);
        out[4] = static_cast<uint8_t>(deviceScale);
    }
    const int s = deviceScale;
    if (BlockBytesPerPixel() == 2) {
        ForEachBlockPixel(minx, maxx, miny, maxy, s, header, [out](Pixel& p, size_t at) {
            Pixel v = Pack565(p);
            out[at] = static_cast<uint8_t>(v);
            out[at + 1] = static_cast<uint8_t>(v >> 8);
        });
    } else {
        ForEachBlockPixel(
            minx, maxx, miny, maxy, s, header, [](Pixel&, size_t) {},
            [out](const Pixel* row, int64_t count, size_t at) { PackRow24(row, count, out + at); });
    }
}

bool BlockIsCurrent(const void* memory) {
    if (memory == nullptr || blockScale <= 1) return true;
    const auto* in = static_cast<const uint8_t*>(memory);
    return std::memcmp(in, kBlockMagic, sizeof kBlockMagic) != 0 || in[4] == deviceScale;
}

void PutBlock(const void* memory, int minx, int maxx, int miny, int maxy) {
    if (memory == nullptr) return;
    const auto* in = static_cast<const uint8_t*>(memory);
    const size_t header = blockScale > 1 ? kBlockHeaderBytes : 0;
    // A block never filled by GetBlock has no header; it is read as one of the current scale.
    int savedAt = deviceScale;
    if (header > 0 && std::memcmp(in, kBlockMagic, sizeof kBlockMagic) == 0 && in[4] >= 1 && in[4] <= blockScale)
        savedAt = in[4];
    if (BlockBytesPerPixel() == 2) {
        ForEachBlockPixel(minx, maxx, miny, maxy, savedAt, header,
                          [in](Pixel& p, size_t at) { p = Unpack565(in[at] | (in[at + 1] << 8)); });
    } else {
        ForEachBlockPixel(
            minx, maxx, miny, maxy, savedAt, header, [in](Pixel& p, size_t at) { p = Rgb(in[at], in[at + 1], in[at + 2]); },
            [in](Pixel* row, int64_t count, size_t at) { UnpackRow24(in + at, count, row); });
    }
}

Pixel* BufferPixels(int handle) {
    Buffer* b = GetBuffer(handle);
    return b != nullptr ? b->pixels->data() : nullptr;
}

std::shared_ptr<const Pixel> ShareBufferPixels(int handle) {
    Buffer* b = GetBuffer(handle);
    if (b == nullptr) return nullptr;
    return std::shared_ptr<const Pixel>(b->pixels, b->pixels->data());
}

int BufferWidth(int handle) {
    Buffer* b = GetBuffer(handle);
    return b != nullptr ? b->width : 0;
}

int BufferHeight(int handle) {
    Buffer* b = GetBuffer(handle);
    return b != nullptr ? b->height : 0;
}

int BufferScale(int handle) { return GetBuffer(handle) != nullptr ? deviceScale : 0; }

int DrawScale() { return deviceScale; }

// --- Colour and primitives ---

Pixel MapRgb(int r, int g, int b) { return Rgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)); }

void SetColor(Pixel pixel) { State().color = pixel & kRgbMask; }
Pixel CurrentColor() { return State().color; }

void MoveTo(int x, int y) {
    State().cursorX = x;
    State().cursorY = y;
}

void MoveRel(int dx, int dy) {
    // Wrapping arithmetic: a stray offset must not be undefined behaviour.
    State().cursorX = static_cast<int>(static_cast<uint32_t>(State().cursorX) + static_cast<uint32_t>(dx));
    State().cursorY = static_cast<int>(static_cast<uint32_t>(State().cursorY) + static_cast<uint32_t>(dy));
}

int CursorX() { return State().cursorX; }
int CursorY() { return State().cursorY; }

void DrawLineTo(int x, int y) { DrawLine(x, y, false, 0); }

void DrawLineRel(int dx, int dy) {
    DrawLine(static_cast<int>(static_cast<uint32_t>(State().cursorX) + static_cast<uint32_t>(dx)),
             static_cast<int>(static_cast<uint32_t>(State().cursorY) + static_cast<uint32_t>(dy)), false, 0);
}

void DrawDashedLineTo(int x, int y, int pattern) { DrawLine(x, y, true, static_cast<uint16_t>(pattern)); }

void PlotPoint(int x, int y) {
    Buffer* b = Active();
    if (b != nullptr) PlotClipped(*b, x, y, State().color);
}

void FillRect(int minx, int maxx, int miny, int maxy) {
    Buffer* b = Active();
    if (b == nullptr || minx > maxx || miny > maxy) return;
    FillDeviceRect(*b, DeviceFirst(minx), DeviceLast(maxx), DeviceFirst(miny), DeviceLast(maxy), State().color);
}

void ShadeRect(int minx, int maxx, int miny, int maxy, int keepPercent) {
    Buffer* b = Active();
    if (b == nullptr || minx > maxx || miny > maxy) return;
    const int64_t x0 = std::max<int64_t>(DeviceFirst(minx), b->clipMinX), x1 = std::min<int64_t>(DeviceLast(maxx), b->clipMaxX);
    const int64_t y0 = std::max<int64_t>(DeviceFirst(miny), b->clipMinY), y1 = std::min<int64_t>(DeviceLast(maxy), b->clipMaxY);
    const uint32_t keep = static_cast<uint32_t>(std::clamp(keepPercent, 0, 100));
    for (int64_t y = y0; y <= y1; ++y) {
        Pixel* row = b->Row(static_cast<int>(y));
        for (int64_t x = x0; x <= x1; ++x) {
            const Pixel p = row[x];
            const uint32_t r = ((p >> 16) & 0xFF) * keep / 100, g = ((p >> 8) & 0xFF) * keep / 100, bl = (p & 0xFF) * keep / 100;
            row[x] = (r << 16) | (g << 8) | bl;
        }
    }
}

void SetBoxDepth(int xdepth, int ydepth) {
    State().boxDepthX = xdepth;
    State().boxDepthY = ydepth;
}

void DrawBox(int minx, int maxx, int miny, int maxy) {
    if (minx > maxx || miny > maxy) return;
    // Bands are clamped to the rectangle so that deep borders on a small box just fill it.
    const int64_t xd = std::clamp<int64_t>(State().boxDepthX, 0, static_cast<int64_t>(maxx) - minx + 1);
    const int64_t yd = std::clamp<int64_t>(State().boxDepthY, 0, static_cast<int64_t>(maxy) - miny + 1);
    if (yd > 0) {
        FillRect(minx, maxx, miny, static_cast<int>(miny + yd - 1));
        FillRect(minx, maxx, static_cast<int>(maxy - yd + 1), maxy);
    }
    if (xd > 0) {
        FillRect(minx, static_cast<int>(minx + xd - 1), miny, maxy);
        FillRect(static_cast<int>(maxx - xd + 1), maxx, miny, maxy);
    }
}

// --- Keyboard ---

int IsKeyDown(int scanCode) { return IsScanCodeDown(scanCode) ? 1 : 0; }
