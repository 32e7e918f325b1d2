// Bitmap-font coverage blending and the built-in system font (measuring and justification show in
// every golden trace's status line and menus).

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
