// PNG decoding through libpng's simplified reader. PNG is the compact lossless form of the 2x
// and 3x artwork whose 1x file is a BMP: it keeps exact magenta for transparency.

#include <png.h>

#include <memory>
#include <new>

#include "draw/draw.h"
#include "draw/draw_internal.h"

using namespace draw_internal;

namespace {

// The largest picture decoded at all: a 3x screen-sized sheet is about 7 million pixels. The
// reader allocates the whole picture, so a header claiming more is refused before any work.
constexpr uint64_t kMaxPngPixels = 16u << 20;
constexpr int kBytesPerPixel = 3;

struct ImageCloser {
    void operator()(png_image* image) const { png_image_free(image); }
};

}  // namespace

namespace draw_internal {

bool DrawPng(const uint8_t* data, size_t size, int flags, bool atDeviceScale) {
    Buffer* b = Active();
    if (b == nullptr || data == nullptr || size == 0 || size > kMaxFileBytes) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    std::unique_ptr<png_image, ImageCloser> closer(&image);
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    if (image.width == 0 || image.height == 0 || image.width > kMaxImageSide || image.height > kMaxImageSide ||
        static_cast<uint64_t>(image.width) * image.height > kMaxPngPixels)
        return false;
    const int s = Scale();
    if (atDeviceScale && (width % s != 0 || height % s != 0)) return false;
    const bool atCursor = (flags & kShowBmpAtCursor) != 0;
    PictureSink sink(*b, atCursor ? DeviceFirst(State().cursorX) : 0, atCursor ? DeviceFirst(State().cursorY) : 0,
                     width, height, atDeviceScale ? 1 : s);
    if (sink.Empty()) return false;
    // Transparent pixels of a picture with alpha come out black, as on a black background.
    image.format = PNG_FORMAT_RGB;
    const size_t rowBytes = static_cast<size_t>(width) * kBytesPerPixel;
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[rowBytes * height]);
    if (!pixels || !png_image_finish_read(&image, nullptr, pixels.get(), static_cast<png_int_32>(rowBytes), nullptr))
        return false;
    closer.release();  // finish_read frees the reader's state, success or not
    for (int row = sink.FirstRow(); row <= sink.LastRow(); ++row) {
        const uint8_t* p = pixels.get() + row * rowBytes + static_cast<size_t>(sink.FirstColumn()) * kBytesPerPixel;
        for (int column = sink.FirstColumn(); column <= sink.LastColumn(); ++column, p += kBytesPerPixel)
            sink.At(column, row) = Rgb(p[0], p[1], p[2]);
    }
    sink.Commit(*b);
    return true;
}

}  // namespace draw_internal

bool ShowScaledPngMemory(const uint8_t* data, size_t size, int flags) { return DrawPng(data, size, flags, true); }
