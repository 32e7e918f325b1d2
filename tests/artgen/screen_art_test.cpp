// The theme and screen pictures must have exactly the geometry the program cuts them with:
// sizes, transparent (magenta) areas, title bands and highlight cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "cards/card_geometry.h"
#include "artwork/screen_layout.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/screen_art.h"
#include "tools/artgen/theme_art.h"
#include "ui/art_cells.h"

namespace sl = screen_layout;

namespace {

using ScreenArtTest = ::testing::Test;

bool AllMagenta(const Picture& p, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (p.At(x, y) != kMagenta) return false;
    return true;
}

bool AnyInk(const Picture& p, int x0, int y0, int x1, int y1) { return !AllMagenta(p, x0, y0, x1, y1); }

bool NoMagenta(const Picture& p, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (p.At(x, y) == kMagenta) return false;
    return true;
}

}  // namespace

TEST_F(ScreenArtTest, TitleBandsReachExactlyTheirWidths) {
    const Picture images[] = {RenderTitleImage(true, 0x202020), RenderTitleImage(false, 0xE0D0B0)};
    for (const Picture& image : images) {
        for (int n = 1; n <= sl::kGameCount; ++n) {
            const int w = sl::kTitleWidths[static_cast<size_t>(n - 1)];
            const int top = sl::TitleBandTop(n);
            const int bottom = top + sl::kTitleBandHeight;
            EXPECT_TRUE(AnyInk(image, 0, top, 1, bottom)) << "game " << n << " column 0";
            EXPECT_TRUE(AnyInk(image, w - 1, top, w, bottom)) << "game " << n << " column " << w - 1;
            EXPECT_TRUE(AllMagenta(image, w, top, image.width, bottom)) << "game " << n << " beyond its width";
            // The middle of the band carries the lettering.
            EXPECT_TRUE(AnyInk(image, w / 2 - 10, top, w / 2 + 10, bottom)) << "game " << n;
        }
        EXPECT_TRUE(AllMagenta(image, 0, sl::TitleBandTop(sl::kGameCount + 1), image.width, image.height));
    }
}

TEST_F(ScreenArtTest, HighlightCellsFillTheirRectanglesOnly) {
    const Picture image = RenderHighlights();
    int covered = 0;
    for (int i = 0; i < sl::kGameCount; ++i) {
        const Rect& r = sl::kGameMenuItems[static_cast<size_t>(i)];
        const int top = sl::HighlightCellY(i);
        // The plate fills the rectangle apart from its rounded corners, up to its panel's border.
        const int panelLeft = r.left < 400 ? 18 : 548;
        const int from = std::max(4, panelLeft + 7 - r.left), to = std::min(r.Width() - 4, panelLeft + 227 - r.left);
        EXPECT_TRUE(NoMagenta(image, from, top + r.Height() / 2, to, top + r.Height() / 2 + 1)) << i;
        EXPECT_TRUE(NoMagenta(image, r.Width() / 2, top + 1, r.Width() / 2 + 1, top + r.Height() - 1)) << i;
        EXPECT_TRUE(AllMagenta(image, r.Width(), top, image.width, top + r.Height())) << i;
        // Nothing on or past the panel's border lines (x 18 and 252, 548 and 782).
        EXPECT_TRUE(AllMagenta(image, 0, top, std::max(0, panelLeft + 2 - r.left), top + r.Height() + 1)) << i;
        EXPECT_TRUE(AllMagenta(image, panelLeft + 233 - r.left, top, r.Width() + 1, top + r.Height() + 1)) << i;
        const int nextTop = i + 1 < sl::kGameCount ? sl::HighlightCellY(i + 1) : image.height;
        EXPECT_TRUE(AllMagenta(image, 0, top + r.Height(), image.width, nextTop)) << i;
        covered = top + r.Height();
    }
    EXPECT_LE(covered, image.height);
}

TEST_F(ScreenArtTest, DialogStripHoldsPlateAndButtonFacesAndNothingElse) {
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        const Picture strip = RenderDialogStrip(theme);
        const int faceTop = art::kButtonFaceTop - art::kStripTop;
        const int faceBottom = art::kButtonFaceBottom - art::kStripTop + 1;
        const int plateTop = art::kPlateTop - art::kStripTop;
        const int plateBottom = art::kPlateBottom - art::kStripTop + 1;
        // Button faces are copied opaquely: every pixel is drawn.
        EXPECT_TRUE(NoMagenta(strip, 0, faceTop, 2 * art::kButtonFaceWidth, faceBottom)) << theme;
        // The plate is opaque along its middle row and ends within its cell.
        const int mid = (plateTop + plateBottom) / 2;
        EXPECT_TRUE(NoMagenta(strip, art::kPlateLeft + 1, mid, art::kPlateRight, mid + 1)) << theme;
        EXPECT_TRUE(AllMagenta(strip, 0, plateTop, art::kPlateLeft, plateBottom)) << theme;
        EXPECT_TRUE(AllMagenta(strip, art::kPlateRight + 1, plateTop, strip.width, plateBottom)) << theme;
        EXPECT_TRUE(AllMagenta(strip, 0, plateBottom, strip.width, faceTop)) << theme;
        EXPECT_TRUE(AllMagenta(strip, 2 * art::kButtonFaceWidth, faceTop, art::kControlSheetLeft, strip.height)) << theme;
        EXPECT_TRUE(AllMagenta(strip, 0, faceBottom, strip.width, strip.height)) << theme;
    }
}

TEST_F(ScreenArtTest, PlaceholderCellsHaveCardCornersAndOpaqueInsides) {
    namespace cg = card_geometry;
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        const Picture sheet = RenderPlaceholders(theme);
        for (int cell = 0; cell < cg::kPlaceholderCellCount; ++cell) {
            const int x = cg::kPlaceholderCellX[cell];
            const int right = x + cg::kCardWidth, bottom = cg::kCardHeight;
            for (const auto& [cx, cy] : {std::pair{x, 0}, {right, 0}, {x, bottom}, {right, bottom}})
                EXPECT_EQ(sheet.At(cx, cy), kMagenta) << theme << " cell " << cell;
            EXPECT_TRUE(NoMagenta(sheet, x + 3, 0, right - 2, bottom + 1)) << theme << " cell " << cell;
            EXPECT_TRUE(NoMagenta(sheet, x, 3, right + 1, bottom - 2)) << theme << " cell " << cell;
        }
        EXPECT_TRUE(AllMagenta(sheet, 0, cg::kCardHeight + 1, sheet.width, sheet.height)) << theme;
    }
}

TEST_F(ScreenArtTest, ButtonCellsAreDrawnWhereTheButtonsReadThem) {
    const Picture titles = RenderTitleButtons();
    for (const int row : {sl::kExitButtonRowY, sl::kPlayersButtonRowY})
        for (const int column : {sl::kTitleButtonNormalX, sl::kTitleButtonHoverX, sl::kTitleButtonPressedX}) {
            const int cx = column + sl::kTitleButtonWidth / 2, cy = row + sl::kTitleButtonHeight / 2;
            EXPECT_NE(titles.At(cx, cy), kMagenta) << column << "," << row;
        }
    EXPECT_TRUE(AllMagenta(titles, 3 * sl::kTitleButtonWidth, 0, titles.width, titles.height));

    const Picture exits = RenderExitButtons();
    for (const int column : {kExitButtonHoverX, kExitButtonPressedX, kExitButtonNormalX})
        EXPECT_NE(exits.At(column + kExitButtonWidth / 2, kExitButtonRow + kExitButtonHeight / 2), kMagenta);
    EXPECT_TRUE(AllMagenta(exits, 0, 0, exits.width, kExitButtonRow));
    EXPECT_TRUE(AllMagenta(exits, 0, kExitButtonRow + kExitButtonHeight, exits.width, exits.height));
}
