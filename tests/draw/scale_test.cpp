// Drawing at device scale 2 and 3: the interface stays logical, buffers hold s x s device pixels
// per logical pixel, and art files made at the scale are used pixel for pixel while 1x files
// are enlarged.

#include <cstdio>
#include <tuple>

#include "draw/jpeg_encode.h"
#include "draw/palette.h"
#include "platform/paths.h"
#include "tests/draw/draw_fixture.h"
#include "tools/dev/png_writer.h"

namespace {

constexpr Pixel kBackground = 0x203040;
constexpr Pixel kRed = 0xFF0000;
constexpr Pixel kGreen = 0x00FF00;

class ScaleTest : public DrawTest {
protected:
    // Starts the drawing layer afresh at a device scale, as the shell does at start-up.
    void UseScale(int scale) {
        backend.SetDeviceScale(scale);
        InitBuffers();
        UnloadFont(-1);
        SetColor(kBlack);
        MoveTo(0, 0);
        SetTextJustify(-1, 1);
        SetWinTextJustify(-1, 1);
    }

    // Each (x, y, colour) is the colour of the buffer's device pixel (x, y).
    static void ExpectPixels(int handle, std::initializer_list<std::tuple<int, int, Pixel>> pixels) {
        for (auto [x, y, colour] : pixels) EXPECT_EQ(At(handle, x, y), colour) << x << "," << y;
    }

    // A scene touching every drawing path: fills, boxes, lines, dashes, points, clipping, opaque
    // and transparent copies, blocks, pictures, sprites and text. Returns the scene's buffer.
    static int DrawScene() {
        const std::vector<uint8_t> font = MakeFont(1, 9, [](int c) { return c % 4 + 2; }, [](int c) { return c % 6 + 3; }, 200);
        BmpLayout layout{5, 3, 24};
        layout.values = {kRed, kGreen, kMagenta, kWhite, kRed, kGreen, kMagenta, kMagenta, kWhite, kBlack,
                         kWhite, kBlack, kRed, kGreen, kMagenta};
        const std::vector<uint8_t> picture = MakeBmp(layout);
        const int white = 216 + 35;
        const std::vector<uint8_t> sprite = MakeSprite(3, 2, {{1, white}, {1, kTransparentIndexA}, {4, 0}});

        const int art = MakeBuffer(12, 10, kMagenta);
        EXPECT_TRUE(ShowBmpMemory(picture.data(), picture.size(), 1));
        SetColor(kGreen);
        FillRect(6, 9, 4, 8);
        const int scene = MakeBuffer(60, 40, kBackground);
        SetColor(kWhite);
        DrawBox(2, 20, 3, 15);
        SetColor(kRed);
        MoveTo(1, 38);
        DrawLineTo(45, 20);
        MoveTo(50, 2);
        DrawDashedLineTo(58, 37, 0x3333);
        PlotPoint(59, 39);
        SetClip(10, 30, 5, 25);
        SetColor(kGreen);
        FillRect(0, 59, 12, 13);
        SetClip(0, 59, 0, 39);
        CopyBufferRect(0, 4, 0, 2, 30, 10, art, scene);
        CopyBufferRectTransparent(0, 11, 0, 9, 40, 30, art, scene);
        MoveTo(22, 30);
        EXPECT_TRUE(ShowBmpMemory(picture.data(), picture.size(), kShowBmpAtCursor | 1));
        MoveTo(3, 36);
        EXPECT_TRUE(ShowSprMemory(sprite.data(), sprite.size(), 3));
        SelectFont(LoadFontMemory(font.data(), font.size()));
        SetColor(kBlack);
        MoveTo(5, 18);
        DrawText("Hello", 5);
        MoveTo(30, 2);
        DrawWinText("Ab", 2);
        // A block taken from one place and put back at another, as save-unders do.
        std::vector<uint8_t> block(ImageSize(8, 6));
        GetBlock(block.data(), 0, 7, 0, 5);
        PutBlock(block.data(), 50, 57, 32, 37);
        FreeBuffer(art);
        return scene;
    }
};

TEST_F(ScaleTest, EveryDrawingOperationAtScaleEqualsTheOneXPictureEnlarged) {
    UseScale(1);
    const int one = DrawScene();
    const std::vector<Pixel> reference = Snapshot(one);
    const int textEnd = CursorX();
    for (int scale : {2, 3}) {
        UseScale(scale);
        const int scene = DrawScene();
        ASSERT_EQ(BufferWidth(scene), 60 * scale);
        ASSERT_EQ(BufferHeight(scene), 40 * scale);
        EXPECT_EQ(BufferScale(scene), scale);
        EXPECT_EQ(MaxX(), 59);
        EXPECT_EQ(MaxY(), 39);
        EXPECT_EQ(CursorX(), textEnd) << "the system font's cursor moves in logical pixels";
        int wrong = 0;
        for (int y = 0; y < 40 * scale; ++y)
            for (int x = 0; x < 60 * scale; ++x)
                if (At(scene, x, y) != reference[(y / scale) * 60 + x / scale] && wrong++ < 5)
                    ADD_FAILURE() << "scale " << scale << " pixel " << x << "," << y;
        EXPECT_EQ(wrong, 0) << "scale " << scale;
    }
}

TEST_F(ScaleTest, ScaledPicturesAreUsedPixelForPixelAndBadOnesFallBackToTheOneXFile) {
    UseScale(2);
    // The 1x picture is one flat colour; the 2x picture has a different colour in every pixel.
    BmpLayout one{2, 2, 24};
    one.values.assign(4, kRed);
    BmpLayout two{4, 4, 24};
    for (int i = 0; i < 16; ++i) two.values.push_back(0x010101u * (i + 1));
    BmpLayout odd{5, 4, 24};
    odd.values.assign(20, kGreen);
    const std::string path = WriteTempFile("scaled.bmp", MakeBmp(one));
    const int b = MakeBuffer(4, 4, kBackground);

    WriteTempFile("scaled@2x.bmp", MakeBmp(two));
    ShowBmp(path.c_str(), 1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(At(b, i % 4, i / 4), 0x010101u * (i + 1));
    EXPECT_EQ(At(b, 4, 0), kBackground);

    // A 2x file that is not whole logical pixels, or is damaged, is passed over.
    for (const std::vector<uint8_t>& bad : {MakeBmp(odd), std::vector<uint8_t>{'B', 'M', 1, 2}}) {
        WriteTempFile("scaled@2x.bmp", bad);
        SetColor(kBackground);
        FillBuffer();
        ShowBmp(path.c_str(), 1);
        EXPECT_EQ(CountPixels(b, kRed), 16);
    }

    // The compact PNG form of the 2x art is read when there is no 2x BMP.
    std::remove((::testing::TempDir() + "/scaled@2x.bmp").c_str());
    WriteTempFile("scaled@2x.png", EncodePng(two.values.data(), 4, 4, 4));
    ShowBmp(path.c_str(), 1);
    EXPECT_EQ(At(b, 3, 3), 0x101010u);
    WriteTempFile("scaled@2x.png", {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0});
    ShowBmp(path.c_str(), 1);
    EXPECT_EQ(At(b, 3, 3), kRed);

    // JPEG: the header reports the logical size of whichever file will be drawn.
    std::vector<uint32_t> large(16 * 12, kWhite), small(8 * 6, kBlack);
    const std::string jpeg = WriteTempFile("scaled.jpg", EncodeJpeg(small.data(), 8, 6, 95, false));
    JpegHeader header{};
    ASSERT_EQ(ReadJpegHeader(jpeg.c_str(), &header), 0);
    EXPECT_EQ(header.width, 8);
    WriteTempFile("scaled@2x.jpg", EncodeJpeg(large.data(), 16, 12, 95, false));
    ASSERT_EQ(ReadJpegHeader(jpeg.c_str(), &header), 0);
    EXPECT_EQ(header.height, 6);
    const int j = MakeBuffer(8, 6, kBackground);
    ShowJpeg(jpeg.c_str(), 0);
    EXPECT_GE(At(j, 15, 11) & 0xFF, 0xF0u);
    WriteTempFile("scaled@2x.jpg", {0xFF, 0xD8, 0xFF});
    ShowJpeg(jpeg.c_str(), 0);
    EXPECT_LE(At(j, 15, 11) & 0xFF, 0x10u);

    // Sprites: the 2x file must be twice the logical width.
    const int white = 216 + 35;
    const std::string sprite = WriteTempFile("arrow.spr", MakeSprite(2, 1, {{2, 0}}));
    const int s = MakeBuffer(4, 4, kBackground);
    WriteTempFile("arrow@2x.spr", MakeSprite(4, 2, {{8, white}}));
    MoveTo(0, 3);
    ShowSpr(sprite.c_str(), 2);
    EXPECT_EQ(CountPixels(s, kWhite), 8);
    EXPECT_EQ(At(s, 0, 6), kWhite);
    WriteTempFile("arrow@2x.spr", MakeSprite(3, 2, {{6, white}}));
    ShowSpr(sprite.c_str(), 2);
    EXPECT_EQ(CountPixels(s, kBlack), 8);
}

TEST_F(ScaleTest, FontsMeasureAsAtOneXAndDrawTheirScaledGlyphsWhenTheCellsMatch) {
    UseScale(3);
    const auto width = [](int c) { return c % 3 + 2; };
    const auto height = [](int) { return 4; };
    const std::string path = WriteTempFile("face.fgf", MakeFont(1, 4, width, height, 255));
    // The 3x font's ink is half strength, so its glyphs are told apart from enlarged 1x ones.
    WriteTempFile("face@3x.fgf", MakeFont(3, 12, [&](int c) { return 3 * width(c); }, [](int) { return 12; }, 128));
    const int b = MakeBuffer(30, 10, kWhite);
    SelectFont(LoadFont(path.c_str()));
    EXPECT_EQ(TextWidth("AB", 2), width('A') + width('B') + 2);
    EXPECT_EQ(TextHeight("AB", 2), 4);
    SetColor(kBlack);
    MoveTo(2, 1);
    DrawText("AB", 2);
    EXPECT_EQ(PaintedBounds(b, kWhite), std::vector<int>({6, 6 + 3 * (width('A') + 1 + width('B')) - 1, 3, 14}));
    EXPECT_EQ(At(b, 6, 3), 0x7F7F7Fu);

    // Cells that are not exactly three times the 1x cells are not used: the 1x glyphs are enlarged.
    WriteTempFile("face@3x.fgf", MakeFont(3, 12, [&](int c) { return 3 * width(c) + 1; }, [](int) { return 12; }, 128));
    SetColor(kWhite);
    FillBuffer();
    SelectFont(LoadFont(path.c_str()));
    SetColor(kBlack);
    DrawText("AB", 2);
    EXPECT_EQ(At(b, 6, 3), kBlack);
}

// The window asks for another scale while the program runs: buffers keep their logical content
// and handles, blocks saved before the change come back after it, fonts and cursors follow, and
// the window keeps showing the same picture.
TEST_F(ScaleTest, ChangingTheScaleWhileRunningKeepsEveryBufferAndBlock) {
    backend.SetScaleFollowsWindow(true);
    UseScale(1);
    EXPECT_EQ(backend.LargestDeviceScale(), 3);
    const int screen = MakeBuffer(800, 600, kBackground);
    SetColor(kRed);
    FillRect(10, 19, 20, 24);
    SetClip(5, 99, 6, 59);
    const std::vector<uint8_t> font = MakeFont(1, 9, [](int c) { return c % 4 + 2; }, [](int) { return 7; }, 200);
    const int slot = LoadFontMemory(font.data(), font.size());
    SelectFont(slot);
    const int textWidth = TextWidth("Abc", 3);
    // Blocks are sized for the largest scale and say which scale they hold.
    std::vector<uint8_t> block(ImageSize(10, 5));
    EXPECT_GE(block.size(), 10u * 5 * 9 * 3);
    GetBlock(block.data(), 10, 19, 20, 24);
    const std::string cursorFile = DataPath("playcard.cur");
    const int cursor = LoadScaledCursor(cursorFile.c_str());
    ASSERT_GT(cursor, 0);
    PresentRect(0, 799, 0, 599, 0, 599);

    // Resizing the window to three times the table posts WM_APP_RESCALE; taking it changes the scale.
    backend.SetWindowSize(2400, 1800);
    EXPECT_EQ(backend.DeviceScale(), 3);
    EXPECT_EQ(DrawScale(), 1);
    Message message;
    ASSERT_TRUE(PeekMessage(&message, true));
    EXPECT_EQ(message.message, WM_APP_RESCALE);
    EXPECT_EQ(DrawScale(), 3);
    EXPECT_EQ(backend.FrameScale(), 3);
    EXPECT_EQ(backend.ReplacedCursors(), 1);
    EXPECT_EQ(BufferWidth(screen), 2400);
    EXPECT_EQ(MaxX(), 799);
    ExpectPixels(screen, {{30, 60, kRed}, {59, 74, kRed}, {60, 74, kBackground}});
    // The window shows the table resampled, pixel for pixel in a 3x window.
    EXPECT_EQ(backend.WindowPixels()[60 * 2400 + 30], kRed);
    EXPECT_EQ(backend.WindowPixels()[60 * 2400 + 29], kBackground);
    // The clip keeps its logical edges.
    SetColor(kGreen);
    FillRect(0, 799, 0, 599);
    ExpectPixels(screen, {{14, 17, kBackground}, {15, 18, kGreen}, {299, 179, kGreen}, {300, 179, kBackground}});
    // The 1x block goes back at 3x, each of its pixels as a 3 x 3 square.
    SetClip(0, 799, 0, 599);
    PutBlock(block.data(), 10, 19, 20, 24);
    ExpectPixels(screen, {{30, 60, kRed}, {59, 74, kRed}, {60, 60, kGreen}});
    // Text keeps its logical width and is drawn with glyphs of the new scale.
    EXPECT_EQ(TextWidth("Abc", 3), textWidth);

    // Back down to 1x: a block saved at 3x comes back at 1x.
    GetBlock(block.data(), 10, 19, 20, 24);
    backend.SetWindowSize(800, 600);
    ASSERT_TRUE(PeekMessage(&message, true));
    EXPECT_EQ(message.message, WM_APP_RESCALE);
    EXPECT_EQ(DrawScale(), 1);
    EXPECT_EQ(BufferWidth(screen), 800);
    SetColor(kBlack);
    FillRect(0, 799, 0, 599);
    PutBlock(block.data(), 10, 19, 20, 24);
    ExpectPixels(screen, {{10, 20, kRed}, {19, 24, kRed}, {20, 24, kBlack}});
    // Only one rescale waits however often the window changes before it is taken.
    backend.SetWindowSize(1600, 1200);
    backend.SetWindowSize(2400, 1800);
    backend.SetWindowSize(1700, 1200);
    ASSERT_TRUE(PeekMessage(&message, true));
    EXPECT_EQ(message.message, WM_APP_RESCALE);
    EXPECT_FALSE(PeekMessage(&message, true));
    EXPECT_EQ(DrawScale(), 2);
    backend.SetScaleFollowsWindow(false);
}

}  // namespace
