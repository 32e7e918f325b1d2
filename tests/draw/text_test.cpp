// Bitmap-font measuring, justification, coverage blending and the built-in system font.

#include "tests/draw/draw_fixture.h"

namespace {

class TextTest : public DrawTest {
protected:
    // Loads and selects a font built in memory.
    static int UseFont(const std::vector<uint8_t>& file) {
        int slot = LoadFontMemory(file.data(), file.size());
        SelectFont(slot);
        return slot;
    }
};

TEST_F(TextTest, WidthSumsGlyphsAndSpacingAndHeightIsTheTallestGlyph) {
    // Glyph widths 1..5 and heights 1..7 vary with the character.
    ASSERT_EQ(UseFont(MakeFont(2, 10, [](int c) { return c % 5 + 1; }, [](int c) { return c % 7 + 1; })), 1);
    auto width = [](int c) { return c % 5 + 1 + 2; };
    EXPECT_EQ(TextWidth("", 0), 0);
    EXPECT_EQ(TextHeight("", 0), 0);
    EXPECT_EQ(TextWidth("AB", 2), width('A') + width('B'));
    // Characters outside 32..127 of a 96-glyph font have no glyph but still take the spacing.
    EXPECT_EQ(TextWidth("\x01\x02\xC8", 3), 3 * 2);
    EXPECT_EQ(TextHeight("\x01\x02\xC8", 3), 0);
    // Byte 127 takes the next byte with it.
    EXPECT_EQ(TextWidth("A\x7F" "BC", 4), width('A') + width('C'));
    EXPECT_EQ(TextHeight("A\x7F" "E", 3), 'A' % 7 + 1);
    EXPECT_EQ(TextHeight("AEB", 3), 7);  // 'E' (69) is the tallest
    EXPECT_EQ(TextWidth("A\x7F", 2), width('A'));

    UnloadFont(1);
    EXPECT_EQ(SelectedFont(), 0);
    EXPECT_EQ(TextWidth("AB", 2), 0);
}

TEST_F(TextTest, JustificationAnchorsTheTextBoxAtTheCursor) {
    const int b = MakeBuffer(40, 40, kWhite);
    UseFont(MakeFont(0, 8, [](int) { return 3; }, [](int) { return 5; }));
    SetColor(kBlack);
    struct Case {
        int xjust, yjust;
        std::vector<int> bounds;  // minx, maxx, miny, maxy of "ab" (6 x 5) with the cursor at (20, 20)
    };
    const Case cases[] = {
        {-1, 1, {20, 25, 20, 24}}, {0, 1, {17, 22, 20, 24}},  {1, 1, {15, 20, 20, 24}},
        {-1, 0, {20, 25, 18, 22}}, {-1, -1, {20, 25, 16, 20}}, {1, -1, {15, 20, 16, 20}},
    };
    for (const Case& c : cases) {
        SetColor(kWhite);
        FillBuffer();
        SetColor(kBlack);
        SetTextJustify(c.xjust, c.yjust);
        MoveTo(20, 20);
        DrawText("ab", 2);
        EXPECT_EQ(PaintedBounds(b, kWhite), c.bounds) << c.xjust << "," << c.yjust;
        EXPECT_EQ(CursorX(), 20);
    }
}

TEST_F(TextTest, CoverageBlendsTheColourOverTheDestination) {
    const int b = MakeBuffer(4, 4, 0xFF8000);
    UseFont(MakeFont(0, 1, [](int) { return 1; }, [](int) { return 1; }, 128));
    SetColor(0x0080FF);
    MoveTo(0, 0);
    DrawTextClipped("a", 1);
    // Each channel moves 128/255 of the way: 255 -> 127, 128 -> 128, 0 -> 128.
    EXPECT_EQ(At(b, 0, 0), 0x7F8080u);
    EXPECT_EQ(At(b, 1, 0), 0xFF8000u);
}

TEST_F(TextTest, SystemFontTextIsTransparentAndMovesTheCursorToItsEnd) {
    const int b = MakeBuffer(100, 30, kWhite);
    SetColor(kBlack);
    SetWinTextJustify(-1, 1);
    MoveTo(10, 5);
    DrawWinText("Hi", 2);
    const std::vector<int> bounds = PaintedBounds(b, kWhite);
    EXPECT_GE(bounds[0], 10);
    EXPECT_LT(bounds[1], CursorX());
    EXPECT_GE(bounds[2], 5);
    EXPECT_GT(CursorX(), 10);
    // Transparent background: far fewer pixels than the text box are painted.
    const int painted = 100 * 30 - CountPixels(b, kWhite);
    EXPECT_GT(painted, 10);
    EXPECT_LT(painted, (CursorX() - 10) * 12 / 2);
    // At most MaxX.
    MoveTo(90, 5);
    DrawWinText("Wide text", 9);
    EXPECT_EQ(CursorX(), MaxX());
}

}  // namespace
