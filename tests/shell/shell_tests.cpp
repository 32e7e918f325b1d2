// The real start-up, message loop and shut-down on the scripted back end.
#include <chrono>
#include <thread>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "draw/draw.h"
#include "framework/game.h"
#include "platform/host_events.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/scripted_backend.h"
#include "shell/display_depth.h"
#include "shell/shell.h"
#include "store/settings_store.h"
#include "tests/shell/shell_fixture.h"

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

}  // namespace
