// The real start-up, message loop and shut-down on the scripted back end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "draw/draw.h"
#include "platform/host_events.h"
#include "platform/instance.h"
#include "platform/paths.h"
#include "platform/scripted_backend.h"
#include "shell/display_depth.h"
#include "shell/shell.h"

namespace {

constexpr int kHidEscape = 41;
constexpr int kHidF12 = 69;
constexpr int kHidA = 4;
constexpr int kHidEnter = 40;

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        runtimeDir = std::filesystem::temp_directory_path() /
                     ("quillfen-shell-" + std::to_string(::getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(runtimeDir);
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        SetBackend(&backend);
    }
    void TearDown() override {
        SetBackend(nullptr);
        std::filesystem::remove_all(runtimeDir);
    }
    void Activate(uint64_t delayMs) {
        HostEvent focus;
        focus.kind = HostEvent::FocusGained;
        backend.PostHost(delayMs, focus);
    }

    ScriptedBackend backend;
    std::filesystem::path runtimeDir;
};

TEST(DisplayDepth, FollowsTheEnumerationRule) {
    EXPECT_EQ(ChooseDisplayDepth({}), 0);
    EXPECT_EQ(ChooseDisplayDepth({{800, 600, 8}}), 8);
    EXPECT_EQ(ChooseDisplayDepth({{800, 600, 16}, {800, 600, 24}}), 24);
    // Once 24 bits is chosen a later 32-bit mode does not replace it; in the other order it wins.
    EXPECT_EQ(ChooseDisplayDepth({{800, 600, 24}, {800, 600, 32}}), 24);
    EXPECT_EQ(ChooseDisplayDepth({{800, 600, 32}, {800, 600, 24}}), 32);
    EXPECT_EQ(ChooseDisplayDepth({{800, 600, 16}, {800, 600, 32}}), 32);
    // Modes of other sizes and impossible depths do not count.
    EXPECT_EQ(ChooseDisplayDepth({{1024, 768, 32}, {800, 600, 16}, {800, 600, 48}}), 16);
}

TEST_F(ShellTest, StartsPaintsAndEndsOnEscape) {
    Activate(10);
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
    });
    backend.PressKey(100, kHidEscape);

    EXPECT_EQ(RunApplication(), 0);
    EXPECT_EQ(checkedAt, 1000u);
    EXPECT_FALSE(backend.WindowExists());
    EXPECT_EQ(ShellWindow(), nullptr);
    EXPECT_EQ(ScreenBuffer(), -1);
    EXPECT_TRUE(backend.MessageBoxes().empty());
    // The whole (black) screen buffer reached the window.
    ASSERT_EQ(backend.WindowPixels().size(), 800u * 600u);
    EXPECT_EQ(backend.WindowPixels()[0], 0u);
    EXPECT_EQ(backend.WindowPixels()[800 * 600 - 1], 0u);
}

TEST_F(ShellTest, TheExitButtonEndsTheProgramAndPlayersDoesNot) {
    Activate(10);
    backend.Click(100, 20 + 42, 15 + 27);  // Players
    bool runningAfterPlayers = false;
    backend.At(1000, [&] { runningAfterPlayers = ShellWindow() != nullptr; });
    backend.Click(100, 696 + 42, 15 + 27);  // Exit
    bool reachedLaterStep = false;
    backend.At(5000, [&] { reachedLaterStep = true; });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(runningAfterPlayers);
    EXPECT_FALSE(reachedLaterStep);
}

TEST_F(ShellTest, F12AlsoEndsTheProgramOnTheSelectionScreen) {
    Activate(10);
    backend.PressKey(100, kHidF12);
    bool reachedLaterStep = false;
    backend.At(5000, [&] { reachedLaterStep = true; });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_FALSE(reachedLaterStep);
    EXPECT_LT(backend.NowMs(), 5000u);
}

TEST_F(ShellTest, InputIsIgnoredWhileInactive) {
    // No activation: Escape must be dropped by the input pre-filter.
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

TEST_F(ShellTest, OtherKeysAndTimersLeaveTheSelectionScreenRunning) {
    Activate(10);
    backend.PressKey(100, kHidA);
    bool running = false;
    // Thirty seconds of both 100 ms timers on the selection screen.
    backend.At(30000, [&] { running = ShellWindow() != nullptr && !IsGameRunning(); });
    backend.PressKey(10, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(running);
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

TEST_F(ShellTest, RunsAtTwentyFourBitsWhenOfferedSixteenAndTwentyFour) {
    backend.SetDisplayModes({{800, 600, 16}, {800, 600, 24}});
    int depth = 0;
    backend.At(50, [&] { depth = ShellDisplayDepth(); });
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_EQ(depth, 24);
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(ShellTest, ASecondCopyLeavesWithoutAWindow) {
    SingleInstance first(RuntimeDirectory());
    ASSERT_TRUE(first.IsFirst());
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_FALSE(backend.WindowExists());
    EXPECT_EQ(backend.PresentCount(), 0);
}

TEST_F(ShellTest, WindowCreationFailureEndsQuietly) {
    backend.SetFailWindowCreation(true);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(backend.MessageBoxes().empty());
}

TEST_F(ShellTest, TheProgramCanRunTwiceInOneProcess) {
    // Nothing of the first run (queued quit, timers, buffers, fonts) may leak into the second.
    for (int run = 0; run < 2; ++run) {
        ScriptedBackend fresh;
        SetBackend(&fresh);
        HostEvent focus;
        focus.kind = HostEvent::FocusGained;
        fresh.PostHost(10, focus);
        bool running = false;
        fresh.At(300, [&] { running = ShellWindow() != nullptr; });
        fresh.PressKey(100, kHidEscape);
        EXPECT_EQ(RunApplication(), 0) << "run " << run;
        EXPECT_TRUE(running) << "run " << run;
    }
}

}  // namespace
