// The six themes' generated control art, loaded as the program loads it: controls come from the
// sheet (no white squares), field text and the menu title under the pointer stay readable.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "artwork/artwork.h"
#include "artwork/screen_layout.h"
#include "tests/test_support.h"
#include "tests/ui/ui_fixture.h"
#include "ui/art_cells.h"
#include "ui/control_art.h"
#include "ui/controls.h"

namespace {

double Contrast(Pixel a, Pixel b) { return test_support::Contrast(test_support::Luminance(a), test_support::Luminance(b)); }
constexpr int kBox = 13;  // a check box's square

class ThemeControls : public UiTest {
protected:
    // The lowest contrast of colour against the pixels of a logical rectangle of buffer.
    static double LowestContrast(int buffer, int left, int top, int width, int height, Pixel colour) {
        const int s = BufferScale(buffer);
        double lowest = 100;
        for (int y = top * s; y < (top + height) * s; ++y)
            for (int x = left * s; x < (left + width) * s; ++x)
                lowest = std::min(lowest, Contrast(colour, BufferPixels(buffer)[y * BufferWidth(buffer) + x]));
        return lowest;
    }
};

TEST_F(ThemeControls, EveryThemeDrawsControlsFromItsSheetWithReadableFields) {
    Artwork artwork;
    ASSERT_TRUE(artwork.Init(screen, window, 0));
    for (int theme = 0; theme < screen_layout::kThemeCount; ++theme) {
        SCOPED_TRACE(theme + 1);
        artwork.LoadTheme(theme);
        ASSERT_TRUE(ControlArtReady()) << "the theme's dialog strip has no control sheet";
        TestDialog dialog(100, 100, 400, 200);
        CheckBox* on = dialog.Create<CheckBox>(20, 60, "On");
        CheckBox* off = dialog.Create<CheckBox>(20, 90, "Off");
        CheckBox* disabled = dialog.Create<CheckBox>(20, 120, "Disabled");
        on->SetChecked(1);
        disabled->SetDisabled(1);
        dialog.Open();
        int white = 0;
        for (const CheckBox* box : {on, off, disabled})
            for (int y = box->GetY(); y < box->GetY() + kBox; ++y)
                for (int x = box->GetX(); x < box->GetX() + kBox; ++x) {
                    const Pixel p = ScreenPixel(x, y);
                    white += std::min({(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}) >= 245;
                }
        dialog.Close();
        EXPECT_EQ(white, 0);

        // Contrast of field text on its fill, of a list's chosen item on its band, and of a menu
        // title under the pointer (in its highlight colour) on the hover plate's text rows; the
        // normal titles are measured with the generated bars.
        const ToolkitTheme& colours = CurrentTheme();
        ASSERT_GE(colours.menuBarArt, 0);
        const double field = Contrast(FieldTextColor(), FieldFillColor());
        const double selection = Contrast(ListSelectionTextColor(), ListSelectionColor());
        const double hover = LowestContrast(colours.menuBarArt, art::kMenuTitleHoverLeft + 20, art::kMenuTitleTop + 6,
                                            56, 12, colours.menuItemHighlightColor);
        std::printf("theme %d: field text %.2f:1, chosen list item %.2f:1, menu title under the pointer %.2f:1\n",
                    theme + 1, field, selection, hover);
        EXPECT_GE(field, 4.5);
        EXPECT_GE(selection, 4.5);
        EXPECT_GE(hover, 4.5);
    }
}


// A screen without a table loads only the theme's menu bar, never the backdrop; a table asking
// afterwards for the theme whose backdrop is already here still gets that theme's menu bar back.
TEST_F(ThemeControls, TheSelectionScreenLoadsTheMenuBarAloneAndTablesGetTheirOwnBack) {
    Artwork artwork;
    ASSERT_TRUE(artwork.Init(screen, window, 0));
    const auto pixels = [](int buffer) {
        const Pixel* p = BufferPixels(buffer);
        return std::vector<Pixel>(p, p + static_cast<size_t>(BufferWidth(buffer)) * BufferHeight(buffer));
    };
    artwork.LoadMenuTheme(2);
    const std::vector<Pixel> bar2 = pixels(artwork.menuBarArt), background = pixels(artwork.background);
    EXPECT_TRUE(std::all_of(background.begin(), background.end(), [](Pixel p) { return p == 0; }));
    artwork.LoadTheme(0);
    const std::vector<Pixel> bar0 = pixels(artwork.menuBarArt), backdrop0 = pixels(artwork.background);
    EXPECT_NE(bar0, bar2);
    EXPECT_NE(backdrop0, background);
    artwork.LoadMenuTheme(2);
    EXPECT_EQ(pixels(artwork.menuBarArt), bar2);
    EXPECT_EQ(pixels(artwork.background), backdrop0);
    artwork.LoadTheme(0);
    EXPECT_EQ(pixels(artwork.menuBarArt), bar0);
    EXPECT_EQ(artwork.Backdrop(), 0);
}

}  // namespace
