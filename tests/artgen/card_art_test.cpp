// The card sheets and cursors: the geometry the game cuts cards out by, exact magenta where
// the table must show, the darkened twins, and cursor files the platform layer accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cards/card_geometry.h"
#include "platform/cursor_file.h"
#include "tools/artgen/bmp_writer.h"
#include "tools/artgen/card_art.h"
#include "tools/artgen/cursor_art.h"

namespace fs = std::filesystem;
using namespace card_geometry;

namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

// A 24-bit BMP read from the file layout alone, independent of the generator's writer.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    std::vector<uint32_t> Cell(int left, int top) const {
        std::vector<uint32_t> cell;
        for (int y = top; y <= top + kCardHeight; ++y)
            for (int x = left; x <= left + kCardWidth; ++x) cell.push_back(At(x, y));
        return cell;
    }
};

::testing::AssertionResult ParseBmp(const std::vector<uint8_t>& b, Picture* picture) {
    auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24; };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return ::testing::AssertionFailure() << "not a BMP";
    const int32_t height = static_cast<int32_t>(u32(22));
    picture->width = static_cast<int32_t>(u32(18));
    picture->height = height < 0 ? -height : height;
    if ((b[28] | b[29] << 8) != 24 || u32(30) != 0) return ::testing::AssertionFailure() << "not 24-bit uncompressed";
    const size_t stride = (static_cast<size_t>(picture->width) * 3 + 3) / 4 * 4;
    const size_t offset = u32(10);
    if (u32(2) != b.size() || offset + stride * picture->height > b.size())
        return ::testing::AssertionFailure() << "sizes do not match the file";
    for (int y = 0; y < picture->height; ++y) {
        const size_t row = offset + stride * static_cast<size_t>(height < 0 ? y : picture->height - 1 - y);
        for (int x = 0; x < picture->width; ++x) {
            const size_t at = row + 3 * static_cast<size_t>(x);
            picture->pixels.push_back(b[at] | b[at + 1] << 8 | b[at + 2] << 16);
        }
    }
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

int Brightness(uint32_t p) { return static_cast<int>((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)); }

bool IsReddish(uint32_t p) {
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return p != kMagenta && r > g + 90 && r > b + 60;
}

class CardArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ArtFileList files;
        std::string error;
        ASSERT_TRUE(RenderCardArt(kSystemFontRoot, &files, &error)) << error;
        for (auto& [path, bytes] : files) {
            Picture picture;
            ASSERT_TRUE(ParseBmp(bytes, &picture)) << path;
            sheets[path.generic_string()] = std::move(picture);
        }
    }
    static const Picture& Sheet(const char* programName) {
        return sheets.at(card_art::DataFilePath(programName).generic_string());
    }
    static inline std::map<std::string, Picture> sheets;

private:
    static constexpr char kSystemFontRoot[] = "/usr/share/fonts";
};

TEST_F(CardArt, WritesEveryFrontBackAndDarkSheetAtItsSize) {
    EXPECT_EQ(sheets.size(), 2u * kFrontDesignCount + 1);
    for (int d = 0; d < kFrontDesignCount; ++d)
        for (const char* name : {kFrontFiles[d], kDarkFrontFiles[d]}) {
            EXPECT_EQ(Sheet(name).width, kFrontSheetWidth) << name;
            EXPECT_EQ(Sheet(name).height, kFrontSheetHeight) << name;
        }
    EXPECT_EQ(Sheet(kBacksFile).width, kBacksSheetWidth);
    EXPECT_EQ(Sheet(kBacksFile).height, kBacksSheetHeight);
}

TEST_F(CardArt, CellsAreRoundedCardsOnMagenta) {
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
                }
            for (size_t i = 0; i < sheet.pixels.size(); ++i)
                if (!inCell[i]) {
                    ASSERT_EQ(sheet.pixels[i], kMagenta) << "outside the cells at " << i;
                }
        }
    const Picture& backs = Sheet(kBacksFile);
    for (int back = 0; back < kBackCount; ++back) EXPECT_TRUE(CellIsRoundedCard(backs, BackCellX(back), 0));
    for (int x = 0; x < backs.width; ++x) {
        const bool between = x % kCellPitchX == 0;  // the column left of each back
        for (int y = 0; y < backs.height; ++y)
            if (between || y > kCardHeight || x > BackCellX(kBackCount - 1) + kCardWidth) {
                ASSERT_EQ(backs.At(x, y), kMagenta) << x << ", " << y;
            }
    }
}

TEST_F(CardArt, SelectedTwinIsTheSameCardTintedInsideAnOutline) {
    auto blend = [](uint32_t n, int shift) {
        const double a = n >> shift & 0xFF, b = card_art::kSelectTint >> shift & 0xFF;
        return a + (b - a) * card_art::kSelectTintShare;
    };
    for (int d = 0; d < kFrontDesignCount; ++d) {
        SCOPED_TRACE(kFrontFiles[d]);
        const Picture& normal = Sheet(kFrontFiles[d]);
        const Picture& selected = Sheet(kDarkFrontFiles[d]);
        for (int y = 0; y < normal.height; ++y)
            for (int x = 0; x < normal.width; ++x) {
                const uint32_t n = normal.At(x, y), k = selected.At(x, y);
                if (n == kMagenta) {
                    ASSERT_EQ(k, kMagenta) << x << ", " << y;
                    continue;
                }
                const int cx = (x - kFrontCellInsetX) % kCellPitchX, cy = y % kCellPitchY;
                if (card_art::EdgeDistance(cx + 0.5, cy + 0.5) < card_art::kSelectOutlineWidth) {
                    ASSERT_EQ(k, card_art::kSelectOutline) << x << ", " << y;
                    continue;
                }
                // The same picture under a warm tint: the paper turns gold, not grey.
                for (int shift = 0; shift <= 16; shift += 8) ASSERT_NEAR(k >> shift & 0xFF, blend(n, shift), 1.0) << x << ", " << y;
                if (Brightness(n) > 740) {
                    ASSERT_GT(static_cast<int>(k >> 16 & 0xFF) - static_cast<int>(k & 0xFF), 40);
                }
            }
    }
}

TEST_F(CardArt, EveryCardIsDistinctAndRedSuitsAreRed) {
    std::set<std::vector<uint32_t>> seen;
    for (int d = 0; d < kFrontDesignCount; ++d) {
        const Picture& sheet = Sheet(kFrontFiles[d]);
        for (int suit = 0; suit < 4; ++suit)
            for (int rank = 0; rank < 13; ++rank) {
                std::vector<uint32_t> cell = sheet.Cell(FrontCellX(rank), FrontCellY(suit));
                const bool red = std::any_of(cell.begin(), cell.end(), IsReddish);
                // Court pictures may hold red robes; the pip cards and aces show the suit colour alone.
                if (rank < 9 || rank == 12) {
                    EXPECT_EQ(red, suit == 1 || suit == 3) << kFrontFiles[d] << " " << suit << "/" << rank;
                }
                EXPECT_TRUE(seen.insert(std::move(cell)).second) << kFrontFiles[d] << " " << suit << "/" << rank;
            }
    }
    const Picture& backs = Sheet(kBacksFile);
    std::set<std::vector<uint32_t>> distinctBacks;
    for (int back = 0; back < kBackCount; ++back) distinctBacks.insert(backs.Cell(BackCellX(back), 0));
    EXPECT_EQ(distinctBacks.size(), static_cast<size_t>(kBackCount));
}

TEST(BmpWriter, RowsArePaddedAndReadBackInOrder) {
    // Widths 1..5 cover every row padding; the first row written is the picture's top.
    for (int width = 1; width <= 5; ++width) {
        std::vector<uint32_t> pixels;
        for (int i = 0; i < width * 3; ++i) pixels.push_back(0x010203u * static_cast<uint32_t>(i + 1));
        const std::vector<uint8_t> bmp = EncodeBmp24(pixels.data(), width, 3);
        Picture independent;
        ASSERT_TRUE(ParseBmp(bmp, &independent)) << width;
        EXPECT_EQ(independent.pixels, pixels) << width;
        std::vector<uint32_t> back;
        int w = 0, h = 0;
        ASSERT_TRUE(DecodeBmp24(bmp, &back, &w, &h));
        EXPECT_EQ(back, pixels);
        std::vector<uint8_t> truncated(bmp.begin(), bmp.end() - 1);
        EXPECT_FALSE(DecodeBmp24(truncated, &back, &w, &h));
    }
    EXPECT_TRUE(EncodeBmp24(nullptr, 4, 4).empty());
    const uint32_t one = 0;
    EXPECT_TRUE(EncodeBmp24(&one, 0, 1).empty());
}

TEST(CardArtFonts, MissingIndexFontIsReported) {
    ArtFileList files;
    std::string error;
    EXPECT_FALSE(RenderCardArt("/nonexistent-fonts", &files, &error));
    EXPECT_NE(error.find("/nonexistent-fonts"), std::string::npos) << error;
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

}  // namespace
