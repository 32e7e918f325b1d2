// Buffers, presentation, copies, clipping, primitives and save-under blocks.

#include "tests/draw/draw_fixture.h"

namespace {

using BuffersTest = DrawTest;

// Every destination pixel of a copy is either the source pixel that the lower-left placement maps
// onto it (when that pixel exists and the destination pixel is inside the clip) or unchanged.
TEST_F(BuffersTest, CopiesFollowLowerLeftPlacementAndClipAtEveryPosition) {
    const int source = MakeBuffer(5, 4, kBlack);
    for (int i = 0; i < 20; ++i) BufferPixels(source)[i] = (i % 3 == 0) ? kMagenta : 0x010000u * (i + 1);
    const int destination = MakeBuffer(8, 7, kWhite);
    SetClip(1, 6, 0, 5);
    for (bool transparent : {false, true}) {
        for (int y = -5; y < 13; ++y) {
            for (int x = -6; x < 10; ++x) {
                SelectBuffer(destination);
                SetColor(kWhite);
                FillRect(0, 7, 0, 6);
                std::vector<Pixel> before = Snapshot(destination);
                // Source rectangle 1..4 x 0..2, part of it beyond the source's right edge.
                if (transparent) CopyBufferRectTransparent(1, 5, 0, 2, x, y, source, destination);
                else CopyBufferRect(1, 5, 0, 2, x, y, source, destination);
                for (int dy = 0; dy < 7; ++dy) {
                    for (int dx = 0; dx < 8; ++dx) {
                        const int sx = 1 + dx - x, sy = 2 - (y - dy);
                        Pixel expected = before[dy * 8 + dx];
                        const bool inside = sx >= 1 && sx <= 4 && sy >= 0 && sy <= 2 && dx >= 1 && dx <= 6 && dy <= 5;
                        if (inside) {
                            Pixel s = At(source, sx, sy);
                            if (!(transparent && s == kMagenta)) expected = s;
                        }
                        ASSERT_EQ(At(destination, dx, dy), expected)
                            << "copy to " << x << "," << y << " pixel " << dx << "," << dy << " transparent "
                            << transparent;
                    }
                }
            }
        }
    }
}

// Rows of every width up to three vector blocks, starting at every alignment: magenta (whatever
// its top byte) keeps the destination, every other colour replaces it.
TEST_F(BuffersTest, TransparentRowsOfEveryWidthAndAlignment) {
    const int source = MakeBuffer(16, 1, kBlack);
    for (int i = 0; i < 16; ++i)
        BufferPixels(source)[i] = i % 3 == 1 ? (kMagenta | (i % 2 ? 0xFF000000u : 0u)) : 0x000100u * (i + 1);
    const int destination = MakeBuffer(16, 1, kWhite);
    for (int start = 0; start < 4; ++start) {
        for (int width = 1; start + width <= 16; ++width) {
            SelectBuffer(destination);
            SetColor(kWhite);
            FillBuffer();
            CopyBufferRectTransparent(start, start + width - 1, 0, 0, start, 0, source, destination);
            for (int x = 0; x < 16; ++x) {
                const Pixel s = At(source, x, 0);
                const bool copied = x >= start && x < start + width && (s & 0xFFFFFFu) != kMagenta;
                ASSERT_EQ(At(destination, x, 0), copied ? s : kWhite) << start << " " << width << " " << x;
            }
        }
    }
}

TEST_F(BuffersTest, OverlappingCopyWithinOneBufferReadsTheOriginalPixels) {
    const int b = MakeBuffer(6, 1, kBlack);
    for (int i = 0; i < 6; ++i) BufferPixels(b)[i] = static_cast<Pixel>(i + 1);
    CopyBufferRect(0, 3, 0, 0, 2, 0, b, b);
    EXPECT_EQ(Snapshot(b), (std::vector<Pixel>{1, 2, 1, 2, 3, 4}));
}

TEST_F(BuffersTest, HandlesAreLimitedAndTheActiveBufferCannotBeFreed) {
    EXPECT_EQ(CreateBuffer(0, 10), -1);
    EXPECT_EQ(CreateBuffer(10, -1), -1);
    EXPECT_EQ(CreateBuffer(8193, 1), -1);
    std::vector<int> handles;
    for (int i = 0; i < kMaxBuffers; ++i) handles.push_back(CreateBuffer(4, 4));
    EXPECT_EQ(handles.back(), kMaxBuffers - 1);
    EXPECT_EQ(CreateBuffer(4, 4), -1);

    SelectBuffer(handles[3]);
    FreeBuffer(handles[3]);
    EXPECT_NE(BufferPixels(handles[3]), nullptr);
    FreeBuffer(-1);
    FreeBuffer(kMaxBuffers);
    FreeBuffer(handles[5]);
    EXPECT_EQ(BufferPixels(handles[5]), nullptr);
    SelectBuffer(handles[5]);  // a free slot is ignored
    EXPECT_EQ(ActiveBuffer(), handles[3]);
    EXPECT_EQ(CreateBuffer(4, 4), handles[5]);

    CloseBuffer();
    EXPECT_EQ(ActiveBuffer(), -1);
    FillRect(0, 3, 0, 3);  // nothing to draw into; must simply do nothing
    PlotPoint(1, 1);
    DrawText("x", 1);
}

TEST_F(BuffersTest, ClipRectangleLimitsFillsLinesAndText) {
    const int b = MakeBuffer(12, 12, kWhite);
    SetClip(3, 7, 2, 6);
    SetColor(kBlack);
    FillRect(-100, 100, 4, 4);
    MoveTo(-20, -20);
    DrawLineTo(30, 30);
    const std::vector<uint8_t> font = MakeFont(0, 20, [](int) { return 20; }, [](int) { return 20; });
    SelectFont(LoadFontMemory(font.data(), font.size()));
    MoveTo(0, 0);
    DrawText("A", 1);
    EXPECT_EQ(PaintedBounds(b, kWhite), (std::vector<int>{3, 7, 2, 6}));

    // The clip is clamped to the buffer; FillBuffer honours it too.
    SetClip(-5, 100, 10, 100);
    SetColor(0x00FF00);
    FillBuffer();
    EXPECT_EQ(CountPixels(b, 0x00FF00), 2 * 12);
    EXPECT_EQ(At(b, 0, 10), 0x00FF00u);
}

TEST_F(BuffersTest, BlocksRoundTripAtEveryDepth) {
    for (int depth : {16, 24, 32}) {
        SetBufferDepth(depth);
        EXPECT_EQ(ImageSize(7, 5), depth == 16 ? 70u : 105u);
        const int b = MakeBuffer(20, 20, kBlack);
        // Colours exact in 5-6-5 so that the 16-bit block restores them unchanged.
        const Pixel colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, kMagenta, 0x000000};
        for (int i = 0; i < 400; ++i) BufferPixels(b)[i] = colours[i % 6];
        const std::vector<Pixel> original = Snapshot(b);
        // The rectangle reaches past the top-left corner: only the part inside is saved.
        std::vector<uint8_t> block(ImageSize(12, 9));
        GetBlock(block.data(), -2, 9, -1, 7);
        if (depth > 16) {
            // Red, green, blue, three bytes a pixel: (1, 0) is the block's row 1, column 3.
            const uint8_t* green = block.data() + (12 + 3) * 3;
            EXPECT_EQ((std::vector<uint8_t>{green[0], green[1], green[2]}), (std::vector<uint8_t>{0, 0xFF, 0}));
        }
        SetColor(0x123456);
        FillBuffer();
        PutBlock(block.data(), -2, 9, -1, 7);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(At(b, x, y), x <= 9 && y <= 7 ? original[y * 20 + x] : 0x123456u)
                    << depth << ": " << x << "," << y;
        SelectBuffer(-1);
        CloseBuffer();
        FreeBuffer(b);
    }
}

}  // namespace
