// BMP, JPEG and sprite decoding, and the refusal of damaged files by every reader.

#include <cstdlib>

#include "draw/jpeg_encode.h"
#include "draw/palette.h"
#include "tests/draw/draw_fixture.h"
#include "tests/test_support.h"
#include "tools/dev/png_writer.h"

namespace {

using ImagesTest = DrawTest;

constexpr Pixel kBackground = 0x203040;

// The 3 x 2 picture most BMP tests encode, top row first.
const std::vector<Pixel> kPicture = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};

std::vector<Pixel> Region(int handle, int left, int top, int width, int height) {
    std::vector<Pixel> out;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) out.push_back(DrawTest::At(handle, x, y));
    return out;
}

using test_support::Near;

std::vector<uint8_t> PaletteBmp(int bitsPerPixel, bool topDown) {
    BmpLayout layout{3, 2, bitsPerPixel, topDown};
    layout.palette = {0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080};
    layout.values = {1, 2, 3, 4, 0, 5};
    if (bitsPerPixel == 1) {
        layout.palette = {0x000000, 0xFFFFFF};
        layout.values = {1, 0, 1, 0, 0, 1};
    }
    return MakeBmp(layout);
}

TEST_F(ImagesTest, BmpDepthsRowOrdersAndRunLengthCodesDecodeToTheSamePicture) {
    const int b = MakeBuffer(8, 8, kBackground);
    auto check = [&](const std::vector<uint8_t>& file, const std::vector<Pixel>& expected, const char* what) {
        SetColor(kBackground);
        FillBuffer();
        EXPECT_TRUE(ShowBmpMemory(file.data(), file.size(), 1)) << what;
        EXPECT_EQ(Region(b, 0, 0, 3, 2), expected) << what;
        EXPECT_EQ(At(b, 3, 0), kBackground) << what;
    };
    for (bool topDown : {false, true}) {
        BmpLayout rgb24{3, 2, 24, topDown};
        rgb24.values.assign(kPicture.begin(), kPicture.end());
        check(MakeBmp(rgb24), kPicture, "24-bit");

        BmpLayout rgb32{3, 2, 32, topDown};
        rgb32.values.assign(kPicture.begin(), kPicture.end());
        for (auto& v : rgb32.values) v |= 0xFF000000;  // an alpha byte is ignored
        check(MakeBmp(rgb32), kPicture, "32-bit");

        check(PaletteBmp(8, topDown), kPicture, "8-bit");
        check(PaletteBmp(4, topDown), kPicture, "4-bit");
        check(PaletteBmp(1, topDown), {kWhite, kBlack, kWhite, kBlack, kBlack, kWhite}, "1-bit");

        // 16 bits: plain 5-5-5, and 5-6-5 declared through bit fields.
        BmpLayout rgb555{3, 2, 16, topDown};
        rgb555.values = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000, 0x4210};
        check(MakeBmp(rgb555), {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848484}, "16-bit 555");
        BmpLayout rgb565{3, 2, 16, topDown};
        rgb565.masks = {0xF800, 0x07E0, 0x001F};
        rgb565.values = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8410};
        check(MakeBmp(rgb565), {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x848284}, "16-bit 565");
    }

    BmpLayout rle8{3, 2, 8};
    rle8.palette = {0, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080};
    rle8.compression = 1;
    // Bottom row: a literal run of three; top row: a run of two, then one more; end of picture.
    rle8.coded = {0, 3, 4, 0, 5, 0, 0, 0, 2, 1, 1, 3, 0, 1};
    check(MakeBmp(rle8), {0xFF0000, 0xFF0000, 0x0000FF, 0xFFFFFF, 0, 0x808080}, "8-bit run-length");

    BmpLayout rle4 = rle8;
    rle4.bitsPerPixel = 4;
    rle4.compression = 2;
    // Bottom row: a run of three alternating the nibbles 4 and 0; top row: literal 1, 2, 3.
    rle4.coded = {3, 0x40, 0, 0, 0, 3, 0x12, 0x30, 0, 1};
    check(MakeBmp(rle4), {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, 0xFFFFFF}, "4-bit run-length");
}

// A column of a picture of several: cut from the file where the column starts on a block of it,
// else taken from the whole picture decoded; either way nothing lands right of the column.
TEST_F(ImagesTest, JpegColumnsComeFromTheirPlaceInThePicture) {
    // Grey bands eight columns wide, so chroma subsampling blurs nothing between them.
    const Pixel bands[] = {0x202020, 0x808080, 0xE0E0E0, 0x404040, 0xA0A0A0, 0x606060};
    std::vector<Pixel> picture(48 * 16);
    for (int i = 0; i < 48 * 16; ++i) picture[i] = bands[(i % 48) / 8];
    for (const bool subsampled : {false, true}) {
        SCOPED_TRACE(subsampled ? "4:2:0, whole picture decoded" : "4:4:4, columns cut");
        const std::vector<uint8_t> jpeg = EncodeJpeg(picture.data(), 48, 16, 100, subsampled);
        const int b = MakeBuffer(24, 16, kBackground);
        ASSERT_TRUE(ShowJpegColumnsMemory(jpeg.data(), jpeg.size(), 8, 16));
        EXPECT_TRUE(Near(At(b, 3, 8), bands[1])) << std::hex << At(b, 3, 8);
        EXPECT_TRUE(Near(At(b, 12, 8), bands[2])) << std::hex << At(b, 12, 8);
        EXPECT_EQ(PaintedBounds(b, kBackground), (std::vector<int>{0, 15, 0, 15}));
        FreeBuffer(b);
    }
}

TEST_F(ImagesTest, SpriteLandsWithItsLowerLeftOnTheCursorAndSkipsMagenta) {
    const int b = MakeBuffer(8, 8, kBackground);
    // 3 x 2: top row white, magenta, white; bottom row three palette-0 (black).
    const int whiteIndex = 215;
    const std::vector<uint8_t> sprite =
        MakeSprite(3, 2, {{1, whiteIndex}, {1, kTransparentIndexA}, {1, whiteIndex}, {3, 0}});
    MoveTo(2, 5);
    EXPECT_FALSE(ShowSprMemory(sprite.data(), sprite.size(), 4));  // the width must match
    EXPECT_EQ(PaintedBounds(b, kBackground), (std::vector<int>{1, 0, 1, 0}));
    ASSERT_TRUE(ShowSprMemory(sprite.data(), sprite.size(), 3));
    EXPECT_EQ(Region(b, 2, 4, 3, 2), (std::vector<Pixel>{kWhite, kBackground, kWhite, kBlack, kBlack, kBlack}));
    EXPECT_EQ(PaintedBounds(b, kBackground), (std::vector<int>{2, 4, 4, 5}));
}

// Every reader refuses damaged input without touching the buffer: each proper prefix of a valid
// file, the file with a wrong magic or an oversized dimension. Random bytes are the fuzz targets'.
TEST_F(ImagesTest, DamagedFilesNeverChangeTheBuffer) {
    const int b = MakeBuffer(16, 16, kBackground);
    const std::vector<Pixel> untouched = Snapshot(b);

    BmpLayout rgb24{5, 3, 24};
    rgb24.values.assign(15, 0x112233);
    BmpLayout rle8{3, 2, 8};
    rle8.palette = {0x445566};
    rle8.compression = 1;
    rle8.coded = {3, 0, 0, 0, 3, 0, 0, 1};
    std::vector<Pixel> gradient(16 * 16);
    for (int i = 0; i < 256; ++i) gradient[i] = static_cast<Pixel>(i * 0x010101);
    const std::vector<uint8_t> font = MakeFont(1, 8, [](int c) { return c % 4; }, [](int c) { return c % 8; });

    struct Reader {
        const char* name;
        std::vector<uint8_t> valid;
        std::function<bool(const std::vector<uint8_t>&)> read;  // true when something was accepted
    };
    std::vector<Reader> readers = {
        {"bmp", MakeBmp(rgb24), [](const auto& d) { return ShowBmpMemory(d.data(), d.size(), 1); }},
        {"bmp palette", PaletteBmp(4, false), [](const auto& d) { return ShowBmpMemory(d.data(), d.size(), 1); }},
        {"bmp rle8", MakeBmp(rle8), [](const auto& d) { return ShowBmpMemory(d.data(), d.size(), 1); }},
        {"jpeg", EncodeJpeg(gradient.data(), 16, 16, 90), [](const auto& d) { return ShowJpegMemory(d.data(), d.size()); }},
        {"jpeg columns", EncodeJpeg(gradient.data(), 16, 16, 90, false),
         [](const auto& d) { return ShowJpegColumnsMemory(d.data(), d.size(), 8, 8); }},
        {"png", EncodePng(gradient.data(), 16, 16, 16),
         [](const auto& d) { return ShowScaledPngMemory(d.data(), d.size(), 1); }},
        {"spr", MakeSprite(2, 2, {{3, 5}, {1, 6}}), [](const auto& d) { return ShowSprMemory(d.data(), d.size(), 2); }},
        {"fgf", font, [](const auto& d) {
             int slot = LoadFontMemory(d.data(), d.size());
             UnloadFont(slot);
             return slot != 0;
         }},
    };
    for (const Reader& reader : readers) {
        ASSERT_TRUE(reader.read(reader.valid)) << reader.name;
        SetColor(kBackground);
        FillBuffer();
        for (size_t length = 0; length < reader.valid.size(); ++length) {
            std::vector<uint8_t> prefix(reader.valid.begin(), reader.valid.begin() + length);
            EXPECT_FALSE(reader.read(prefix)) << reader.name << " prefix " << length;
        }
        std::vector<uint8_t> wrongMagic = reader.valid;
        wrongMagic[1] ^= 0x20;
        EXPECT_FALSE(reader.read(wrongMagic)) << reader.name;
        EXPECT_EQ(Snapshot(b), untouched) << reader.name;
    }

    // Sizes beyond the limits.
    BmpLayout wide{8193, 1, 8};
    wide.palette = {0};
    wide.values.assign(8193, 0);
    std::vector<uint8_t> file = MakeBmp(wide);
    EXPECT_FALSE(ShowBmpMemory(file.data(), file.size(), 1));
    file = MakeSprite(1025, 1, {{255, 0}, {255, 0}, {255, 0}, {255, 0}, {5, 0}});
    EXPECT_FALSE(ShowSprMemory(file.data(), file.size(), 1025));
    std::vector<uint8_t> tallFont = font;
    tallFont[12] = 65;  // line height above 64
    EXPECT_EQ(LoadFontMemory(tallFont.data(), tallFont.size()), 0);
    EXPECT_EQ(Snapshot(b), untouched);
}

}  // namespace
