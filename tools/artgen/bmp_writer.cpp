#include "tools/artgen/bmp_writer.h"

#include <png.h>

#include <filesystem>

#include "tools/artgen/artgen.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 1 << 15;

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v) {
    PutU16(p, v & 0xFFFF);
    PutU16(p + 2, v >> 16);
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return {};
    // Rows are padded to a multiple of four bytes.
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    const size_t imageSize = stride * static_cast<size_t>(height);
    const size_t offset = kFileHeaderSize + kInfoHeaderSize;
    std::vector<uint8_t> bytes(offset + imageSize, 0);
    uint8_t* h = bytes.data();
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h + 2, static_cast<uint32_t>(bytes.size()));
    PutU32(h + 10, static_cast<uint32_t>(offset));
    uint8_t* info = h + kFileHeaderSize;
    PutU32(info, kInfoHeaderSize);
    PutU32(info + 4, static_cast<uint32_t>(width));
    PutU32(info + 8, static_cast<uint32_t>(height));  // positive: bottom row first
    PutU16(info + 12, 1);                             // planes
    PutU16(info + 14, 24);                            // bits per pixel
    PutU32(info + 20, static_cast<uint32_t>(imageSize));
    PutU32(info + 24, 2835);  // 72 dots per inch, in dots per metre
    PutU32(info + 28, 2835);
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint8_t* dst = bytes.data() + offset + static_cast<size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = static_cast<uint8_t>(src[x]);
            dst[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            dst[3 * x + 2] = static_cast<uint8_t>(src[x] >> 16);
        }
    }
    return bytes;
}

bool DecodeBmp24(const std::vector<uint8_t>& bytes, std::vector<uint32_t>* pixels, int* width, int* height) {
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const uint8_t* info = bytes.data() + kFileHeaderSize;
    const size_t offset = GetU32(bytes.data() + 10);
    const int32_t w = static_cast<int32_t>(GetU32(info + 4));
    const int32_t h = static_cast<int32_t>(GetU32(info + 8));
    const bool topDown = h < 0;
    const int64_t rows = topDown ? -static_cast<int64_t>(h) : h;
    if (GetU32(info) < kInfoHeaderSize || (info[14] | info[15] << 8) != 24 || GetU32(info + 16) != 0) return false;
    if (w <= 0 || w > kMaxSide || rows <= 0 || rows > kMaxSide) return false;
    const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    if (offset > bytes.size() || stride * static_cast<size_t>(rows) > bytes.size() - offset) return false;
    pixels->assign(static_cast<size_t>(w) * static_cast<size_t>(rows), 0);
    for (int64_t y = 0; y < rows; ++y) {
        const uint8_t* src = bytes.data() + offset + static_cast<size_t>(topDown ? y : rows - 1 - y) * stride;
        for (int32_t x = 0; x < w; ++x)
            (*pixels)[static_cast<size_t>(y * w + x)] = static_cast<uint32_t>(src[3 * x]) |
                                                        static_cast<uint32_t>(src[3 * x + 1]) << 8 |
                                                        static_cast<uint32_t>(src[3 * x + 2]) << 16;
    }
    *width = w;
    *height = static_cast<int>(rows);
    return true;
}

bool WriteBmp24(const std::string& path, const uint32_t* pixels, int width, int height) {
    std::vector<uint8_t> bytes = EncodeBmp24(pixels, width, height);
    if (bytes.empty()) return false;
    std::string ignored;
    return WriteFileAtomically(std::filesystem::path(path), bytes, &ignored);
}

std::vector<uint8_t> EncodePng24(const uint32_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return {};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(
            png, &bytes,
            [](png_structp writer, png_bytep data, size_t length) {
                auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(writer));
                out->insert(out->end(), data, data + length);
            },
            nullptr);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        // Unfiltered rows: our pictures (flat magenta, smooth shading) compress as small that way
        // as with the adaptive filters, and decode two to three times faster, which is what the
        // program pays for each picture at start and at each new scale.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            const uint32_t* source = pixels + static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) {
                row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(source[x] >> 16);
                row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(source[x] >> 8);
                row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(source[x]);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
    } else {
        bytes.clear();
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return bytes;
}

std::filesystem::path ScaledArtPath(const std::filesystem::path& name, int scale) {
    if (scale <= 1) return name;
    std::filesystem::path scaled = name;
    const std::string extension = name.extension() == ".bmp" ? ".png" : name.extension().string();
    scaled.replace_filename(name.stem().string() + "@" + std::to_string(scale) + "x" + extension);
    return scaled;
}
