// The program in windows larger and smaller than its table: input given in window pixels reaches
// the game's menus in logical ones, full screen switches from the keyboard and the Options menu,
// idle presents stay few, and the window's placement is kept between runs.
#include <gtest/gtest.h>

#include "framework/game.h"
#include "platform/registry.h"
#include "shell/shell.h"
#include "tests/hooks/test_hooks.h"
#include "shell/window_options.h"
#include "shell_fixture.h"
#include "ui/window.h"

namespace {

using namespace shell_test;

constexpr int kKlondike = 12;

class ScaledWindowTest : public ShellTest {
protected:
    // Window pixels of a logical point: the middle of its block at a whole factor, or the first
    // window pixel mapping onto it at a fractional one.
    std::pair<int, int> ToWindow(int x, int y) const {
        const Rect table = backend.View().Table();
        const int wx = table.left + static_cast<int>((static_cast<int64_t>(x) * table.Width() + 799) / 800);
        const int wy = table.top + static_cast<int>((static_cast<int64_t>(y) * table.Height() + 599) / 600);
        return {wx, wy};
    }
    // A press and release at a logical point, delivered at once (from inside a step).
    void ClickNow(int x, int y) {
        const auto [wx, wy] = ToWindow(x, y);
        HostEvent event;
        event.kind = HostEvent::MouseMove;
        event.x = wx;
        event.y = wy;
        backend.SendHost(event);
        event.kind = HostEvent::MouseDown;
        event.button = 1;
        backend.SendHost(event);
        event.kind = HostEvent::MouseUp;
        backend.SendHost(event);
    }
    void ClickAt(uint64_t delayMs, int x, int y) {
        backend.After(delayMs, [this, x, y] { ClickNow(x, y); });
    }
    void StartKlondike() {
        Activate(10);
        ClickAt(10, 400, 100);  // ends the logo
        ClickAt(100, CentreOf(kKlondike - 1).x, CentreOf(kKlondike - 1).y);
        backend.PressKey(500, kHidS);  // "&Start" in its rule settings dialog
    }
    // Clicks the running game's menu title or open item with this caption.
    void ClickControl(uint64_t delayMs, const char* caption) {
        backend.After(delayMs, [this, caption] {
            Window* control = CurrentGame() ? FindControl(*CurrentGame()->Root(), caption) : nullptr;
            ASSERT_NE(control, nullptr) << caption;
            ClickNow(control->GetX() + control->GetWidth() / 2, control->GetY() + control->GetHeight() / 2);
        });
    }
};

TEST_F(ScaledWindowTest, FullScreenFollowsF11AndTheOptionsMenuAtAFractionalScale) {
    backend.SetWindowSize(1000, 700);
    backend.SetFullScreenSize(1920, 1080);
    StartKlondike();
    bool checkedAfterF11 = false;
    backend.At(20000, [&] { ASSERT_TRUE(IsGameRunning()); });
    backend.PressKey(0, kHidF11);
    backend.After(50, [&] {
        EXPECT_TRUE(IsFullScreen());
        EXPECT_EQ(backend.WindowWidth(), 1920);
        EXPECT_EQ(backend.View().Table().left, 240);
    });
    ClickControl(100, "&Options");
    backend.After(100, [&] {
        Window* item = FindControl(*CurrentGame()->Root(), "F&ull Screen");
        ASSERT_NE(item, nullptr);
        checkedAfterF11 = item->IsChecked();
    });
    ClickControl(0, "F&ull Screen");
    backend.After(100, [&] {
        EXPECT_FALSE(IsFullScreen());
        EXPECT_EQ(backend.WindowWidth(), 1000);
        EXPECT_TRUE(IsGameRunning());
        // The margins take the colour of the table's backdrop edge.
        EXPECT_EQ(backend.WindowPixels()[350 * 1000 + 5], backend.MarginColor());
    });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(checkedAfterF11);
}

// Idle at the table, in a window of a fractional scale: nothing reaches the window but the status
// line's clock, once a second.
TEST_F(ScaledWindowTest, IdleAtTheTablePresentsOnlyTheClockOnceASecond) {
    backend.SetWindowSize(1440, 1080);
    StartKlondike();
    int presents = 0, idlePresents = -1;
    backend.At(20000, [&] {
        ASSERT_TRUE(IsGameRunning());
        presents = backend.PresentCount();
    });
    backend.At(30000, [&] { idlePresents = backend.PresentCount() - presents; });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_GE(idlePresents, 9);
    EXPECT_LE(idlePresents, 11);
}

// A window the display cannot draw into: the host says why, and the program ends normally.
TEST_F(ShellTest, AWindowThatCannotDrawShowsTheDepthMessageThroughTheHost) {
    backend.SetCannotPresent(true);
    backend.SetDisplayModes({});
    EXPECT_EQ(RunApplication(), 0);
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_EQ(backend.MessageBoxes()[0], kDepthMessage);
    EXPECT_FALSE(backend.WindowExists());
    EXPECT_EQ(backend.PresentCount(), 0);
}

TEST_F(ShellTest, TheWindowsPlacementIsKeptAndTheCommandLineOverridesItsMode) {
    const char* plain[] = {"quillfen-solitaire"};
    WindowStart first = ReadWindowStart(1, plain);
    EXPECT_EQ(first.placement.mode, WindowMode::kWindow);
    EXPECT_FALSE(first.placement.placed);
    EXPECT_EQ(first.placement.width, 0);

    WindowPlacement ended{WindowMode::kFullScreen, -20, 40, 1200, 900, true, 0};
    SaveWindowPlacement(first, ended);
    WindowStart second = ReadWindowStart(1, plain);
    EXPECT_EQ(second.placement.mode, WindowMode::kFullScreen);
    EXPECT_EQ(second.placement.x, -20);
    EXPECT_EQ(second.placement.y, 40);
    EXPECT_EQ(second.placement.width, 1200);
    EXPECT_EQ(second.placement.height, 900);

    // A mode from the command line lasts one run; other arguments are passed on.
    const char* windowed[] = {"quillfen-solitaire", "--window", "--other"};
    WindowStart third = ReadWindowStart(3, windowed);
    EXPECT_EQ(third.placement.mode, WindowMode::kWindow);
    ASSERT_EQ(third.rest.size(), 2u);
    EXPECT_EQ(third.rest[1], "--other");
    SaveWindowPlacement(third, WindowPlacement{WindowMode::kWindow, 5, 6, 1000, 750, true, 0});
    EXPECT_EQ(ReadWindowStart(1, plain).placement.mode, WindowMode::kFullScreen);
    EXPECT_EQ(ReadWindowStart(1, plain).placement.width, 1000);

    // The classic window leaves the remembered window alone.
    const char* classic[] = {"quillfen-solitaire", "--fullscreen", "--classic-window"};
    WindowStart fourth = ReadWindowStart(3, classic);
    EXPECT_EQ(fourth.placement.mode, WindowMode::kClassic);
    SaveWindowPlacement(fourth, WindowPlacement{WindowMode::kClassic, 0, 0, 800, 600, true, 0});
    EXPECT_EQ(ReadWindowStart(1, plain).placement.width, 1000);

    // Values no window could have are ignored.
    const RegKey key = RegCreateKey(std::string(kRootKey) + "\\Window");
    RegSetDword(key, "Width", 0xFFFFFFFF);
    RegSetDword(key, "Mode", 7);
    RegCloseKey(key);
    const WindowStart odd = ReadWindowStart(1, plain);
    EXPECT_EQ(odd.placement.width, 0);
    EXPECT_EQ(odd.placement.mode, WindowMode::kWindow);
}

}  // namespace
