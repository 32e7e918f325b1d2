#include "tests/draw/draw_fixture.h"

#include "tests/test_support.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) { test_support::PutLittle(out, v, 2); }
void Put32(std::vector<uint8_t>& out, uint32_t v) { test_support::PutLittle(out, v, 4); }

}  // namespace

std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = ::testing::TempDir() + "/" + name;
    test_support::WriteBytes(path, bytes);
    return path;
}

std::vector<uint8_t> MakeBmp(const BmpLayout& layout) {
    const int bpp = layout.bitsPerPixel;
    const size_t stride = (static_cast<size_t>(layout.width) * bpp + 31) / 32 * 4;
    std::vector<uint8_t> pixels;
    if (layout.compression == 1 || layout.compression == 2) {
        pixels = layout.coded;
    } else {
        pixels.assign(stride * layout.height, 0);
        for (int row = 0; row < layout.height; ++row) {
            uint8_t* out = pixels.data() + stride * (layout.topDown ? row : layout.height - 1 - row);
            for (int x = 0; x < layout.width; ++x) {
                uint32_t v = layout.values[static_cast<size_t>(row) * layout.width + x];
                switch (bpp) {
                case 1: out[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8)); break;
                case 4: out[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
                case 8: out[x] = static_cast<uint8_t>(v); break;
                case 16: out[x * 2] = static_cast<uint8_t>(v); out[x * 2 + 1] = static_cast<uint8_t>(v >> 8); break;
                case 24:
                    out[x * 3] = static_cast<uint8_t>(v);
                    out[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
                    out[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
                    break;
                default:
                    for (int k = 0; k < 4; ++k) out[x * 4 + k] = static_cast<uint8_t>(v >> (8 * k));
                }
            }
        }
    }
    const uint32_t compression = layout.masks.empty() ? layout.compression : 3;
    const uint32_t headerBytes = 14 + 40 + static_cast<uint32_t>(layout.masks.size() * 4 + layout.palette.size() * 4);
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, headerBytes + static_cast<uint32_t>(pixels.size()));
    Put32(out, 0);
    Put32(out, headerBytes);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(layout.width));
    Put32(out, static_cast<uint32_t>(layout.topDown ? -layout.height : layout.height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bpp));
    Put32(out, compression);
    Put32(out, static_cast<uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(layout.palette.size()));
    Put32(out, 0);
    for (uint32_t m : layout.masks) Put32(out, m);
    for (Pixel p : layout.palette) Put32(out, p);  // B, G, R, 0 as a little-endian word
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::vector<uint8_t> MakeFont(int spacing, int lineHeight, const std::function<int(int)>& glyphWidth,
                              const std::function<int(int)>& glyphHeight, uint8_t ink) {
    std::vector<uint8_t> out{'Q', 'F', 'G', 'F'};
    Put16(out, 1);
    Put16(out, 96);
    Put16(out, 32);
    out.push_back(static_cast<uint8_t>(spacing));
    out.push_back(static_cast<uint8_t>(lineHeight - 1));
    Put16(out, static_cast<uint32_t>(lineHeight));
    Put16(out, 0);
    for (int c = 32; c < 128; ++c) {
        int w = glyphWidth(c), h = glyphHeight(c);
        out.push_back(static_cast<uint8_t>(w));
        out.push_back(static_cast<uint8_t>(h));
        out.insert(out.end(), static_cast<size_t>(w) * h, ink);
    }
    return out;
}

std::vector<uint8_t> MakeSprite(int width, int height, const std::vector<std::pair<int, int>>& runs) {
    std::vector<uint8_t> out{'Q', 'S', 'P', 'R'};
    Put16(out, static_cast<uint32_t>(width));
    Put16(out, static_cast<uint32_t>(height));
    Put32(out, static_cast<uint32_t>(runs.size()));
    for (auto [length, index] : runs) {
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(index));
    }
    return out;
}
