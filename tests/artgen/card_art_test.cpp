// The generated card sheets and cursors at every device scale:
// the geometry the game cuts cards out by, exact magenta where the table must show, the
// selected twins, the index of every front (and its turned twin) inside the top 14 pixels, the
// light rim that keeps stacked backs apart and their patterns mirrored about both centre lines,
// twelve court figures that are more than one costume recoloured, the win and exit screens
// showing the table's own cards, and cursor files the platform layer accepts.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cards/card_geometry.h"
#include "platform/cursor_file.h"
#include "tools/artgen/artgen.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/card_art.h"
#include "tools/artgen/cursor_art.h"
#include "tools/artgen/screen_art.h"
#include "tests/test_support.h"

using namespace card_geometry;

namespace {

constexpr int kW = card_art::kCellWidth;
constexpr int kH = card_art::kCellHeight;

// The card cell at a sheet's pixel (left, top), its frame included.
std::vector<uint32_t> Cell(const Picture& sheet, int left, int top) {
    std::vector<uint32_t> cell;
    for (int y = top; y <= top + kCardHeight; ++y)
        for (int x = left; x <= left + kCardWidth; ++x) cell.push_back(sheet.At(x, y));
    return cell;
}

// The 1x sheets are BMP files, the larger ones PNG; both come back as 0x00RRGGBB.
bool Decode(const std::filesystem::path& path, Picture* picture) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return false;
    if (bytes.size() > 2 && bytes[0] == 'B')
        return DecodeBmp24(bytes, &picture->pixels, &picture->width, &picture->height);
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        picture->width = cairo_image_surface_get_width(surface);
        picture->height = cairo_image_surface_get_height(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < picture->height; ++y)
            for (int x = 0; x < picture->width; ++x)
                picture->pixels.push_back(reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF);
    }
    cairo_surface_destroy(surface);
    return ok;
}

using test_support::Distance;

int Luma(uint32_t p) { return static_cast<int>((p >> 16 & 0xFF) * 3 + (p >> 8 & 0xFF) * 6 + (p & 0xFF)) / 10; }

// One card of a sheet at a scale, optionally turned half a turn, addressed in device pixels.
struct CardView {
    const Picture* sheet;
    int left, top, scale;
    bool turned;
    uint32_t At(int x, int y) const {
        if (turned) {
            x = kW * scale - 1 - x;
            y = kH * scale - 1 - y;
        }
        return sheet->At(left + x, top + y);
    }
};

// Whether a device pixel lies on the card's face, inside its one-pixel edge and its rounded
// corners (radius 3.5 about (4.5, 4.5) logical), where only drawn ink differs from the paper.
bool OnFace(double lx, double ly) {
    if (lx < 1 || ly < 1 || lx > kW - 1 || ly > kH - 1) return false;
    const double cx = lx < 4.5 ? 4.5 - lx : lx > kW - 4.5 ? lx - (kW - 4.5) : 0;
    const double cy = ly < 4.5 ? 4.5 - ly : ly > kH - 4.5 ? ly - (kH - 4.5) : 0;
    return cx * cx + cy * cy <= 3.1 * 3.1;
}

// The court frame's corner left to the index: its right edge in logical pixels for each front
// design (the large indices need more room), from the top down to row 16.
constexpr int kCourtNotchRight[kFrontDesignCount] = {23, 27, 23, 27};
constexpr int kCourtNotchBottom = 16;

// Checks the index band, the top 16 logical rows: every ink pixel lies at least 2 pixels from
// the left and top edges and ends within the top 14 rows, leaving two clear rows above the
// pips. On a court card the frame stands beside the index from notchRight on: the index keeps
// two clear columns before it. Returns the band's top 14 rows for the distinctness check.
::testing::AssertionResult IndexInBox(const CardView& card, int notchRight, std::vector<uint32_t>* strip) {
    const int s = card.scale;
    const uint32_t paper = card.At(2 * s, 15 * s);
    int ink = 0;
    for (int y = 0; y < 16 * s; ++y)
        for (int x = 0; x < kW * s; ++x) {
            const uint32_t p = card.At(x, y);
            if (y < 14 * s) strip->push_back(p);
            const double lx = (x + 0.5) / s, ly = (y + 0.5) / s;
            if (!OnFace(lx, ly) || lx >= notchRight || Distance(p, paper) <= 48) continue;
            ++ink;
            if (lx < 2 || ly < 2 || ly > 14 || lx > std::min(kW - 2, notchRight - 2))
                return ::testing::AssertionFailure() << "ink at logical (" << lx << ", " << ly << ")";
        }
    if (ink < 20 * s * s) return ::testing::AssertionFailure() << "almost no index ink: " << ink;
    return ::testing::AssertionSuccess();
}

// Every cell of a sheet: opaque inside, magenta in exactly the shared corner shape.
::testing::AssertionResult CellIsRoundedCard(const Picture& sheet, int left, int top) {
    for (int y = 0; y <= kCardHeight; ++y)
        for (int x = 0; x <= kCardWidth; ++x) {
            const bool corner = card_art::IsCornerPixel(x, y);
            if ((sheet.At(left + x, top + y) == kMagenta) != corner)
                return ::testing::AssertionFailure() << "cell at (" << left << ", " << top << ") pixel (" << x << ", "
                                                     << y << ") " << (corner ? "should" : "should not") << " be magenta";
        }
    return ::testing::AssertionSuccess();
}

bool IsReddish(uint32_t p) {
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return p != kMagenta && r > g + 90 && r > b + 60;
}

// The sheets the build generated, each decoded once for the whole program, so CardArt and
// CardLook share the one fixture class.
class CardSheets : public ::testing::Test {
protected:
    static const Picture& Sheet(const char* programName, int scale = 1) {
        const std::string path = ScaledArtPath(card_art::DataFilePath(programName), scale).generic_string();
        auto [found, fresh] = sheets.try_emplace(path);
        if (fresh) {
            EXPECT_TRUE(Decode(std::filesystem::path(std::getenv("QUILLFEN_DATA_DIR")) / path, &found->second)) << path;
        }
        return found->second;
    }
    static inline std::map<std::string, Picture> sheets;
};
using CardArt = CardSheets;
using CardLook = CardSheets;

// Every cell is a rounded card on magenta and nothing lies outside the cells; no two light fronts
// and no two backs are alike, and red suits are red.
TEST_F(CardArt, CellsAreDistinctRoundedCardsOnMagentaAndRedSuitsAreRed) {
    std::set<std::vector<uint32_t>> seen;
    for (int d = 0; d < kFrontDesignCount; ++d)
        for (const char* name : {kFrontFiles[d], kDarkFrontFiles[d]}) {
            SCOPED_TRACE(name);
            const Picture& sheet = Sheet(name);
            std::vector<bool> inCell(sheet.pixels.size(), false);
            for (int suit = 0; suit < 4; ++suit)
                for (int rank = 0; rank < 13; ++rank) {
                    EXPECT_TRUE(CellIsRoundedCard(sheet, FrontCellX(rank), FrontCellY(suit)));
                    for (int y = 0; y <= kCardHeight; ++y)
                        for (int x = 0; x <= kCardWidth; ++x)
                            inCell[static_cast<size_t>((FrontCellY(suit) + y) * sheet.width + FrontCellX(rank) + x)] = true;
                    if (name != kFrontFiles[d]) continue;
                    std::vector<uint32_t> cell = Cell(sheet, FrontCellX(rank), FrontCellY(suit));
                    // Court pictures may hold red robes; the pip cards and aces show the suit colour alone.
                    if (rank < 9 || rank == 12) {
                        EXPECT_EQ(std::any_of(cell.begin(), cell.end(), IsReddish), suit == 1 || suit == 3) << suit << "/" << rank;
                    }
                    EXPECT_TRUE(seen.insert(std::move(cell)).second) << suit << "/" << rank;
                }
            for (size_t i = 0; i < sheet.pixels.size(); ++i)
                if (!inCell[i]) {
                    ASSERT_EQ(sheet.pixels[i], kMagenta) << "outside the cells at " << i;
                }
        }
    const Picture& backs = Sheet(kBacksFile);
    std::set<std::vector<uint32_t>> distinctBacks;
    for (int back = 0; back < kBackCount; ++back) {
        EXPECT_TRUE(CellIsRoundedCard(backs, BackCellX(back), 0));
        distinctBacks.insert(Cell(backs, BackCellX(back), 0));
    }
    EXPECT_EQ(distinctBacks.size(), static_cast<size_t>(kBackCount));
    for (int x = 0; x < backs.width; ++x) {
        const bool between = x % kCellPitchX == 0;  // the column left of each back
        for (int y = 0; y < backs.height; ++y)
            if (between || y > kCardHeight || x > BackCellX(kBackCount - 1) + kCardWidth) {
                ASSERT_EQ(backs.At(x, y), kMagenta) << x << ", " << y;
            }
    }
}

TEST(CursorArt, BothCursorsDecodeWithTheirHotSpotOnInk) {
    struct Case {
        CursorPicture picture;
        int hotX, hotY;
    };
    for (const Case& c : {Case{DrawPlayCardCursor(), 1, 1}, Case{DrawNoCardCursor(), 16, 16}}) {
        const std::vector<uint8_t> file = EncodeCursor(c.picture);
        CursorImage image;
        ASSERT_TRUE(DecodeCursor(file.data(), file.size(), &image));
        EXPECT_EQ(image.width, 32);
        EXPECT_EQ(image.height, 32);
        EXPECT_EQ(image.hotX, c.hotX);
        EXPECT_EQ(image.hotY, c.hotY);
        EXPECT_EQ(image.pixels, c.picture.pixels);
        int opaque = 0, clear = 0;
        for (uint32_t p : image.pixels) {
            opaque += p >> 24 == 0xFF;
            clear += p >> 24 == 0;
        }
        EXPECT_GT(opaque, 60);
        EXPECT_GT(clear, 300);
        EXPECT_NE(image.pixels[static_cast<size_t>(c.hotY * 32 + c.hotX)] >> 24, 0u);
        // The AND mask agrees with the alpha: a reader without alpha sees the same shape.
        std::vector<uint8_t> noAlpha = file;
        for (size_t i = 22 + 40 + 3; i < 22 + 40 + 32 * 32 * 4; i += 4) noAlpha[i] = 0;
        ASSERT_TRUE(DecodeCursor(noAlpha.data(), noAlpha.size(), &image));
        for (size_t i = 0; i < image.pixels.size(); ++i)
            ASSERT_EQ(image.pixels[i] >> 24 != 0, c.picture.pixels[i] >> 24 != 0) << i;
    }
}

TEST_F(CardLook, EveryIndexShowsRankAndSuitInTheTopFourteenPixels) {
    for (int scale = 1; scale <= 3; ++scale)
        for (int d = 0; d < kFrontDesignCount; ++d)
            for (bool turned : {false, true}) {
                SCOPED_TRACE(std::string(kFrontFiles[d]) + " at " + std::to_string(scale) + "x" + (turned ? " turned" : ""));
                const Picture& sheet = Sheet(kFrontFiles[d], scale);
                ASSERT_EQ(sheet.width, kFrontSheetWidth * scale);
                // A 15-pixel fan shows only the strip: every card's strip must differ from every
                // other's, so hearts are told from diamonds and spades from clubs.
                std::set<std::vector<uint32_t>> strips;
                for (int suit = 0; suit < 4; ++suit)
                    for (int rank = 0; rank < 13; ++rank) {
                        const CardView card{&sheet, FrontCellX(rank) * scale, FrontCellY(suit) * scale, scale, turned};
                        std::vector<uint32_t> strip;
                        const int notch = rank >= 9 && rank <= 11 ? kCourtNotchRight[d] : kW;
                        EXPECT_TRUE(IndexInBox(card, notch, &strip)) << "suit " << suit << " rank " << rank;
                        EXPECT_TRUE(strips.insert(std::move(strip)).second) << "suit " << suit << " rank " << rank;
                    }
            }
}

TEST_F(CardLook, EveryBackHasALightRimAndASymmetricPattern) {
    for (int scale = 1; scale <= 3; ++scale) {
        const Picture& sheet = Sheet(kBacksFile, scale);
        for (int back = 0; back < kBackCount; ++back) {
            // The device pixels of the logical ring one pixel inside the edge, along the
            // straight sides: light on every back, darker edge outside it.
            const int left = BackCellX(back) * scale;
            auto at = [&](int lx, int ly, int sub) { return sheet.At(left + lx * scale + sub, ly * scale + sub); };
            int dim = 0;
            for (int sub = 0; sub < scale; ++sub) {
                for (int ly = 6; ly < kH - 6; ++ly) dim += (Luma(at(1, ly, sub)) < 200) + (Luma(at(kW - 2, ly, sub)) < 200);
                for (int lx = 6; lx < kW - 6; ++lx) dim += (Luma(at(lx, 1, sub)) < 200) + (Luma(at(lx, kH - 2, sub)) < 200);
            }
            EXPECT_EQ(dim, 0) << "back " << back << " at " << scale << "x";
            EXPECT_LT(Luma(at(0, kH / 2, 0)), 120) << "back " << back << " at " << scale << "x";
            // At 1x each back is its own mirror image, its pattern laid out from the centre so
            // the frame cuts it alike on all sides. The quill backs (5 and 19) hold feathers
            // with a nib at one end and a tip at the other: mirrored left to right only.
            for (bool topToBottom : {false, true}) {
                if (scale > 1 || (topToBottom && (back == 5 || back == 19))) continue;
                int differ = 0;
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x)
                        differ += Distance(at(x, y, 0), topToBottom ? at(x, kH - 1 - y, 0) : at(kW - 1 - x, y, 0)) > 48;
                EXPECT_LE(differ, 8) << "back " << back << (topToBottom ? " top to bottom" : " left to right");
            }
        }
    }
}

// The court frame of a card (inside its frame line, less the index's corners of the large
// indices) as a map of luminance edges. Recolouring a figure moves none of its edges; a figure
// of its own moves most of them.
std::vector<bool> CourtEdges(const Picture& sheet, int suit, int rank, int scale) {
    const int left = FrontCellX(rank) * scale, top = FrontCellY(suit) * scale;
    const int notchRight = kCourtNotchRight[1] + 1, notchBottom = kCourtNotchBottom + 1;
    std::vector<bool> edges;
    for (int y = 4 * scale; y + 1 < (kH - 4) * scale; ++y)
        for (int x = 4 * scale; x + 1 < (kW - 4) * scale; ++x) {
            const int lx = x / scale, ly = y / scale;
            if ((lx < notchRight && ly < notchBottom) || (lx >= kW - notchRight && ly >= kH - notchBottom)) continue;
            const int here = Luma(sheet.At(left + x, top + y));
            edges.push_back(std::abs(Luma(sheet.At(left + x + 1, top + y)) - here) +
                                std::abs(Luma(sheet.At(left + x, top + y + 1)) - here) > 40);
        }
    return edges;
}

// The share of the edge pixels of either picture that the other lacks.
double EdgeMismatch(const std::vector<bool>& a, const std::vector<bool>& b) {
    int either = 0, differ = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        either += a[i] || b[i];
        differ += a[i] != b[i];
    }
    return either == 0 ? 0 : static_cast<double>(differ) / either;
}

TEST_F(CardLook, TwelveCourtFiguresDifferBeyondTheirColours) {
    for (int scale : {1, 3}) {
        std::vector<std::vector<std::vector<bool>>> designs;
        for (int d = 0; d < kFrontDesignCount; ++d) {
            const Picture& sheet = Sheet(kFrontFiles[d], scale);
            std::vector<std::vector<bool>>& courts = designs.emplace_back();
            for (int suit = 0; suit < 4; ++suit)
                for (int rank = 9; rank <= 11; ++rank) courts.push_back(CourtEdges(sheet, suit, rank, scale));
            double closest = 1;
            for (size_t a = 0; a < courts.size(); ++a)
                for (size_t b = a + 1; b < courts.size(); ++b) {
                    const double mismatch = EdgeMismatch(courts[a], courts[b]);
                    closest = std::min(closest, mismatch);
                    EXPECT_GT(mismatch, 0.3) << kFrontFiles[d] << " at " << scale << "x: courts " << a << " and " << b;
                }
            std::printf("%s at %dx: closest pair of courts %.2f apart\n", kFrontFiles[d], scale, closest);
        }
        // The modern front (design 2) draws its own figures, not the classic ones recoloured.
        double closest = 1;
        for (size_t i = 0; i < designs[0].size(); ++i) {
            const double mismatch = EdgeMismatch(designs[0][i], designs[2][i]);
            closest = std::min(closest, mismatch);
            EXPECT_GT(mismatch, 0.3) << "court " << i << " at " << scale << "x";
        }
        std::printf("classic and modern drawings of one court at %dx: at least %.2f apart\n", scale, closest);
    }
}

// Whether the screen shows the sheet's card upright at whole logical pixels somewhere: every
// pixel of the card's face, 2 pixels in from its rounded edge, the same.
bool ShowsTableCard(const Picture& screen, const Picture& sheet, int suit, int rank, int scale) {
    const int m = 2 * scale, w = (kW - 4) * scale, h = (kH - 4) * scale;
    const int left = FrontCellX(rank) * scale + m, top = FrontCellY(suit) * scale + m;
    for (int y0 = m; y0 + h <= screen.height; y0 += scale)
        for (int x0 = m; x0 + w <= screen.width; x0 += scale) {
            bool same = true;
            for (int y = 0; y < h && same; ++y)
                for (int x = 0; x < w && same; ++x) same = (screen.At(x0 + x, y0 + y) & 0xFFFFFF) == sheet.At(left + x, top + y);
            if (same) return true;
        }
    return false;
}

TEST_F(CardLook, WinAndExitScreensShowTheTablesCards) {
    std::string error;
    ASSERT_TRUE(LoadFonts(kSystemFontRoot, &error) && card_art::LoadIndexFaces(kSystemFontRoot, &error)) << error;
    constexpr int kAce = 12, kKing = 11, kQueen = 10, kJack = 9;
    for (int scale : {1, 3}) {
        const Picture& sheet = Sheet(kFrontFiles[0], scale);
        const Picture win = RenderWinScreen(scale), exit = RenderExitBackground(scale);
        const int cascade[] = {kKing, kQueen, kJack, kAce};
        for (int suit = 0; suit < 4; ++suit) {
            EXPECT_TRUE(ShowsTableCard(win, sheet, suit, cascade[suit], scale)) << "win, suit " << suit << " at " << scale << "x";
            EXPECT_TRUE(ShowsTableCard(exit, sheet, suit, kAce, scale)) << "exit, suit " << suit << " at " << scale << "x";
        }
    }
}

}  // namespace
