// The real program with the generated data while the window changes its device scale: cards on
// the table are the scaled art cell for cell, an open dialog is drawn again at the new scale, and
// a dragged stack's picture is exact at scales 1 and 3.

#include <algorithm>
#include <vector>

#include "cards/card_geometry.h"
#include "framework/game.h"
#include "platform/paths.h"
#include "artwork/artwork.h"
#include "shell/shell.h"
#include "tests/shell/shell_fixture.h"
#include "ui/toolkit.h"

namespace shell_test {
namespace {

using namespace card_geometry;

constexpr int kKlondikeItem = 11;
// Virtual time for a deal's slides to finish: input sent earlier is swallowed by the animation.
constexpr uint64_t kDealMs = 10000;

// The front sheet of the chosen design as the drawing layer loads it at the running scale, in
// device pixels.
struct FrontSheet {
    std::vector<Pixel> pixels;
    int pitch = 0;
    int scale = 1;

    explicit FrontSheet(int design) {
        const int handle = CreateBuffer(kFrontSheetWidth, kFrontSheetHeight);
        const int previous = ActiveBuffer();
        SelectBuffer(handle);
        ShowBmp(DataPath(kFrontFiles[design]).c_str(), 1);
        pitch = BufferWidth(handle);
        scale = BufferScale(handle);
        pixels.assign(BufferPixels(handle), BufferPixels(handle) + static_cast<size_t>(pitch) * BufferHeight(handle));
        SelectBuffer(previous);
        FreeBuffer(handle);
    }
    Pixel CellPixel(Card card, int x, int y) const {
        return pixels[static_cast<size_t>(FrontCellY(card.Suit()) * scale + y) * pitch + FrontCellX(card.Rank()) * scale + x] &
               0xFFFFFF;
    }
};

// True when the card at logical (x, y) of the screen shows the art's cell pixel for pixel (the
// magenta corners show the table), and the cell is true scaled art: some s x s block of it is
// not one flat colour, as every block of an enlarged 1x cell would be.
::testing::AssertionResult ShowsCell(const FrontSheet& sheet, Card card, int x, int y) {
    const int screen = ScreenBuffer();
    const int s = sheet.scale;
    bool finerThanOneX = false;
    for (int cy = 0; cy < (kCardHeight + 1) * s; ++cy) {
        for (int cx = 0; cx < (kCardWidth + 1) * s; ++cx) {
            const Pixel art = sheet.CellPixel(card, cx, cy);
            if (art != sheet.CellPixel(card, cx / s * s, cy / s * s)) finerThanOneX = true;
            if (art == kMagenta) continue;
            const Pixel shown = At(screen, x * s + cx, y * s + cy);
            if (shown != art)
                return ::testing::AssertionFailure() << "cell pixel " << cx << "," << cy << " shows " << std::hex
                                                     << shown << " for " << art;
        }
    }
    if (!finerThanOneX) return ::testing::AssertionFailure() << "the cell is enlarged 1x art";
    return ::testing::AssertionSuccess();
}

// Checks every card a fresh Klondike deal lets the player pick up (the uncovered foot
// of each of the seven columns).
void ExpectPickupsShowTheirCells(int scale) {
    Game* game = CurrentGame();
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(BufferWidth(ScreenBuffer()), 800 * scale);
    const FrontSheet sheet(ShellArtwork()->cardFront);
    ASSERT_EQ(sheet.scale, scale);
    int checked = 0;
    for (const Hotspot& pickup : game->pickups) {
        EXPECT_TRUE(ShowsCell(sheet, pickup.cards[0], pickup.x, pickup.y)) << "card at " << pickup.x << "," << pickup.y;
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

class ScaledShellTest : public ShellTest {
protected:
    std::vector<Pixel> Screen() const {
        const int screen = ScreenBuffer();
        return {BufferPixels(screen), BufferPixels(screen) + static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen)};
    }
};

// The drawing scale follows the window's size while the program runs: after each resize the
// screen is drawn again from scratch with the art of the new scale, under an open dialog too, and
// the window shows it pixel for pixel at whole sizes; what was saved under a menu or a hint at the
// old scale never comes back.
TEST_F(ScaledShellTest, ResizingTheWindowDrawsEverythingAgainAtTheNewScale) {
    backend.SetScaleFollowsWindow(true);
    Activate(10);
    EndLogo(10);
    int scale = 1;
    auto resize = [&](uint64_t delayMs, int newScale) {
        backend.After(delayMs, [this, &scale, newScale] {
            scale = newScale;
            backend.SetWindowSize(800 * newScale, 600 * newScale);
        });
    };
    // The window shows the screen buffer pixel for pixel, and both are at the scale asked for.
    auto windowShowsScreen = [&] {
        const std::vector<Pixel> screen = Screen();
        return BufferWidth(ScreenBuffer()) == 800 * scale && DrawScale() == scale &&
               backend.WindowPixels() == screen;
    };
    const int nameX = CentreOf(kKlondikeItem).x, nameY = CentreOf(kKlondikeItem).y;

    resize(100, 3);
    std::vector<Pixel> selection;
    bool selectionAtThree = false;
    backend.After(100, [&] {
        selectionAtThree = windowShowsScreen();
        selection = Screen();
    });
    // The rule dialog, open while the window goes down to 1x and back up to 3x, closes onto the
    // selection screen as drawn at 3x: its save-under was taken again from the new screen.
    backend.Click(100, nameX * 3, nameY * 3);
    bool dialogShown = false, dialogRedrawn = false, restored = false;
    backend.After(200, [&] { dialogShown = ModalLoopDepth() > 0 && Screen() != selection; });
    std::vector<Pixel> dialogAtThree;
    backend.After(10, [&] { dialogAtThree = Screen(); });
    resize(100, 1);
    resize(200, 3);
    backend.After(200, [&] { dialogRedrawn = ModalLoopDepth() > 0 && Screen() == dialogAtThree && windowShowsScreen(); });
    backend.PressKey(100, kHidEscape);
    backend.After(200, [&] { restored = !IsGameRunning() && Screen() == selection; });

    // A deal started at 2x, then the window made 3x: the table is drawn again from the 3x art.
    resize(100, 2);
    backend.Click(100, nameX * 2, nameY * 2);
    backend.PressKey(200, kHidS);
    bool dealtAtTwo = false, redrawnAtThree = false;
    backend.After(kDealMs, [&] {
        ASSERT_TRUE(IsGameRunning());
        ExpectPickupsShowTheirCells(2);
        dealtAtTwo = windowShowsScreen();
    });
    resize(100, 3);
    backend.After(100, [&] {
        ExpectPickupsShowTheirCells(3);
        redrawnAtThree = windowShowsScreen();
    });
    // A hint shown and the Game menu open while the window goes to 2x: the menu comes back drawn
    // at 2x, and closing it and the hint's end leave the table as a full redraw draws it, never
    // pieces saved at 3x.
    backend.PressKey(100, kHidH);
    backend.Click(100, 100 * 3, 15 * 3);
    resize(100, 2);
    bool menuRedrawn = false, tableWhole = false;
    backend.After(100, [&] { menuRedrawn = ToolkitMenuOpen() && windowShowsScreen(); });
    backend.PressKey(100, kHidEscape);
    backend.After(3000, [&] {
        const std::vector<Pixel> shown = Screen();
        CurrentGame()->Draw(true);
        tableWhole = Screen() == shown;
    });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(menuRedrawn);
    EXPECT_TRUE(tableWhole);
    EXPECT_TRUE(selectionAtThree);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(dialogRedrawn);
    EXPECT_TRUE(restored);
    EXPECT_TRUE(dealtAtTwo);
    EXPECT_TRUE(redrawnAtThree);
}


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

}  // namespace
}  // namespace shell_test
