#include "platform/messages.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <map>
#include <mutex>

#include "platform/backend.h"
#include "platform/keys.h"

struct MainWindow {
    WindowProcedure procedure = nullptr;
};

namespace {

// Windows raises shorter timer periods to this minimum; so do we, so that a zero period cannot
// flood the queue.
constexpr uint32_t kMinimumTimerPeriodMs = 10;
// Key state is kept per scan code with the extended flag as bit 8, so that for example the
// right Control key and the left one are tracked apart and released independently.
constexpr int kScanStates = 0x200;
constexpr int kVirtualKeyStates = 0x100;
constexpr LPARAM kKeyRepeatBit = LPARAM{1} << 30;

struct Timer {
    HWND window = nullptr;
    uint32_t periodMs = 0;
    uint64_t dueMs = 0;
};

struct QueueState {
    std::mutex mutex;
    // Wakes a loop that waits while no back end is installed.
    std::condition_variable posted;
    std::deque<Message> messages;
    MainWindow window;
    bool windowAlive = false;
    bool destroying = false;
    bool paintPending = false;
    bool erasePending = false;
    std::map<uintptr_t, Timer> timers;  // ordered by id, which breaks ties between due timers
    std::array<bool, kScanStates> scanDown{};
    std::array<bool, kVirtualKeyStates> virtualKeyDown{};
    bool capsLock = false;
    // When the last WM_MOUSEMOVE was taken, for the pace of pointer moves.
    uint64_t lastMoveTakenMs = 0;
    bool anyMoveTaken = false;
    uint64_t movesTaken = 0;  // for measurements: how many moves were acted on after merging
    LPARAM lastMoveTaken = 0;  // and where the last of them went
};

QueueState& State() {
    static QueueState state;
    return state;
}

bool IsLiveWindow(QueueState& state, HWND window) {
    return window == &state.window && state.windowAlive;
}

// Records a key message the way GetKeyState sees it: as of the last message taken.
void TrackKeyboard(QueueState& state, const Message& message) {
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if (!down && !up) return;
    const int scan = static_cast<int>((message.lParam >> 16) & 0x1FF);
    state.scanDown[scan] = down;
    if (message.wParam < kVirtualKeyStates) {
        // Caps Lock toggles on a fresh press only; holding the key does not make it flicker.
        if (down && message.wParam == VK_CAPITAL && (message.lParam & kKeyRepeatBit) == 0) {
            state.capsLock = !state.capsLock;
        }
        state.virtualKeyDown[message.wParam] = down;
    }
}

// A pointer move that is the only thing waiting, and came sooner than the pace after the last
// move taken, is held until its time (returned, 0 when nothing is held): moves arriving
// meanwhile replace it, so a burst of them costs one step per frame. Anything else posted lets
// it through at once, which keeps the order of input; a timer falling due meanwhile runs without
// it, so the game's tick does not cost the burst an extra move.
uint64_t HeldMoveDueMs(const QueueState& state, uint64_t now, uint32_t paceMs) {
    if (paceMs == 0 || !state.anyMoveTaken || state.messages.size() != 1 ||
        state.messages.front().message != WM_MOUSEMOVE || state.paintPending) {
        return 0;
    }
    const uint64_t due = state.lastMoveTakenMs + paceMs;
    return due > now ? due : 0;
}

uint32_t MotionPace() {
    Backend* backend = CurrentBackend();
    return backend ? backend->MotionPaceMs() : 0;
}

// Takes (or, with remove unset, only looks at) the next message in the order posted messages,
// WM_PAINT, due WM_TIMER. Sets needErase when WM_ERASEBKGND must be sent before a WM_PAINT.
// A pointer move held for its frame counts as nothing waiting yet.
bool NextMessage(Message* out, bool remove, bool* needErase) {
    const uint64_t now = GetTickCount64();
    const uint32_t paceMs = MotionPace();
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    *needErase = false;
    if (!state.messages.empty() && HeldMoveDueMs(state, now, paceMs) == 0) {
        *out = state.messages.front();
        if (remove) {
            state.messages.pop_front();
            TrackKeyboard(state, *out);
            if (out->message == WM_MOUSEMOVE) {
                state.lastMoveTakenMs = now;
                state.anyMoveTaken = true;
                ++state.movesTaken;
                state.lastMoveTaken = out->lParam;
            }
        }
        return true;
    }
    if (state.paintPending && state.windowAlive) {
        *out = Message{&state.window, WM_PAINT, 0, 0};
        if (remove) {
            // A WM_PAINT taken counts as validated, so a procedure that ignores it does not
            // receive it again and again.
            state.paintPending = false;
            *needErase = state.erasePending;
            state.erasePending = false;
        }
        return true;
    }
    Timer* due = nullptr;
    uintptr_t dueId = 0;
    for (auto& [id, timer] : state.timers) {
        if (timer.dueMs <= now && (!due || timer.dueMs < due->dueMs)) {
            due = &timer;
            dueId = id;
        }
    }
    if (!due) return false;
    *out = Message{due->window, WM_TIMER, dueId, 0};
    // However many periods passed, a timer fires once per retrieval and then starts over.
    if (remove) due->dueMs = now + due->periodMs;
    return true;
}

ScaleChangeHandler scaleChangeHandler = nullptr;

// Set on the thread that takes messages: a message it posts itself is seen before it next waits,
// so only other threads need to wake the back end.
thread_local bool takesMessages = false;

volatile std::sig_atomic_t terminationSignalled = 0;
extern "C" void OnTerminationSignal(int) { terminationSignalled = 1; }

bool TakeNext(Message* out, bool remove) {
    // A signal handler may not touch the queue, so the request is posted here, by the loop.
    if (terminationSignalled != 0) {
        terminationSignalled = 0;
        if (HWND window = MainWindowHandle()) PostMessage(window, WM_CLOSE, 0, 0);
    }
    bool needErase = false;
    if (!NextMessage(out, remove, &needErase)) return false;
    if (needErase) SendMessage(out->hwnd, WM_ERASEBKGND, 0, 0);
    if (remove && out->message == WM_APP_RESCALE && scaleChangeHandler) {
        if (Backend* backend = CurrentBackend()) scaleChangeHandler(backend->DeviceScale());
    }
    return true;
}

uint64_t NextTimerDue() {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    uint64_t next = UINT64_MAX;
    for (const auto& entry : state.timers) next = std::min(next, entry.second.dueMs);
    return next;
}

uint64_t HeldMoveDue() {
    const uint64_t now = GetTickCount64();
    const uint32_t paceMs = MotionPace();
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    return HeldMoveDueMs(state, now, paceMs);
}

// Blocks until a host event, a posted message or the given time, whichever comes first. While a
// pointer move is held for its frame the loop sleeps instead, to that time or to a timer due
// before it: waking for every host event of a burst of motion would cost more than the moves it
// merges, and a press arriving meanwhile waits at most one frame. (The game's timer falls due
// every tenth of a second, inside many a held frame.) What arrived during the sleep is read
// before the held move is let through, so the moves of the frame merge into it and the one taken
// is the newest place, not the first that arrived in the frame.
void WaitForInput(uint64_t untilMs) {
    if (Backend* backend = CurrentBackend()) {
        const uint64_t held = HeldMoveDue();
        if (held != 0) {
            const uint64_t wake = std::min(held, untilMs), now = backend->NowMs();
            if (wake > now) backend->SleepMs(static_cast<uint32_t>(wake - now));
            backend->PumpEvents(false, 0);
            return;
        }
        backend->PumpEvents(true, untilMs);
        return;
    }
    QueueState& state = State();
    std::unique_lock lock(state.mutex);
    if (!state.messages.empty()) return;
    if (untilMs == UINT64_MAX) {
        state.posted.wait(lock);
    } else {
        const uint64_t now = GetTickCount64();
        const uint64_t wait = untilMs > now ? untilMs - now : 0;
        state.posted.wait_for(lock, std::chrono::milliseconds(wait));
    }
}

void PumpPending() {
    if (Backend* backend = CurrentBackend()) backend->PumpEvents(false, 0);
}

}  // namespace

uint64_t PointerMovesTaken(int* lastX, int* lastY) {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    if (lastX) *lastX = LowWord(state.lastMoveTaken);
    if (lastY) *lastY = HighWord(state.lastMoveTaken);
    return state.movesTaken;
}

void ResetMessageQueue() {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    state.messages.clear();
    state.window = MainWindow{};
    state.windowAlive = false;
    state.destroying = false;
    state.paintPending = false;
    state.erasePending = false;
    state.timers.clear();
    state.scanDown.fill(false);
    state.virtualKeyDown.fill(false);
    state.capsLock = false;
    state.anyMoveTaken = false;
}

HWND CreateMainWindow(const char* title, int width, int height, WindowProcedure procedure) {
    QueueState& state = State();
    if (!procedure) return nullptr;
    {
        std::lock_guard lock(state.mutex);
        if (state.windowAlive) return nullptr;
    }
    Backend* backend = CurrentBackend();
    if (backend && !backend->CreateWindow(title, width, height)) return nullptr;
    {
        std::lock_guard lock(state.mutex);
        state.window.procedure = procedure;
        state.windowAlive = true;
        state.destroying = false;
        state.capsLock = backend && backend->HostCapsLockOn();
    }
    HWND window = &state.window;
    if (SendMessage(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    return IsWindow(window) ? window : nullptr;
}

void ShowMainWindow(HWND window) {
    if (!IsWindow(window)) return;
    if (Backend* backend = CurrentBackend()) backend->ShowWindow();
}

void DestroyWindow(HWND window) {
    QueueState& state = State();
    {
        std::lock_guard lock(state.mutex);
        if (!IsLiveWindow(state, window) || state.destroying) return;
        state.destroying = true;
    }
    SendMessage(window, WM_DESTROY, 0, 0);
    if (Backend* backend = CurrentBackend()) backend->DestroyWindow();
    std::lock_guard lock(state.mutex);
    state.windowAlive = false;
    state.destroying = false;
    state.paintPending = false;
    state.erasePending = false;
    state.timers.clear();
    // Messages still addressed to the window die with it; WM_QUIT (no window) stays.
    std::erase_if(state.messages, [window](const Message& m) { return m.hwnd == window; });
}

HWND MainWindowHandle() {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    return state.windowAlive ? &state.window : nullptr;
}

bool IsWindow(HWND window) {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    return IsLiveWindow(state, window);
}

bool GetMessage(Message* message) {
    takesMessages = true;
    for (;;) {
        if (TakeNext(message, true)) return message->message != WM_QUIT;
        PumpPending();
        if (TakeNext(message, true)) return message->message != WM_QUIT;
        WaitForInput(NextTimerDue());
    }
}

bool PeekMessage(Message* message, bool remove) {
    takesMessages = true;
    if (TakeNext(message, remove)) return true;
    PumpPending();
    return TakeNext(message, remove);
}

void WaitMessage() {
    takesMessages = true;
    Message ignored;
    for (;;) {
        if (TakeNext(&ignored, false)) return;
        PumpPending();
        if (TakeNext(&ignored, false)) return;
        WaitForInput(NextTimerDue());
    }
}

void PostMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    QueueState& state = State();
    {
        std::lock_guard lock(state.mutex);
        // A move still waiting behind nothing else is replaced by the newer one, so a burst of
        // pointer motion costs one step of dragging, not one per host event.
        if (message == WM_MOUSEMOVE && !state.messages.empty() && state.messages.back().message == WM_MOUSEMOVE &&
            state.messages.back().hwnd == window) {
            state.messages.back() = Message{window, message, wParam, lParam};
        } else if (message == WM_APP_RESCALE &&
                   std::any_of(state.messages.begin(), state.messages.end(),
                               [](const Message& m) { return m.message == WM_APP_RESCALE; })) {
            // One waiting is enough: its handler reads the scale asked for when it is taken.
        } else {
            state.messages.push_back(Message{window, message, wParam, lParam});
        }
    }
    state.posted.notify_all();
    if (takesMessages) return;
    if (Backend* backend = CurrentBackend()) backend->WakeUp();
}

void PostQuitMessage(int exitCode) {
    PostMessage(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT SendMessage(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    WindowProcedure procedure = nullptr;
    {
        QueueState& state = State();
        std::lock_guard lock(state.mutex);
        if (!IsLiveWindow(state, window)) return 0;
        procedure = state.window.procedure;
    }
    return procedure(window, message, wParam, lParam);
}

LRESULT DispatchMessage(const Message* message) {
    if (!message) return 0;
    return SendMessage(message->hwnd, message->message, message->wParam, message->lParam);
}

void TranslateMessage(const Message*) {}

LRESULT DefWindowProc(HWND window, uint32_t message, WPARAM, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_APP_RAISE:
        if (Backend* backend = CurrentBackend()) backend->RaiseWindow();
        return 0;
    case WM_APP_RESCALE:
        InvalidateWindow(window, false);
        return 0;
    default:
        return 0;
    }
}

void SetScaleChangeHandler(ScaleChangeHandler handler) { scaleChangeHandler = handler; }

void CloseOnTerminationSignal() {
    terminationSignalled = 0;
    std::signal(SIGTERM, OnTerminationSignal);
}

bool TerminationSignalPending() { return terminationSignalled != 0; }

void SetTimer(HWND window, uintptr_t id, uint32_t periodMs) {
    const uint64_t now = GetTickCount64();
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    if (!IsLiveWindow(state, window)) return;
    const uint32_t period = std::max(periodMs, kMinimumTimerPeriodMs);
    state.timers[id] = Timer{window, period, now + period};
}

void KillTimer(HWND, uintptr_t id) {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    state.timers.erase(id);
}

void InvalidateWindow(HWND window, bool erase) {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    if (!IsLiveWindow(state, window)) return;
    state.paintPending = true;
    state.erasePending = state.erasePending || erase;
}

void ValidateWindow(HWND window) {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    if (!IsLiveWindow(state, window)) return;
    state.paintPending = false;
    state.erasePending = false;
}

bool IsScanCodeDown(int scanCode) {
    const int plain = scanCode & 0xFF;
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    return state.scanDown[plain] || state.scanDown[plain | 0x100];
}

bool IsVirtualKeyDown(int virtualKey) {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    // Key messages carry the generic Shift, Control and Alt codes; the sided codes and the
    // generic ones are answered from the scan codes so that releasing one of two held keys
    // leaves the other one down.
    const auto scan = [&state](int code) { return state.scanDown[code]; };
    switch (virtualKey) {
    case VK_SHIFT:
        return scan(SC_LSHIFT) || scan(SC_RSHIFT);
    case VK_LSHIFT:
        return scan(SC_LSHIFT);
    case VK_RSHIFT:
        return scan(SC_RSHIFT);
    case VK_CONTROL:
        return scan(SC_CONTROL) || scan(SC_CONTROL | 0x100);
    case VK_MENU:
        return scan(SC_ALT) || scan(SC_ALT | 0x100);
    default:
        return virtualKey >= 0 && virtualKey < kVirtualKeyStates && state.virtualKeyDown[virtualKey];
    }
}

bool IsCapsLockOn() {
    QueueState& state = State();
    std::lock_guard lock(state.mutex);
    return state.capsLock;
}

void SetCapture(HWND window) {
    if (!IsWindow(window)) return;
    if (Backend* backend = CurrentBackend()) backend->CapturePointer(true);
}

void ReleaseCapture() {
    if (Backend* backend = CurrentBackend()) backend->CapturePointer(false);
}

void ClipCursor(const Rect* rect) {
    if (Backend* backend = CurrentBackend()) backend->ConfinePointer(rect);
}
