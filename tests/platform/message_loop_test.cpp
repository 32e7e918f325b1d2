// The message loop on the virtual clock: timers, the order of the queue, merged mouse moves,
// window creation and the host exposing the window.
#include <string>
#include <utility>

#include "platform/host_events.h"
#include "platform/keys.h"
#include "scripted_fixture.h"

namespace {

using MessageLoop = ScriptedTest;

// The kind of the next message taken, waiting for it or not; 0 when there is none.
uint32_t Next(bool wait = true) {
    Message m;
    return (wait ? GetMessage(&m) : PeekMessage(&m, true)) ? m.message : 0;
}

// (timer id, virtual time) of each of the next WM_TIMERs taken by GetMessage.
void ExpectTimers(std::initializer_list<std::pair<WPARAM, uint64_t>> expected) {
    for (const auto& [id, time] : expected) {
        Message m;
        EXPECT_TRUE(GetMessage(&m));
        EXPECT_EQ(m.message, WM_TIMER);
        EXPECT_EQ(std::make_pair(m.wParam, GetTickCount64()), std::make_pair(id, time));
    }
}

TEST_F(MessageLoop, TimersFireInDueOrderOnTheVirtualClock) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    backend.At(1'000'000, [] {});  // keeps the script (and so the loop) alive
    SetTimer(window, 2, 100);
    SetTimer(window, 1, 100);
    SetTimer(window, 3, 250);

    ExpectTimers({{1, 100}, {2, 100}, {1, 200}, {2, 200}});  // equal due times fire in id order
    KillTimer(window, 2);
    ExpectTimers({{3, 250}, {1, 300}, {1, 400}});
    KillTimer(window, 3);

    // After a long sleep a timer fires once, then keeps its period from the time it fired.
    SleepMs(1000);
    ExpectTimers({{1, 1400}, {1, 1500}});
}

TEST_F(MessageLoop, PostedMessagesComeBeforePaintAndPaintBeforeTimersAndExposurePaints) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    SetTimer(window, 1, 10);
    SleepMs(50);
    InvalidateWindow(window, true);
    PostMessage(window, WM_USER, 7, 0);
    PostMessage(window, WM_USER + 1, 8, 0);

    EXPECT_EQ(Next(), WM_USER);
    EXPECT_EQ(Next(), WM_USER + 1);
    received.clear();
    EXPECT_EQ(Next(), WM_PAINT);
    // The erase request is sent to the procedure just before the paint is handed out.
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_ERASEBKGND);
    EXPECT_EQ(Next(), WM_TIMER);

    // A paint without erase, and one validated before it was taken.
    received.clear();
    InvalidateWindow(window, false);
    EXPECT_EQ(Next(false), WM_PAINT);
    EXPECT_TRUE(received.empty());
    InvalidateWindow(window, true);
    ValidateWindow(window);
    EXPECT_EQ(Next(false), 0u);

    // The window exposed by the host is painted again, erased first.
    HostEvent exposed;
    exposed.kind = HostEvent::Exposed;
    std::vector<Message> out;
    TranslateHostEvent(exposed, window, &out);
    EXPECT_TRUE(out.empty());
    received.clear();
    EXPECT_EQ(Next(false), WM_PAINT);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_ERASEBKGND);
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
    EXPECT_EQ(Next(false), 0u);

    // Paced at a display's frame, moves arriving a millisecond apart are taken once per frame,
    // each at the newest place (the move arriving at a millisecond is that far along), not where
    // the pointer was when the frame began; the release behind the last one waits at most a frame.
    backend.SetMotionPaceMs(16);
    const auto burst = [&](std::vector<std::pair<uint64_t, LPARAM>>& moves, int& ticks) {
        for (int i = 1; i <= 100; ++i) backend.MoveMouse(1, i, i);
        backend.PostHost(0, HostEvent{.kind = HostEvent::MouseUp, .x = 100, .y = 100, .button = 1});
        const uint64_t start = GetTickCount64();
        for (;;) {
            ASSERT_TRUE(GetMessage(&m));
            if (m.message == WM_TIMER) {
                ++ticks;
                continue;
            }
            if (m.message != WM_MOUSEMOVE) break;
            const uint64_t at = GetTickCount64() - start;
            EXPECT_GE(static_cast<uint64_t>(m.lParam & 0xFFFF) + 1, std::min<uint64_t>(at, 100)) << "taken at " << at;
            moves.emplace_back(at, m.lParam);
        }
        EXPECT_EQ(m.message, WM_LBUTTONUP);
        EXPECT_LE(GetTickCount64() - start, 100u + 16u);
        ASSERT_FALSE(moves.empty());
        EXPECT_EQ(moves.back().second, MakeLParam(100, 100));
    };
    std::vector<std::pair<uint64_t, LPARAM>> moves;
    int ticks = 0;
    const uint64_t takenBefore = PointerMovesTaken();
    burst(moves, ticks);
    ASSERT_GE(moves.size(), 6u);
    EXPECT_LE(moves.size(), 8u);
    EXPECT_EQ(PointerMovesTaken() - takenBefore, moves.size());  // what a measurement counts
    for (size_t i = 1; i + 1 < moves.size(); ++i) EXPECT_GE(moves[i].first - moves[i - 1].first, 16u) << i;

    // A timer falling due inside the held frames still runs, without taking the held move with
    // it, and the loop sleeps to it instead of waking for each move of the burst.
    SetTimer(window, 7, 10);
    moves.clear();
    const int waitsBefore = backend.WaitCount();
    burst(moves, ticks);
    KillTimer(window, 7);
    EXPECT_GE(ticks, 9);
    EXPECT_LE(moves.size(), 8u);
    EXPECT_LE(backend.WaitCount() - waitsBefore, 25) << "woken for the moves of the burst";
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
