// The real program with the generated data at device scales 2 and 3: cards on the table are the
// scaled art cell for cell, and a dialog and a drag work on the scaled screen buffer.

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cards/card_geometry.h"
#include "framework/game.h"
#include "platform/host_events.h"
#include "platform/paths.h"
#include "artwork/artwork.h"
#include "shell/shell.h"
#include "tests/hooks/test_hooks.h"
#include "tests/shell/shell_fixture.h"
#include "ui/toolkit.h"

namespace shell_test {
namespace {

using namespace card_geometry;

constexpr int kGolfItem = 10;
constexpr int kKlondikeItem = 11;
// Virtual time for a deal's slides to finish: input sent earlier is swallowed by the animation.
constexpr uint64_t kDealMs = 10000;
// Longer than any sound effect, which holds the program on the virtual clock while it plays.
constexpr uint64_t kSoundMs = 2000;
constexpr int kHidS = 22;

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

// A picture file as the drawing layer shows it at the running scale, in device pixels; empty when
// it did not come from art made at that scale (some s x s block of it must not be one flat
// colour, as every block of an enlarged 1x picture would be).
std::vector<Pixel> DecodedAtScale(const char* name) {
    const int handle = CreateBuffer(800, 600);
    const int previous = ActiveBuffer();
    SelectBuffer(handle);
    ShowJpeg(DataPath(name).c_str(), 0);
    const int s = BufferScale(handle), width = BufferWidth(handle);
    std::vector<Pixel> pixels(BufferPixels(handle), BufferPixels(handle) + static_cast<size_t>(width) * BufferHeight(handle));
    SelectBuffer(previous);
    FreeBuffer(handle);
    for (Pixel& p : pixels) p &= 0xFFFFFF;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const size_t x = i % width, y = i / width;
        if (pixels[i] != pixels[(y / s * s) * width + x / s * s]) return pixels;
    }
    return {};
}

// Checks every card a fresh deal of Golf or Klondike lets the player pick up (the uncovered foot
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
    // A game of the selection screen started, its rule dialog accepted: a fresh deal on the table.
    void StartGame(uint64_t delayMs, int item) {
        const auto& name = screen_layout::kGameMenuItems[item];
        backend.Click(delayMs, name.left + name.Width() / 2, name.top + name.Height() / 2);
        backend.PressKey(200, kHidS);  // "&Start" in the rule dialog
    }
    std::vector<Pixel> Screen() const {
        const int screen = ScreenBuffer();
        return {BufferPixels(screen), BufferPixels(screen) + static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen)};
    }
};

TEST_F(ScaledShellTest, ADealAtTwiceTheSizeShowsTheTwoXArtCellForCell) {
    backend.SetDeviceScale(2);
    Activate(10);
    EndLogo(10);
    StartGame(100, kGolfItem);
    bool checked = false;
    backend.After(kDealMs, [&] {
        ExpectPickupsShowTheirCells(2);
        checked = true;
    });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(checked);
}

// The logo and the table's backdrop at 2x are the generator's 2x pictures pixel for pixel.
TEST_F(ScaledShellTest, TheLogoAndTheBackdropAtTwiceTheSizeAreTheTwoXArt) {
    backend.SetDeviceScale(2);
    Activate(10);
    bool logoShown = false, backdropShown = false;
    backend.After(5, [&] {
        const std::vector<Pixel> logo = DecodedAtScale("artwork/logo.jpg");
        logoShown = !logo.empty() && Screen() == logo;
    });
    EndLogo(10);
    StartGame(100, kGolfItem);
    backend.After(kDealMs, [&] {
        ASSERT_TRUE(IsGameRunning());
        char name[40];
        std::snprintf(name, sizeof name, "artwork/backdrop%d.jpg", ShellArtwork()->Backdrop() + 1);
        const std::vector<Pixel> backdrop = DecodedAtScale(name);
        ASSERT_FALSE(backdrop.empty()) << name << " is not 2x art";
        // Below the game's title the table background is the backdrop itself.
        const int background = ShellArtwork()->background;
        const size_t from = static_cast<size_t>(200 * 2) * 1600;
        backdropShown = std::equal(backdrop.begin() + from, backdrop.end(), BufferPixels(background) + from,
                                   [](Pixel a, Pixel b) { return a == (b & 0xFFFFFF); });
    });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(logoShown);
    EXPECT_TRUE(backdropShown);
}

TEST_F(ScaledShellTest, ADialogAndADragWorkAtThreeTimesTheSize) {
    backend.SetDeviceScale(3);
    Activate(10);
    EndLogo(10);
    const auto& klondike = screen_layout::kGameMenuItems[kKlondikeItem];
    const int nameX = klondike.left + klondike.Width() / 2, nameY = klondike.top + klondike.Height() / 2;
    backend.MoveMouse(100, nameX, nameY);
    std::vector<Pixel> selection;
    backend.After(100, [&] { selection = Screen(); });
    // The rule dialog opens over the selection screen and Escape takes it away again: what it
    // covered comes back exactly, through the save-under blocks at 3x.
    backend.Click(100, nameX, nameY);
    bool dialogShown = false, restored = false;
    backend.After(200, [&] { dialogShown = Screen() != selection; });
    backend.PressKey(100, kHidEscape);
    backend.After(200, [&] { restored = !IsGameRunning() && Screen() == selection; });
    // The deal number comes from the virtual clock: at this moment it draws a deal with a drag.
    StartGame(101, kKlondikeItem);

    // A legal drag: half-way the lifted card follows the pointer, drawn from the 3x art; on
    // release the game takes the move.
    std::optional<LegalMove> move;
    std::string before;
    backend.After(kDealMs, [&] {
        ASSERT_TRUE(IsGameRunning());
        ExpectPickupsShowTheirCells(3);
        move = FindLegalMove(*CurrentGame());
        before = PilesDigest(*CurrentGame());
    });
    Card lifted;
    int liftX = 0, liftY = 0;
    // The drag's points are known only once the deal is on the table, so its events are posted
    // from steps, the way the back end posts a script's input.
    auto mouse = [this](uint64_t delayMs, HostEvent::Kind kind, auto point, bool held) {
        backend.After(delayMs, [kind, point, held] {
            HostEvent event;
            event.kind = kind;
            event.button = 1;
            event.buttons = held ? 1 : 0;
            event.x = point().first;
            event.y = point().second;
            std::vector<Message> messages;
            TranslateHostEvent(event, MainWindowHandle(), &messages);
            for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
        });
    };
    auto pick = [&] { return std::pair{move ? move->pickX : 0, move ? move->pickY : 0}; };
    auto half = [&] {
        return std::pair{move ? (move->pickX + move->dropX) / 2 : 0, move ? (move->pickY + move->dropY) / 2 : 0};
    };
    auto drop = [&] { return std::pair{move ? move->dropX : 0, move ? move->dropY : 0}; };
    backend.After(10, [&] {
        if (!move) return;
        const Hotspot* pickup = CurrentGame()->FindPickupAt(move->pickX, move->pickY);
        ASSERT_NE(pickup, nullptr);
        lifted = pickup->cards[0];
        liftX = pickup->x;
        liftY = pickup->y;
    });
    mouse(10, HostEvent::MouseMove, pick, false);
    // Sounds play on the virtual clock and hold the program while they last: the steps leave
    // each one time to end, so every event is handled before the next step runs.
    mouse(kSoundMs, HostEvent::MouseDown, pick, true);
    mouse(kSoundMs, HostEvent::MouseMove, half, true);
    ::testing::AssertionResult followed = ::testing::AssertionFailure() << "no drag";
    backend.After(kSoundMs, [&] {
        if (!move) return;
        const FrontSheet sheet(ShellArtwork()->cardFront);
        followed = ShowsCell(sheet, lifted, liftX + half().first - move->pickX, liftY + half().second - move->pickY);
    });
    mouse(kSoundMs, HostEvent::MouseMove, drop, true);
    mouse(kSoundMs, HostEvent::MouseUp, drop, false);
    std::string after;
    backend.After(kDealMs, [&] {
        if (CurrentGame()) after = PilesDigest(*CurrentGame());
    });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(restored);
    ASSERT_TRUE(move.has_value()) << "the deal offers no move";
    EXPECT_TRUE(followed);
    EXPECT_NE(after, before);
}

// The drawing scale follows the window's size while the program runs: after each resize the
// screen is drawn again from scratch with the art of the new scale, under an open dialog too, and
// the window shows it pixel for pixel at whole sizes.
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
    const auto& klondike = screen_layout::kGameMenuItems[kKlondikeItem];
    const int nameX = klondike.left + klondike.Width() / 2, nameY = klondike.top + klondike.Height() / 2;

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
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(selectionAtThree);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(dialogRedrawn);
    EXPECT_TRUE(restored);
    EXPECT_TRUE(dealtAtTwo);
    EXPECT_TRUE(redrawnAtThree);
}

}  // namespace
}  // namespace shell_test
