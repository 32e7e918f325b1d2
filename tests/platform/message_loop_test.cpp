#include <string>
#include <utility>

#include "platform/host_events.h"
#include "platform/keys.h"
#include "scripted_fixture.h"

namespace {

constexpr int kHidA = 4;
constexpr int kHidCapsLock = 57;
constexpr int kHidLeftShift = 225;

using MessageLoop = ScriptedTest;

// (timer id, virtual time) of the next WM_TIMER taken by GetMessage.
std::pair<WPARAM, uint64_t> NextTimer() {
    Message m;
    EXPECT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_TIMER);
    return {m.wParam, GetTickCount64()};
}

TEST_F(MessageLoop, TimersFireInDueOrderOnTheVirtualClock) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    backend.At(1'000'000, [] {});  // keeps the script (and so the loop) alive
    SetTimer(window, 2, 100);
    SetTimer(window, 1, 100);
    SetTimer(window, 3, 250);

    // Equal due times fire in id order.
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{1}, uint64_t{100}));
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{2}, uint64_t{100}));
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{1}, uint64_t{200}));
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{2}, uint64_t{200}));
    KillTimer(window, 2);
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{3}, uint64_t{250}));
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{1}, uint64_t{300}));
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{1}, uint64_t{400}));
    KillTimer(window, 3);

    // After a long sleep a timer fires once, then keeps its period from the time it fired.
    SleepMs(1000);
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{1}, uint64_t{1400}));
    EXPECT_EQ(NextTimer(), std::make_pair(WPARAM{1}, uint64_t{1500}));
}

TEST_F(MessageLoop, PostedMessagesComeBeforePaintAndPaintBeforeTimers) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    SetTimer(window, 1, 10);
    SleepMs(50);
    InvalidateWindow(window, true);
    PostMessage(window, WM_USER, 7, 0);
    PostMessage(window, WM_USER + 1, 8, 0);

    Message m;
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_USER);
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_USER + 1);
    received.clear();
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_PAINT);
    // The erase request is sent to the procedure just before the paint is handed out.
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_ERASEBKGND);
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_TIMER);

    // A paint without erase, and one validated before it was taken.
    received.clear();
    InvalidateWindow(window, false);
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.message, WM_PAINT);
    EXPECT_TRUE(received.empty());
    InvalidateWindow(window, true);
    ValidateWindow(window);
    EXPECT_FALSE(PeekMessage(&m, true));
}

// A burst of pointer motion waiting in the queue is one move to the latest position; a move on
// either side of a click is kept, so the press still happens where it happened.
TEST_F(MessageLoop, QueuedMouseMovesMergeIntoTheLatest) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    for (int i = 1; i <= 200; ++i) PostMessage(window, WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(i, i));
    PostMessage(window, WM_LBUTTONUP, 0, MakeLParam(200, 200));
    PostMessage(window, WM_MOUSEMOVE, 0, MakeLParam(5, 6));
    PostMessage(window, WM_MOUSEMOVE, 0, MakeLParam(7, 8));
    Message m;
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.message, WM_MOUSEMOVE);
    EXPECT_EQ(m.lParam, MakeLParam(200, 200));
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.message, WM_LBUTTONUP);
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.lParam, MakeLParam(7, 8));
    EXPECT_FALSE(PeekMessage(&m, true));
}

TEST_F(MessageLoop, PeekWithoutRemovalLeavesTheMessageAndTheClock) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    PostMessage(window, WM_USER, 1, 0);
    PostMessage(window, WM_USER, 2, 0);
    const uint64_t start = GetTickCount64();

    Message m;
    ASSERT_TRUE(PeekMessage(&m, false));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&m, false));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_FALSE(PeekMessage(&m, true));
    EXPECT_EQ(GetTickCount64(), start);

    // Peeking runs the script steps that are due, but never waits for later ones.
    backend.At(0, [window] { PostMessage(window, WM_USER, 3, 0); });
    backend.At(500, [window] { PostMessage(window, WM_USER, 4, 0); });
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(PeekMessage(&m, true));
    WaitMessage();
    EXPECT_EQ(GetTickCount64(), 500u);
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.wParam, 4u);
}

TEST_F(MessageLoop, KeyStateChangesAsMessagesAreTaken) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsCapsLockOn());
    HostEvent shift;
    shift.kind = HostEvent::KeyDown;
    shift.hidScancode = kHidLeftShift;
    backend.PostHost(0, shift);
    backend.PressKey(0, kHidA);
    shift.kind = HostEvent::KeyUp;
    backend.PostHost(0, shift);

    Message m;
    ASSERT_TRUE(PeekMessage(&m, false));
    EXPECT_FALSE(IsScanCodeDown(SC_LSHIFT)) << "a message only looked at does not count";
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_TRUE(IsScanCodeDown(SC_LSHIFT));
    EXPECT_TRUE(IsVirtualKeyDown(VK_SHIFT));
    EXPECT_TRUE(IsVirtualKeyDown(VK_LSHIFT));
    EXPECT_FALSE(IsVirtualKeyDown(VK_RSHIFT));
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_TRUE(IsVirtualKeyDown('A'));
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_FALSE(IsVirtualKeyDown('A'));
    EXPECT_TRUE(IsVirtualKeyDown(VK_SHIFT));
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_FALSE(IsVirtualKeyDown(VK_SHIFT));

    // Caps Lock toggles on each fresh press taken from the queue, not on auto-repeat.
    HostEvent caps;
    caps.hidScancode = kHidCapsLock;
    caps.kind = HostEvent::KeyDown;
    backend.PostHost(10, caps);
    caps.repeat = true;
    backend.PostHost(0, caps);
    caps.repeat = false;
    caps.kind = HostEvent::KeyUp;
    backend.PostHost(0, caps);
    backend.PressKey(10, kHidCapsLock);

    const bool expected[] = {true, true, true, false, false};
    for (bool on : expected) {
        ASSERT_TRUE(GetMessage(&m));
        EXPECT_EQ(IsCapsLockOn(), on) << "after message " << std::hex << m.message;
    }
}

TEST_F(MessageLoop, WaitingAfterTheCloseRequestIsAHang) {
    closeHandling = CloseHandling::Ignore;
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    Message m;
    ASSERT_TRUE(GetMessage(&m));
    EXPECT_EQ(m.message, WM_CLOSE);
    DispatchMessage(&m);
    EXPECT_THROW(GetMessage(&m), ScriptedBackend::Hang);
}

TEST_F(MessageLoop, PassingTheClockLimitIsAHang) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    backend.SetClockLimit(1000);
    backend.At(1'000'000, [] {});
    SetTimer(window, 1, 300);
    Message m;
    int ticks = 0;
    try {
        while (GetMessage(&m)) ++ticks;
        FAIL() << "the loop ended";
    } catch (const ScriptedBackend::Hang&) {
    }
    EXPECT_EQ(ticks, 3);
}

TEST_F(MessageLoop, RefusedCreationDestroysTheWindow) {
    // The procedure refuses WM_CREATE: the window is destroyed again, with WM_DESTROY.
    HWND window = CreateMainWindow("test", 800, 600, [](HWND w, uint32_t message, WPARAM wParam, LPARAM lParam) {
        received.push_back(Message{w, message, wParam, lParam});
        return message == WM_CREATE ? LRESULT{-1} : LRESULT{0};
    });
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(MainWindowHandle(), nullptr);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, WM_CREATE);
    EXPECT_EQ(received[1].message, WM_DESTROY);
    EXPECT_FALSE(backend.WindowExists());

    // A back end that cannot make a window: the procedure never hears of it.
    received.clear();
    backend.SetFailWindowCreation(true);
    EXPECT_EQ(CreateWindow(), nullptr);
    EXPECT_TRUE(received.empty());
}

}  // namespace
