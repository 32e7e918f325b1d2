// The screen flow through the real program on the virtual clock: the logo, the selection menu's
// highlight and start handlers and the end pictures, with made-up artwork whose colours say what
// is on the screen, and with none.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "games/game_registry.h"
#include "artwork/artwork.h"
#include "shell/game_menu.h"
#include "shell/screens.h"
#include "shell/shell.h"
#include "tests/shell/shell_fixture.h"

namespace {

using namespace shell_test;

class ScreenFlowTest : public ShellTest {
protected:
    static void SetUpTestSuite() {
        art = new ArtFolder;
        art->WriteAll();
    }
    static void TearDownTestSuite() {
        delete art;
        art = nullptr;
    }
    void SetUp() override {
        ShellTest::SetUp();
        dataFolder.emplace("QUILLFEN_DATA_DIR", art->Path().string());
    }

    Pixel WindowAt(int x, int y) const { return backend.WindowPixels()[y * 800 + x] & 0xFFFFFF; }
    std::vector<uint32_t> Window() const { return backend.WindowPixels(); }

    // True when the window shows `before` with each rectangle filled with its colour.
    ::testing::AssertionResult WindowIs(std::vector<uint32_t> expected, const std::vector<std::pair<Rect, Pixel>>& fills) const {
        for (const auto& [r, colour] : fills)
            for (int y = r.top; y <= r.bottom; ++y) std::fill_n(&expected[y * 800 + r.left], r.right - r.left + 1, colour);
        const std::vector<uint32_t>& now = backend.WindowPixels();
        for (size_t i = 0; i < now.size(); ++i)
            if ((now[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF))
                return ::testing::AssertionFailure() << "pixel " << i % 800 << "," << i / 800 << " differs";
        return ::testing::AssertionSuccess();
    }

    static ArtFolder* art;
    std::optional<ScopedEnvironment> dataFolder;
};
ArtFolder* ScreenFlowTest::art = nullptr;

// The logo and the end pictures end at once on a click, which goes no further: a click on
// Klondike's name ends the logo without starting the game. The end pictures swallow presses in
// their first second and end by themselves after five.
TEST_F(ScreenFlowTest, TheLogoAndTheEndPicturesEndOnAClickWhichGoesNoFurther) {
    Activate(10);
    bool logoWithHiddenPointer = false, selectionWithPointer = false;
    backend.At(690, [&] { logoWithHiddenPointer = !backend.PointerVisible() && Near(WindowAt(400, 300), LogoColour()); });
    backend.Click(10, CentreOf(11).x, CentreOf(11).y);
    backend.At(701, [&] {
        selectionWithPointer = backend.PointerVisible() && Near(WindowAt(400, 300), TitleScreenColour());
    });
    uint64_t winEnded = 0, loseEnded = 0;
    bool winShown = false, loseShown = false;
    // The virtual wall clock starts on a whole second, so 6000 ms is the start of a second.
    backend.At(6000, [&] {
        ShowEndScreen(*ShellArtwork(), true);
        winEnded = backend.NowMs();
    });
    backend.Click(500, CentreOf(0).x, CentreOf(0).y);  // 6500: swallowed
    backend.At(6600, [&] { winShown = Near(WindowAt(400, 300), WinColour()); });
    backend.Click(700, CentreOf(1).x, CentreOf(1).y);  // 7300: ends the picture, goes no further
    backend.At(8000, [&] {
        ShowEndScreen(*ShellArtwork(), false);
        loseEnded = backend.NowMs();
    });
    backend.At(9000, [&] { loseShown = Near(WindowAt(400, 300), LoseColour()); });
    backend.At(13500, [] {});
    backend.PressKey(500, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(logoWithHiddenPointer);
    EXPECT_TRUE(selectionWithPointer);
    EXPECT_TRUE(winShown);
    EXPECT_EQ(winEnded, 7300u);
    EXPECT_TRUE(loseShown);
    EXPECT_EQ(loseEnded, 13000u);
    EXPECT_EQ(LastStartRequest().count, 0);
}

TEST_F(ScreenFlowTest, HoverMovesTheHighlightPresentingOnlyTheNamesItTouches) {
    Activate(10);
    EndLogo(10);
    std::vector<uint32_t> before;
    int presents = 0;
    auto step = [&](int expectedPresents, std::vector<std::pair<Rect, Pixel>> expected) {
        EXPECT_EQ(backend.PresentCount() - presents, expectedPresents);
        presents = backend.PresentCount();
        EXPECT_TRUE(WindowIs(before, expected));
    };
    backend.At(100, [&] {
        before = Window();
        presents = backend.PresentCount();
    });
    const Rect first = GameMenu::ItemRect(0), second = GameMenu::ItemRect(1);
    backend.MoveMouse(10, CentreOf(0).x, CentreOf(0).y);
    backend.After(5, [&] { step(1, {{first, HighlightColour(0)}}); });
    backend.MoveMouse(5, CentreOf(0).x + 3, CentreOf(0).y);  // still on the same name
    backend.After(5, [&] { step(0, {{first, HighlightColour(0)}}); });
    backend.MoveMouse(5, CentreOf(1).x, CentreOf(1).y);
    backend.After(5, [&] { step(2, {{second, HighlightColour(1)}}); });
    backend.MoveMouse(5, 400, 300);  // empty space
    backend.After(5, [&] { step(1, {}); });
    backend.PressKey(10, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
}

// A theme already decoded is not decoded again at the next deal, so the title of the last game
// must come off the backdrop exactly: each game's table then looks as after a fresh load.
TEST_F(ShellTest, ATitleComesOffTheBackdropWhenTheThemeIsKept) {
    Activate(10);
    bool checked = false;
    backend.At(5100, [&] {
        Artwork& artwork = *ShellArtwork();
        const auto table = [&](int theme, int game) {
            artwork.LoadTheme(theme);
            artwork.DrawGameTitle(game);
            artwork.RestoreBackground(0, 799, 0, 599);
            const Pixel* pixels = BufferPixels(artwork.screenBuffer);
            return std::vector<Pixel>(pixels, pixels + static_cast<size_t>(BufferWidth(artwork.screenBuffer)) *
                                                           BufferHeight(artwork.screenBuffer));
        };
        for (int game = 1; game <= screen_layout::kGameCount; ++game) {
            const int theme = game % screen_layout::kThemeCount;
            table(theme, game % screen_layout::kGameCount + 1);  // another game's title first
            const std::vector<Pixel> kept = table(theme, game);
            table((theme + 1) % screen_layout::kThemeCount, game);  // another theme, so the next loads anew
            EXPECT_EQ(kept, table(theme, game)) << "game " << game;
        }
        checked = true;
    });
    backend.PressKey(5200, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(checked);
}

// With no art at all the screen flow never crashes: every name on the selection screen reaches
// its start handler and empty space none, the toolkit is never pointed at a picture that is not
// there, and each missing file is named once on standard error, however often it was asked for.
TEST_F(ShellTest, EveryNameReachesItsStartHandlerEvenWithNoArtAtAll) {
    const ArtFolder empty;
    ScopedEnvironment data("QUILLFEN_DATA_DIR", empty.Path().string());
    Activate(10);
    bool reachedSelection = false;
    backend.At(5100, [&] {
        reachedSelection = true;
        Artwork& artwork = *ShellArtwork();
        for (int theme = 0; theme < screen_layout::kThemeCount; ++theme) {
            artwork.LoadTheme(theme);
            artwork.DrawGameTitle(theme + 1);
            EXPECT_EQ(ThemeDialogArt(), -1);
            EXPECT_EQ(CurrentTheme().menuBarArt, -1);
            EXPECT_EQ(ThemeDropDownArt(), -1);
        }
        ShowEndScreen(artwork, true);
    });
    backend.At(11000, [] {});
    std::vector<StartRequest> seen;
    for (int item = 0; item < screen_layout::kGameCount; ++item) {
        // Deals are synchronous and take virtual time; the long gap lets each one finish before
        // the next step, so the record below is taken after its own click.
        backend.MoveMouse(30000, CentreOf(item).x, CentreOf(item).y);
        backend.Click(10, CentreOf(item).x, CentreOf(item).y);
        backend.After(5, [&] { seen.push_back(LastStartRequest()); });
        // A game that exists has started (or shows its rule settings): Escape goes back.
        if (FindGame(item + 1)) backend.PressKey(10, kHidEscape);
    }
    backend.Click(20, 400, 300);
    backend.After(5, [&] { seen.push_back(LastStartRequest()); });
    backend.PressKey(10, kHidEscape);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunApplication(), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(reachedSelection);
    ASSERT_EQ(seen.size(), 21u);
    for (int item = 0; item < screen_layout::kGameCount; ++item) {
        EXPECT_EQ(seen[item].gameNumber, item + 1);
        EXPECT_EQ(seen[item].count, item + 1);
    }
    EXPECT_EQ(seen[20].count, 20);
    // Accordion, Block Solitaire, Simple Addition and Take Fourteen deal at once; Klondike and
    // the other games with options ask for them first.
    for (int item : {0, 3, 16, 19}) EXPECT_EQ(seen[item].mode, StartMode::AtOnce) << item;
    for (int item : {1, 11, 18}) EXPECT_EQ(seen[item].mode, StartMode::RulesFirst) << item;
    for (const char* name : {"logo.jpg", "backdrop1.jpg", "backdrop2.jpg", "winscreen.jpg"}) {
        const std::string line = (empty.Path() / "artwork" / name).string() + " is missing";
        EXPECT_NE(said.find(line), std::string::npos) << name << "\n" << said;
        EXPECT_EQ(said.find(line), said.rfind(line)) << name;
    }
}

}  // namespace
