// The real start-up, message loop and shut-down on the scripted back end, and the program in
// windows larger and smaller than its table: input given in window pixels reaches the game's menus
// in logical ones, full screen switches from the keyboard and the Options menu, idle presents
// stay few, and the window's placement is kept between runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>

#include "draw/draw.h"
#include "framework/game.h"
#include "platform/host_events.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/scripted_backend.h"
#include "platform/settings_file.h"
#include "shell/display_depth.h"
#include "shell/shell.h"
#include "shell/window_options.h"
#include "store/settings_store.h"
#include "tests/hooks/test_hooks.h"
#include "tests/shell/shell_fixture.h"
#include "ui/window.h"

namespace {

using namespace shell_test;

TEST_F(ShellTest, StartsPaintsAndEndsOnEscape) {
    Activate(10);
    EndLogo(10);
    uint64_t checkedAt = 0;
    backend.At(1000, [&] {
        checkedAt = backend.NowMs();
        EXPECT_TRUE(backend.WindowExists());
        EXPECT_TRUE(backend.WindowVisible());
        EXPECT_TRUE(IsApplicationActive());
        EXPECT_FALSE(IsGameRunning());
        ASSERT_GE(ScreenBuffer(), 0);
        EXPECT_EQ(BufferWidth(ScreenBuffer()), 800);
        EXPECT_EQ(BufferHeight(ScreenBuffer()), 600);
        EXPECT_GE(ShellDisplayDepth(), 16);
        // Everything drawn so far has reached the window.
        ASSERT_EQ(backend.WindowPixels().size(), 800u * 600u);
        EXPECT_TRUE(std::equal(backend.WindowPixels().begin(), backend.WindowPixels().end(),
                               BufferPixels(ScreenBuffer())));
    });
    backend.PressKey(100, kHidEscape);

    EXPECT_EQ(RunApplication(), 0);
    EXPECT_EQ(checkedAt, 1000u);
    EXPECT_FALSE(backend.WindowExists());
    EXPECT_EQ(ShellWindow(), nullptr);
    EXPECT_EQ(ScreenBuffer(), -1);
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(ShellTest, InputIsIgnoredWhileInactive) {
    // No activation: Escape must be dropped by the input pre-filter. The logo takes presses
    // whether or not the program is active.
    EndLogo(10);
    backend.PressKey(100, kHidEscape);
    bool runningAfterEscape = false;
    int presentsWhileInactive = -1;
    backend.At(500, [&] {
        runningAfterEscape = ShellWindow() != nullptr;
        presentsWhileInactive = backend.PresentCount();
        InvalidateWindow(ShellWindow(), true);
    });
    int presentsAfterPaint = -1;
    backend.At(600, [&] { presentsAfterPaint = backend.PresentCount(); });
    // Activation followed by WM_SETFOCUS repaints everything.
    Activate(100);
    int presentsAfterActivation = -1;
    backend.At(800, [&] { presentsAfterActivation = backend.PresentCount(); });

    EXPECT_EQ(RunApplication(), 0);  // ended by the script running out (WM_CLOSE)
    EXPECT_TRUE(runningAfterEscape);
    EXPECT_EQ(presentsAfterPaint, presentsWhileInactive);
    EXPECT_GT(presentsAfterActivation, presentsAfterPaint);
}

TEST_F(ShellTest, RefusesADisplayBelowSixteenBitsWithItsOwnMessageBox) {
    backend.SetDisplayModes({{800, 600, 8}, {1024, 768, 32}});
    Activate(10);
    bool boxOnScreen = false;
    backend.At(500, [&] {
        // The message box sits in the middle of an otherwise black screen.
        const auto& pixels = backend.WindowPixels();
        ASSERT_EQ(pixels.size(), 800u * 600u);
        EXPECT_EQ(pixels[10 * 800 + 10], 0u);
        boxOnScreen = pixels[300 * 800 + 400] != 0u;
    });
    backend.PressKey(100, kHidEnter);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(boxOnScreen);
    EXPECT_FALSE(backend.WindowExists());
    EXPECT_TRUE(backend.ScriptDone());
}

// Start-up (the logo, the player dialog) runs inside window creation; a copy started then must
// still bring the first one forward.
TEST_F(ShellTest, ASecondCopyDuringTheLogoRaisesTheFirst) {
    Activate(10);
    backend.At(200, [] {
        SingleInstance second(RuntimeDirectory());
        EXPECT_FALSE(second.IsFirst());
        // The first copy's listener answers on its own thread: wait (in real time, a few seconds
        // at most) until its request is in the queue, leaving the queue as it was.
        bool posted = false;
        for (int tries = 0; tries < 60 && !posted; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::vector<Message> queued;
            Message message;
            while (PeekMessage(&message, true)) queued.push_back(message);
            for (const Message& m : queued) {
                posted = posted || m.message == WM_APP_RAISE;
                PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
            }
        }
        EXPECT_TRUE(posted);
    });
    int raisesDuringLogo = -1;
    backend.At(400, [&] { raisesDuringLogo = backend.RaiseCount(); });
    EndLogo(1000);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_EQ(raisesDuringLogo, 1);
}

TEST_F(ShellTest, WindowCreationFailureEndsQuietly) {
    backend.SetFailWindowCreation(true);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(ShellTest, AFirstRunAsksForThePlayerAndCancellingEndsTheProgram) {
    ForgetSettings();
    Activate(10);
    EndLogo(10);
    backend.PressKey(100, kHidEscape);  // cancels the player dialog
    bool reachedLaterStep = false;
    backend.At(5000, [&] { reachedLaterStep = true; });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_FALSE(reachedLaterStep);
    SettingsKey preferences(PreferencesPath());
    EXPECT_EQ(ReadStringValue(preferences, "HumanName", ""), "");
}

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

// F11, the Options menu's item and Alt+Enter switch full screen at a fractional scale. Alt+Enter
// does nothing else: Alt around it is no tap on its own, which would drop the Game menu down.
TEST_F(ScaledWindowTest, FullScreenFollowsF11TheOptionsMenuAndAltEnter) {
    backend.SetWindowSize(1000, 700);
    backend.SetFullScreenSize(1920, 1080);
    StartKlondike();
    bool checkedAfterF11 = false, fullScreen = false, menuOpen = true;
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
    });
    PressWith(kHidLeftAlt, kHidEnter);
    backend.After(50, [&] {
        fullScreen = IsFullScreen();
        menuOpen = CurrentGame()->IsMenuOpen();
    });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(checkedAfterF11);
    EXPECT_TRUE(fullScreen);
    EXPECT_FALSE(menuOpen);
}

// Full screen at 1920 x 1080: the margins beside the table continue its backdrop, so the colour
// step across the table's edge is no larger than the steps inside the backdrop next to it, and
// the margins are no flat bars.
TEST_F(ScaledWindowTest, TheMarginsContinueTheBackdropWithoutASeam) {
    backend.SetWindowSize(1000, 750);
    backend.SetFullScreenSize(1920, 1080);
    backend.SetScaleFollowsWindow(true);
    StartKlondike();
    backend.At(20000, [&] { ASSERT_TRUE(IsGameRunning()); });
    backend.PressKey(0, kHidF11);
    double across = 0, within = 0, spread = 0;
    backend.After(500, [&] {
        ASSERT_TRUE(IsFullScreen());
        const Rect table = backend.View().Table();
        ASSERT_EQ(table.left, 240);
        const std::vector<uint32_t>& shown = backend.WindowPixels();
        const int width = backend.WindowWidth();
        auto step = [&](int x, int y) {
            const uint32_t a = shown[y * width + x], b = shown[y * width + x + 1];
            int total = 0;
            for (int shift : {0, 8, 16}) total += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            return total;
        };
        // Rows below the menu bar and above the status rail; the first columns of the table
        // hold only the backdrop.
        int rows = 0;
        long long sum = 0;
        for (int y = table.top + 80; y < table.top + 900; ++y, ++rows) {
            for (const int edge : {table.left - 1, table.right}) across += step(edge, y);
            for (int k = 1; k <= 4; ++k) within += step(table.left + k, y) + step(table.right - 1 - k, y);
            sum += shown[y * width + 100] & 0xFF;
        }
        across /= 2.0 * rows;
        within /= 8.0 * rows;
        const double mean = static_cast<double>(sum) / rows;
        for (int y = table.top + 80; y < table.top + 900; ++y) spread += std::abs((shown[y * width + 100] & 0xFF) - mean);
        spread /= rows;
    });
    // A tall window: the margin above the table mirrors its top rows, but never the game's title
    // drawn into the backdrop there. Its band is as calm as the rows below it.
    backend.PressKey(100, kHidF11);
    backend.After(100, [&] { backend.SetWindowSize(1000, 1500); });
    double titleBand = 0, belowBand = 0;
    backend.After(500, [&] {
        ASSERT_FALSE(IsFullScreen());
        const Rect table = backend.View().Table();
        const std::vector<uint32_t>& shown = backend.WindowPixels();
        const int width = backend.WindowWidth();
        const double f = table.Width() / 800.0;
        ASSERT_GT(table.top, static_cast<int>(110 * f));
        const auto contrast = [&](int firstRow, int lastRow) {
            double sum = 0;
            int count = 0;
            for (int row = firstRow; row <= lastRow; ++row) {
                const int y = table.top - 1 - static_cast<int>(row * f);
                for (int x = table.left + static_cast<int>(260 * f); x < table.left + static_cast<int>(540 * f); ++x, ++count)
                    for (int shift : {0, 8, 16})
                        sum += std::abs(static_cast<int>((shown[y * width + x] >> shift) & 0xFF) -
                                        static_cast<int>((shown[y * width + x + 1] >> shift) & 0xFF));
            }
            return sum / count;
        };
        titleBand = contrast(40, 64);
        belowBand = contrast(72, 96);
    });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_GT(within, 0.0);
    EXPECT_LE(across, within);
    EXPECT_GT(spread, 0.5) << "a flat margin";
    EXPECT_GT(belowBand, 0.0);
    EXPECT_LT(titleBand, 2 * belowBand) << "the title shows in the margin";
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
    const auto placed = [](const WindowStart& start) {
        const WindowPlacement& p = start.placement;
        return std::make_tuple(p.mode, p.placed, p.x, p.y, p.width, p.height);
    };
    const char* plain[] = {"quillfen-solitaire"};
    WindowStart first = ReadWindowStart(1, plain);
    EXPECT_EQ(placed(first), std::make_tuple(WindowMode::kWindow, false, 0, 0, 0, 0));
    SaveWindowPlacement(first, WindowPlacement{WindowMode::kFullScreen, -20, 40, 1200, 900, true, 0});
    EXPECT_EQ(placed(ReadWindowStart(1, plain)), std::make_tuple(WindowMode::kFullScreen, true, -20, 40, 1200, 900));

    // A mode from the command line lasts one run; other arguments are passed on.
    const char* windowed[] = {"quillfen-solitaire", "--window", "--other"};
    WindowStart third = ReadWindowStart(3, windowed);
    EXPECT_EQ(third.placement.mode, WindowMode::kWindow);
    ASSERT_EQ(third.rest.size(), 2u);
    EXPECT_EQ(third.rest[1], "--other");
    SaveWindowPlacement(third, WindowPlacement{WindowMode::kWindow, 5, 6, 1000, 750, true, 0});
    EXPECT_EQ(placed(ReadWindowStart(1, plain)), std::make_tuple(WindowMode::kFullScreen, true, 5, 6, 1000, 750));

    // The classic window leaves the remembered window alone.
    const char* classic[] = {"quillfen-solitaire", "--fullscreen", "--classic-window"};
    WindowStart fourth = ReadWindowStart(3, classic);
    EXPECT_EQ(fourth.placement.mode, WindowMode::kClassic);
    SaveWindowPlacement(fourth, WindowPlacement{WindowMode::kClassic, 0, 0, 800, 600, true, 0});
    EXPECT_EQ(placed(ReadWindowStart(1, plain)), std::make_tuple(WindowMode::kFullScreen, true, 5, 6, 1000, 750));

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
