// How the table pictures read: cards that stand out from every theme's table, calm dialog fields,
// menu titles legible on every menu bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "artwork/screen_layout.h"
#include "cards/card_images.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/screen_art.h"
#include "tools/artgen/theme_art.h"
#include "tests/test_support.h"
#include "ui/art_cells.h"

namespace sl = screen_layout;

namespace {

using test_support::Contrast;
using test_support::Luminance;
double Luminance(screen_layout::Rgb c) { return Luminance(c.r / 255.0, c.g / 255.0, c.b / 255.0); }

// The paper of the classic fronts, the darker of the two card faces.
const double kCardFace = Luminance(1.0, 0.992, 0.962);

// The luminance below which share of the samples lie.
double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
}

// Cards must stand out from the table: the face against the lightest twentieth of the play
// area (above the status rail) at least 3:1 on every theme. The six tables must also look
// like six different materials: their mean colours lie well apart. The 2x table is the same
// table drawn finer, not the 1x one enlarged: averaged over its 2 x 2 blocks it matches the 1x
// picture, yet most of its blocks are not one flat colour.
TEST(ThemeArt, CardsStandOutOnEveryTableAndNoTwoTablesLookAlike) {
    std::vector<std::array<double, 3>> means;
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        const Picture table = RenderBackdrop(theme);
        const Picture fine = RenderBackdrop(theme, 2);
        double blockError = 0;
        int unevenBlocks = 0;
        std::vector<double> luminance;
        std::array<double, 3> mean{};
        for (int y = 80; y < sl::kStatusTop - 10; y += 2)
            for (int x = 0; x < table.width; x += 2) {
                const uint32_t p = table.At(x, y);
                luminance.push_back(Luminance(p));
                const uint32_t block[4] = {fine.At(2 * x, 2 * y), fine.At(2 * x + 1, 2 * y), fine.At(2 * x, 2 * y + 1),
                                           fine.At(2 * x + 1, 2 * y + 1)};
                unevenBlocks += block[0] != block[1] || block[0] != block[2] || block[0] != block[3];
                for (int c = 0; c < 3; ++c) {
                    const int shift = 16 - 8 * c;
                    mean[static_cast<size_t>(c)] += (p >> shift & 0xFF) / 255.0;
                    double average = 0;
                    for (const uint32_t q : block) average += (q >> shift & 0xFF) / 4.0;
                    blockError += std::abs(average - (p >> shift & 0xFF)) / 255.0;
                }
            }
        for (double& m : mean) m /= static_cast<double>(luminance.size());
        blockError /= 3.0 * static_cast<double>(luminance.size());
        EXPECT_LT(blockError, 0.01) << ThemeLookOf(theme).name;
        EXPECT_GT(unevenBlocks, static_cast<int>(luminance.size() / 2)) << ThemeLookOf(theme).name;
        means.push_back(mean);
        const double worst = Contrast(kCardFace, Percentile(luminance, 0.95));
        const double typical = Contrast(kCardFace, Percentile(luminance, 0.5));
        std::printf("theme %d (%s): card face to table %.2f:1 typical, %.2f:1 at the lightest twentieth; "
                    "2x blocks %.4f from 1x\n",
                    theme + 1, ThemeLookOf(theme).name, typical, worst, blockError);
        EXPECT_GE(worst, 3.0) << ThemeLookOf(theme).name;
    }
    for (size_t a = 0; a < means.size(); ++a)
        for (size_t b = a + 1; b < means.size(); ++b) {
            double distance = 0;
            for (size_t c = 0; c < 3; ++c) distance += std::abs(means[a][c] - means[b][c]);
            EXPECT_GT(distance, 0.15) << ThemeLookOf(static_cast<int>(a)).name << " and " << ThemeLookOf(static_cast<int>(b)).name;
        }
}

// The darkest and lightest luminance over a rectangle of a picture, in logical pixels.
std::pair<double, double> LuminanceRange(const Picture& picture, int scale, int left, int top, int right, int bottom) {
    double darkest = 1, lightest = 0;
    for (int y = top * scale; y < bottom * scale; ++y)
        for (int x = left * scale; x < right * scale; ++x) {
            const double l = Luminance(picture.At(x, y));
            darkest = std::min(darkest, l);
            lightest = std::max(lightest, l);
        }
    return {darkest, lightest};
}

double WorstContrast(double text, std::pair<double, double> range) {
    return std::min(Contrast(text, range.first), Contrast(text, range.second));
}

// Dialog text sits on a calm field: the theme's text colour keeps 4.5:1 against every pixel of
// the dialog face inside its frame, at 1x and 3x, so no vein or thread runs behind a word
// unreadably. The score panel, cut from the face's top-left corner, keeps as much under its
// text, and the title colour as much on the title plate. The status texts keep 4.5:1 against
// the lightest twentieth of their rail.
TEST(ThemeArt, DialogFieldsAreCalmBehindTextAndMenuTitlesLegible) {
    constexpr int kFrame = 8;
    constexpr int kPanelRight = 122, kPanelBottom = 42;  // the panel's part above and left of its cut edges
    constexpr int kPlateEnd = 22;                         // the plate's rounded ends and lozenges
    for (int theme = 0; theme < sl::kThemeCount; ++theme) {
        const Picture table = RenderBackdrop(theme);
        std::vector<double> rail;
        for (int y = sl::kStatusTop; y <= sl::kStatusBottom; ++y)
            for (int x = sl::kStatusRailLeft + 12; x <= sl::kStatusRailRight - 12; x += 2) rail.push_back(Luminance(table.At(x, y)));
        const uint32_t status = StatusTextRgb(0, theme);
        const double statusContrast = Contrast(Luminance(status), Percentile(rail, 0.95));
        const sl::ThemeColors& colours = sl::kThemeColors[static_cast<size_t>(theme)];
        const double text = Luminance(colours.text), title = Luminance(colours.control);
        double dialog = 99, panel = 99, plate = 99;
        for (const int scale : {1, 3}) {
            const Picture face = RenderDialogFace(theme, scale);
            dialog = std::min(dialog, WorstContrast(text, LuminanceRange(face, scale, kFrame, kFrame, art::kDialogFaceWidth - kFrame,
                                                                           art::kDialogFaceHeight - kFrame)));
            panel = std::min(panel, WorstContrast(text, LuminanceRange(face, scale, kFrame, kFrame, kPanelRight, kPanelBottom)));
            const Picture strip = RenderDialogStrip(theme, scale);
            plate = std::min(plate, WorstContrast(title, LuminanceRange(strip, scale, art::kPlateLeft + kPlateEnd, 4,
                                                                         art::kPlateRight - kPlateEnd, art::kPlateBottom - art::kPlateTop - 3)));
        }
        std::printf("theme %d (%s): status text %.2f:1 at the rail's lightest twentieth; at worst, dialog text %.2f:1, "
                    "score panel %.2f:1, title on its plate %.2f:1\n",
                    theme + 1, ThemeLookOf(theme).name, statusContrast, dialog, panel, plate);
        EXPECT_GE(statusContrast, 4.5) << ThemeLookOf(theme).name;
        EXPECT_GE(dialog, 4.5) << ThemeLookOf(theme).name;
        EXPECT_GE(panel, 4.5) << ThemeLookOf(theme).name;
        EXPECT_GE(plate, 4.5) << ThemeLookOf(theme).name;

        // Menu titles stand on the bar (and on the hover plate) at 4.5:1 at least, every pixel
        // of the title cells counted.
        const std::string name = "menu" + std::to_string(theme + 1) + ".bmp";
        std::vector<uint8_t> file;
        ASSERT_TRUE(ReadWholeFile(std::filesystem::path(std::getenv("QUILLFEN_DATA_DIR")) / "artwork" / name, &file));
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        ASSERT_TRUE(DecodeBmp24(file, &pixels, &width, &height));
        const double menuText = Luminance(colours.menuItem);
        double lowest = 99;
        for (int cell : {art::kMenuTitleNormalLeft, art::kMenuTitleHoverLeft})
            for (int y = 4; y < art::kMenuBarHeight - 6; ++y)
                for (int x = 6; x < art::kMenuTitleWidth - 6; ++x)
                    lowest = std::min(lowest, Contrast(menuText, Luminance(pixels[static_cast<size_t>((art::kMenuTitleTop + y) * width + cell + x)])));
        std::printf("theme %d (%s): menu titles %.2f:1 at worst\n", theme + 1, ThemeLookOf(theme).name, lowest);
        EXPECT_GE(lowest, 4.5) << ThemeLookOf(theme).name;
    }
}

}  // namespace
