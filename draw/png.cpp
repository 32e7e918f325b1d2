// PNG decoding through libpng, row by row. PNG is the compact lossless form of the 2x and 3x
// artwork whose 1x file is a BMP: it keeps exact magenta for transparency.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include "draw/draw.h"
#include "draw/draw_internal.h"

using namespace draw_internal;

namespace {

// The largest picture decoded at all: a 3x screen-sized sheet is about 7 million pixels. A
// header claiming more is refused before any work.
constexpr uint64_t kMaxPngPixels = 16u << 20;
constexpr int kBytesPerPixel = 3;

struct MemoryReader {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->at) png_error(png, "truncated");
    std::memcpy(out, reader->data + reader->at, count);
    reader->at += count;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// What the row reader needs from its caller, kept out of the function that calls setjmp so that
// no object with a destructor lives in a frame libpng may jump out of.
struct RowDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    MemoryReader reader{};
    int scale = 1;
    bool atDeviceScale = false;
    int flags = 0;
    Buffer* buffer = nullptr;
    std::unique_ptr<PictureSink> sink;
    std::vector<uint8_t> row;
    std::vector<uint8_t> interlacedPicture;  // an interlaced picture needs all of it at once
};

// Reads the header, sets the transformations to 8-bit RGB and decodes the picture one row at a
// time, keeping the rows the sink wants: no memory of the whole picture is taken. The file is read
// to its end, so damage anywhere in it fails the picture. False on any damage.
bool DecodeRows(RowDecode& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_set_read_fn(d.png, &d.reader, ReadFromMemory);
    png_set_user_limits(d.png, kMaxImageSide, kMaxImageSide);
#ifdef PNG_IGNORE_ADLER32
    // Every chunk's CRC already covers the compressed data; the stream's own checksum would cost
    // a tenth of the decoding again.
    png_set_option(d.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_read_info(d.png, d.info);
    const png_uint_32 width = png_get_image_width(d.png, d.info), height = png_get_image_height(d.png, d.info);
    if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
        static_cast<uint64_t>(width) * height > kMaxPngPixels)
        return false;
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (d.atDeviceScale && (w % d.scale != 0 || h % d.scale != 0)) return false;
    // Every form becomes 8-bit RGB; transparent pixels of a picture with alpha come out black,
    // as on a black background.
    const int colourType = png_get_color_type(d.png, d.info);
    png_set_expand(d.png);
    png_set_strip_16(d.png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(d.png);
    if ((colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(d.png, d.info, PNG_INFO_tRNS)) {
        png_color_16 black{};
        png_set_background(d.png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
    png_set_interlace_handling(d.png);
    png_read_update_info(d.png, d.info);
    if (png_get_rowbytes(d.png, d.info) != static_cast<size_t>(w) * kBytesPerPixel) return false;
    const bool atCursor = (d.flags & kShowBmpAtCursor) != 0;
    d.sink = std::make_unique<PictureSink>(*d.buffer, atCursor ? DeviceFirst(State().cursorX) : 0,
                                           atCursor ? DeviceFirst(State().cursorY) : 0, w, h,
                                           d.atDeviceScale ? 1 : d.scale);
    PictureSink& sink = *d.sink;
    if (sink.Empty()) return false;
    d.row.resize(static_cast<size_t>(w) * kBytesPerPixel);
    // An interlaced picture passes over every row several times, into a picture of its own.
    const bool interlaced = png_get_interlace_type(d.png, d.info) != PNG_INTERLACE_NONE;
    const int passes = interlaced ? png_set_interlace_handling(d.png) : 1;
    std::vector<uint8_t>* whole = nullptr;
    if (interlaced) {
        d.interlacedPicture.assign(static_cast<size_t>(w) * h * kBytesPerPixel, 0);
        whole = &d.interlacedPicture;
    }
    // One row's visible pixels from its RGB bytes. The bounds and the target are taken once per
    // row: stores through the sink's pixels would otherwise make every pixel read them again.
    const int firstColumn = sink.FirstColumn(), columns = sink.LastColumn() - firstColumn + 1;
    const auto keepRow = [&](const uint8_t* rgb, int y) {
        const uint8_t* p = rgb + static_cast<size_t>(firstColumn) * kBytesPerPixel;
        Pixel* target = &sink.At(firstColumn, y);
        for (int i = 0; i < columns; ++i, p += kBytesPerPixel) target[i] = Rgb(p[0], p[1], p[2]);
    };
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < h; ++y) {
            uint8_t* out = whole ? whole->data() + static_cast<size_t>(y) * w * kBytesPerPixel : d.row.data();
            png_read_row(d.png, out, nullptr);
            if (whole || y < sink.FirstRow() || y > sink.LastRow()) continue;
            keepRow(out, y);
        }
    png_read_end(d.png, nullptr);
    if (whole)
        for (int y = sink.FirstRow(); y <= sink.LastRow(); ++y)
            keepRow(whole->data() + static_cast<size_t>(y) * w * kBytesPerPixel, y);
    return true;
}

}  // namespace

namespace draw_internal {

bool DrawPng(const uint8_t* data, size_t size, int flags, bool atDeviceScale) {
    Buffer* b = Active();
    if (b == nullptr || data == nullptr || size < 8 || size > kMaxFileBytes || png_sig_cmp(data, 0, 8) != 0)
        return false;
    RowDecode d;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, IgnoreWarning);
    if (d.png == nullptr) return false;
    d.info = png_create_info_struct(d.png);
    if (d.info == nullptr) {
        png_destroy_read_struct(&d.png, nullptr, nullptr);
        return false;
    }
    d.reader = {data, size, 0};
    d.scale = Scale();
    d.atDeviceScale = atDeviceScale;
    d.flags = flags;
    d.buffer = b;
    const bool decoded = DecodeRows(d);
    png_destroy_read_struct(&d.png, &d.info, nullptr);
    if (!decoded || !d.sink) return false;
    d.sink->Commit(*b);
    return true;
}

}  // namespace draw_internal

bool ShowScaledPngMemory(const uint8_t* data, size_t size, int flags) { return DrawPng(data, size, flags, true); }
