// Artwork and the selection menu on their own, over the drawing layer and made-up artwork.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "artwork/artwork.h"
#include "shell/game_menu.h"
#include "store/settings_store.h"
#include "tests/shell/shell_fixture.h"

namespace {

using namespace shell_test;
using namespace screen_layout;

constexpr Pixel kScreenColour = 0x202020;

class ArtworkTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        art = new ArtFolder(std::filesystem::temp_directory_path() /
                            ("quillfen-artwork-art-" + std::to_string(::getpid())));
        art->WriteAll();
    }
    static void TearDownTestSuite() {
        delete art;
        art = nullptr;
    }
    void SetUp() override {
        dataFolder.emplace("QUILLFEN_DATA_DIR", art->Path().string());
        InitBuffers();
        SetBufferDepth(32);
        screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        ClearScreen();
        ASSERT_TRUE(artwork.Init(screen, nullptr, 0));
    }
    void TearDown() override {
        artwork.FreeArtwork();
        InitBuffers();
    }
    void ClearScreen() {
        Pixel* pixels = BufferPixels(screen);
        std::fill(pixels, pixels + 800 * 600, kScreenColour);
    }

    static ArtFolder* art;
    std::optional<ScopedEnvironment> dataFolder;
    int screen = -1;
    Artwork artwork;
};
ArtFolder* ArtworkTest::art = nullptr;

// The title file (0 "1_3_6", 1 "2", 2 "4", 3 "5") and check-mark row of each theme.
constexpr int kTitleFileOfTheme[kThemeCount] = {0, 1, 0, 2, 3, 0};
constexpr int kCheckBandOfTheme[kThemeCount] = {0, 1, 0, 2, 3, 0};

TEST_F(ArtworkTest, LoadThemePicksTheFilesAndColoursOfEachTheme) {
    for (int theme = 0; theme < kThemeCount; ++theme) {
        SCOPED_TRACE(theme);
        artwork.LoadTheme(theme);
        EXPECT_EQ(artwork.Backdrop(), theme);
        EXPECT_TRUE(Near(At(artwork.background, 400, 300), BackdropColour(theme)));
        EXPECT_EQ(At(artwork.menuBarArt, 5, 5), MenuBarColour(theme));
        EXPECT_TRUE(Near(At(artwork.dialogArt, 400, 300), DialogColour(theme)));
        EXPECT_EQ(At(artwork.dialogArt, 10, 650), DialogStripColour(theme));
        EXPECT_EQ(At(artwork.dialogArt, 800, 10), kMagenta);
        EXPECT_TRUE(Near(At(artwork.dropDownArt, 100, 240), DropDownColour(theme)));
        EXPECT_EQ(At(artwork.dropDownArt, 205, 6), CheckColour(kCheckBandOfTheme[theme]));
        EXPECT_EQ(At(artwork.dropDownArt, 210, 100), kMagenta);
        EXPECT_EQ(At(artwork.titleArt, 0, 0), TitleColour(kTitleFileOfTheme[theme], 1));
        EXPECT_EQ(At(artwork.placeholderSheet, 5, 5), PlaceholderFileColour(theme));

        // The toolkit draws with this theme's pictures and colours.
        const ToolkitTheme& toolkit = CurrentTheme();
        EXPECT_EQ(toolkit.dialogArt, artwork.dialogArt);
        EXPECT_EQ(toolkit.menuBarArt, artwork.menuBarArt);
        EXPECT_EQ(toolkit.dropDownArt, artwork.dropDownArt);
        auto pixel = [](Rgb c) { return MapRgb(c.r, c.g, c.b); };
        EXPECT_EQ(toolkit.textColor, pixel(kThemeColors[theme].text));
        EXPECT_EQ(toolkit.controlHighlightColor, pixel(kThemeColors[theme].controlHighlight));
        EXPECT_EQ(toolkit.menuItemHighlightColor, pixel(kThemeColors[theme].menuItemHighlight));
    }
    // The preferred backdrop, and a stored value out of range falls back to the first theme.
    userPreferences.Backdrop = 3;
    artwork.LoadTheme(Artwork::kPreferredTheme);
    EXPECT_EQ(artwork.Backdrop(), 3);
    userPreferences.Backdrop = 9;
    artwork.LoadTheme(Artwork::kPreferredTheme);
    EXPECT_EQ(artwork.Backdrop(), 0);
    userPreferences.Backdrop = 0;
}

TEST_F(ArtworkTest, AddDirtyMergesOnlyWithTheNewestRectangle) {
    artwork.AddDirty({0, 0, 9, 9});
    artwork.AddDirty({100, 100, 109, 109});
    artwork.AddDirty({5, 5, 20, 20});  // meets the older one only: kept apart
    artwork.AddDirty({15, 15, 30, 30});
    artwork.AddDirty({40, 40, 30, 50});  // empty
    EXPECT_EQ(artwork.DirtyList(),
              (std::vector<Rect>{{0, 0, 9, 9}, {100, 100, 109, 109}, {5, 5, 30, 30}}));
}

TEST_F(ArtworkTest, HitTestFindsEachNameInsideItsRectangleOnly) {
    GameMenu menu;
    for (int item = 0; item < kGameCount; ++item) {
        const Rect r = GameMenu::ItemRect(item);
        EXPECT_EQ(menu.HitTest(r.left, r.top), item);
        EXPECT_EQ(menu.HitTest(r.right, r.bottom), item);
        EXPECT_EQ(menu.HitTest(r.left - 1, r.top), GameMenu::kNoItem);
        EXPECT_EQ(menu.HitTest(r.right + 1, r.bottom), GameMenu::kNoItem);
    }
    EXPECT_EQ(menu.HitTest(400, 300), GameMenu::kNoItem);
}

}  // namespace

// The dragged stack's picture at device scales 1 and 3 with the generated card art: after every
// step, small or large, in any direction, from a place partly off the screen, the screen equals
// the table with the run drawn card by card at the new place; when the drag ends the table
// comes back exactly.
TEST(DragImage, EveryStepEqualsTheRunDrawnOverTheTable) {
    for (int scale : {1, 3}) {
        SCOPED_TRACE(scale);
        ScriptedBackend backend;
        backend.SetDeviceScale(scale);
        SetBackend(&backend);
        InitBuffers();
        SetBufferDepth(32);
        const int screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        Pixel* pixels = BufferPixels(screen);
        const size_t count = static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen);
        for (size_t i = 0; i < count; ++i) pixels[i] = static_cast<Pixel>(i * 2654435761u) & 0xFFFFFF;
        const std::vector<Pixel> table(pixels, pixels + count);
        Artwork artwork;
        ASSERT_TRUE(artwork.Init(screen, nullptr, 0));
        std::vector<Card> run;
        for (int k = 0; k < 13; ++k) run.emplace_back(k % 4, Card::kKing - k);
        const int dy = 15, width = artwork.cardWidth + 1, height = artwork.cardHeight + 12 * dy + 1;
        ASSERT_TRUE(artwork.BeginDragImage(run.data(), 13, 0, dy, width, height));

        const int reference = CreateBuffer(800, 600);
        const auto expect = [&](int x, int y) {
            std::copy(table.begin(), table.end(), BufferPixels(reference));
            artwork.DrawRun(x, y, run.data(), reference, 13, 0, dy);
            const Pixel* want = BufferPixels(reference);
            for (size_t i = 0; i < count; ++i)
                if (pixels[i] != want[i])
                    return ::testing::AssertionFailure() << "stack at " << x << "," << y << ": pixel " << i % BufferWidth(screen)
                                                         << "," << i / BufferWidth(screen);
            return ::testing::AssertionSuccess();
        };
        // Picked up with its foot past the bottom edge, then moved by small and large steps.
        int x = 300, y = 400;
        artwork.SaveUnderDragImage(x, y);
        artwork.DrawDragImage(x, y);
        ASSERT_TRUE(expect(x, y));
        const int steps[][2] = {{300, 250}, {305, 248}, {299, 251}, {299, 251}, {40, 30}, {0, 0}, {747, 600 - height}, {700, 200}};
        for (const auto& [newX, newY] : steps) {
            artwork.MoveDragImage(x, y, newX, newY);
            x = newX, y = newY;
            ASSERT_TRUE(expect(x, y));
        }
        artwork.RestoreUnderDragImage(x, y);
        EXPECT_TRUE(std::equal(table.begin(), table.end(), pixels));
        artwork.EndDragImage();
        EXPECT_FALSE(artwork.HasDragImage());
        artwork.FreeArtwork();
        InitBuffers();
        SetBackend(nullptr);
    }
}
