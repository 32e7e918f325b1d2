#include "platform/scripted_backend.h"

#include <algorithm>

#include "platform/host_events.h"

namespace {

// HID usage ids of the modifier keys, whose state the convenience steps carry along.
constexpr int kHidLeftControl = 224;
constexpr int kHidLeftShift = 225;
constexpr int kHidLeftAlt = 226;
constexpr int kHidRightControl = 228;
constexpr int kHidRightShift = 229;
constexpr int kHidRightAlt = 230;

}  // namespace

ScriptedBackend::ScriptedBackend() {
    // A new script is a new session: nothing from an earlier one may leak into it.
    ResetMessageQueue();
}

ScriptedBackend::~ScriptedBackend() {
    if (CurrentBackend() == this) SetBackend(nullptr);
}

void ScriptedBackend::Deliver(const HostEvent& given) {
    HostEvent event = given;
    bool toggle = false;
    if (fullScreenKeys.Take(&event, &toggle)) {
        if (toggle) ToggleFullScreen();
        return;
    }
    if (windowExists && !MapMouseEvent(view, &event)) return;
    const bool down = event.kind == HostEvent::KeyDown;
    if (down || event.kind == HostEvent::KeyUp) {
        switch (event.hidScancode) {
        case kHidLeftShift: held.shift[0] = down; break;
        case kHidRightShift: held.shift[1] = down; break;
        case kHidLeftControl: held.control[0] = down; break;
        case kHidRightControl: held.control[1] = down; break;
        case kHidLeftAlt: held.alt[0] = down; break;
        case kHidRightAlt: held.alt[1] = down; break;
        default: break;
        }
    }
    const uint32_t own = event.button == 1 ? 1u : event.button == 3 ? 4u : 0u;
    if (event.kind == HostEvent::MouseDown) held.buttons |= own;
    if (event.kind == HostEvent::MouseUp) held.buttons &= ~own;

    std::vector<Message> messages;
    TranslateHostEvent(event, MainWindowHandle(), &messages);
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

void ScriptedBackend::DeliverWithHeld(HostEvent event) {
    event.buttons = held.buttons;
    event.shift = held.shift[0] || held.shift[1];
    event.control = held.control[0] || held.control[1];
    event.alt = held.alt[0] || held.alt[1];
    Deliver(event);
}

void ScriptedBackend::At(uint64_t atMs, std::function<void()> action) {
    Step step{atMs, nextOrder++, std::move(action)};
    const auto position = std::upper_bound(steps.begin(), steps.end(), step, [](const Step& a, const Step& b) {
        return a.atMs != b.atMs ? a.atMs < b.atMs : a.order < b.order;
    });
    steps.insert(position, std::move(step));
    lastStepMs = atMs;
}

void ScriptedBackend::After(uint64_t delayMs, std::function<void()> action) {
    const uint64_t base = steps.empty() ? nowMs : std::max(lastStepMs, nowMs);
    At(base + delayMs, std::move(action));
}

void ScriptedBackend::MoveMouse(uint64_t delayMs, int x, int y) {
    After(delayMs, [this, x, y] {
        HostEvent event;
        event.kind = HostEvent::MouseMove;
        event.x = x;
        event.y = y;
        DeliverWithHeld(event);
    });
}

void ScriptedBackend::Click(uint64_t delayMs, int x, int y) {
    After(delayMs, [this, x, y] {
        HostEvent event;
        event.x = x;
        event.y = y;
        event.button = 1;
        event.kind = HostEvent::MouseDown;
        DeliverWithHeld(event);
        event.kind = HostEvent::MouseUp;
        DeliverWithHeld(event);
    });
}

void ScriptedBackend::DoubleClick(uint64_t delayMs, int x, int y) {
    After(delayMs, [this, x, y] {
        HostEvent event;
        event.x = x;
        event.y = y;
        event.button = 1;
        for (int clicks = 1; clicks <= 2; ++clicks) {
            event.clicks = clicks;
            event.kind = HostEvent::MouseDown;
            DeliverWithHeld(event);
            event.kind = HostEvent::MouseUp;
            DeliverWithHeld(event);
        }
    });
}

void ScriptedBackend::PressKey(uint64_t delayMs, int hidScancode) {
    After(delayMs, [this, hidScancode] {
        HostEvent event;
        event.hidScancode = hidScancode;
        event.kind = HostEvent::KeyDown;
        DeliverWithHeld(event);
        event.kind = HostEvent::KeyUp;
        DeliverWithHeld(event);
    });
}

void ScriptedBackend::PostHost(uint64_t delayMs, const HostEvent& event) {
    After(delayMs, [this, event] { Deliver(event); });
}

bool ScriptedBackend::CreateWindow(const char*, int width, int height) {
    if (failWindowCreation || width <= 0 || height <= 0) return false;
    logicalWidth = width;
    logicalHeight = height;
    windowExists = true;
    windowVisible = false;
    view = ScaledWindow{};
    LayOutWindow();
    return true;
}

void ScriptedBackend::SetWindowSize(int width, int height) {
    hostWidth = width;
    hostHeight = height;
    if (windowExists) LayOutWindow();
}

void ScriptedBackend::SetFullScreenSize(int width, int height) {
    fullWidth = width;
    fullHeight = height;
    if (windowExists) LayOutWindow();
}

void ScriptedBackend::ToggleFullScreen() {
    fullScreen = !fullScreen;
    if (windowExists) LayOutWindow();
}

void ScriptedBackend::SetMarginColor(uint32_t rgb) {
    marginColor = rgb;
    if (windowExists) StaleWindow(true);
}

void ScriptedBackend::SetMarginPicture(MarginPicture picture) {
    view.SetMarginPicture(std::move(picture));
    if (windowExists) marginsStale = true;
}

// The window shows the stored frame again at its new size, as a host window does when resized.
void ScriptedBackend::LayOutWindow() {
    windowWidth = hostWidth > 0 ? hostWidth : logicalWidth;
    windowHeight = hostHeight > 0 ? hostHeight : logicalHeight;
    if (fullScreen && fullWidth > 0 && fullHeight > 0) {
        windowWidth = fullWidth;
        windowHeight = fullHeight;
    }
    if (scaleFollowsWindow) {
        const int wanted = ChooseDeviceScale(windowWidth, windowHeight, logicalWidth, logicalHeight);
        // Before the drawing layer has started, the window only picks the scale it starts at.
        if (!frameScaleKnown) deviceScale = frameScale = wanted;
        else if (wanted != deviceScale) PostMessage(MainWindowHandle(), WM_APP_RESCALE, 0, 0);
        deviceScale = wanted;
    }
    view.Configure(logicalWidth, logicalHeight, frameScale, windowWidth, windowHeight, false);
    windowPixels.assign(static_cast<size_t>(windowWidth) * static_cast<size_t>(windowHeight), 0);
    StaleWindow(true);
}

// The window's pixels are brought up to date only when someone reads them: scaling every present
// to the window's size would cost far more than the drawing itself, and what is read back is the
// same either way, since each window pixel depends only on the frame's pixels.
void ScriptedBackend::StaleWindow(bool margins) const {
    marginsStale = marginsStale || margins;
    staleFrame = Rect::FromSize(0, 0, 1 << 20, 1 << 20);
}

void ScriptedBackend::RenderStale() const {
    if (!windowExists) return;
    if (marginsStale) view.RenderMargins(marginColor, windowPixels.data(), windowWidth);
    if (!staleFrame.Empty()) view.Render(staleFrame, windowPixels.data(), windowWidth);
    marginsStale = false;
    staleFrame = kNothingStale;
}

const std::vector<uint32_t>& ScriptedBackend::WindowPixels() const {
    RenderStale();
    return windowPixels;
}

bool ScriptedBackend::ReadWindow(WindowPicture* picture, bool pixels) {
    if (!windowExists) return false;
    DescribeWindow(view, picture);
    if (pixels) picture->pixels = WindowPixels();
    return true;
}

void ScriptedBackend::ShowWindow() { windowVisible = windowExists; }

void ScriptedBackend::DestroyWindow() {
    windowExists = false;
    windowVisible = false;
}

void ScriptedBackend::RaiseWindow() { ++raiseCount; }

void ScriptedBackend::Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width,
                              int height, int destX, int destY) {
    if (!windowExists || !pixels) return;
    ++presentCount;
    if (groupDepth > 0) openGroup.push_back(Rect::FromSize(destX, destY, width, height));
    const Rect changed = view.Store(pixels, pitchPixels, sourceX, sourceY, width, height, destX, destY);
    if (changed.Empty()) return;
    if (staleFrame.Empty()) {
        staleFrame = changed;
    } else {
        staleFrame = {std::min(staleFrame.left, changed.left), std::min(staleFrame.top, changed.top),
                      std::max(staleFrame.right, changed.right), std::max(staleFrame.bottom, changed.bottom)};
    }
}

void ScriptedBackend::ShowMessageBox(const char*, const char* text) { messageBoxes.emplace_back(text ? text : ""); }

void ScriptedBackend::RunDueSteps() {
    while (!steps.empty() && steps.front().atMs <= nowMs) {
        // Taken off the list first: the action may add steps, or throw out of the program.
        std::function<void()> action = std::move(steps.front().action);
        steps.pop_front();
        action();
    }
}

void ScriptedBackend::AdvanceTo(uint64_t ms) {
    if (ms <= nowMs) return;
    if (ms > clockLimitMs) {
        nowMs = clockLimitMs;
        throw Hang("the virtual clock passed its limit of " + std::to_string(clockLimitMs) + " ms");
    }
    nowMs = ms;
}

void ScriptedBackend::PumpEvents(bool wait, uint64_t untilMs) {
    RunDueSteps();
    if (!wait) return;
    ++waitCount;
    if (steps.empty()) {
        // The script has ended while the program waits: ask the window to close, as a user
        // closing it would. Timers may still run for a while (a dialog may need them to end),
        // but a program that keeps waiting after that hangs.
        if (!closeRequested) {
            closeRequested = true;
            closeRequestedAtMs = nowMs;
            PostMessage(MainWindowHandle(), WM_CLOSE, 0, 0);
            return;
        }
        if (untilMs == UINT64_MAX || untilMs > closeRequestedAtMs + kCloseGraceMs)
            throw Hang("the program still waits for input after the script ended and WM_CLOSE");
    }
    const uint64_t nextStep = steps.empty() ? UINT64_MAX : steps.front().atMs;
    AdvanceTo(std::min(untilMs, nextStep));
    RunDueSteps();
}

int64_t ScriptedBackend::WallClockSeconds() { return wallClockStart + static_cast<int64_t>(nowMs / 1000); }

void ScriptedBackend::SleepMs(uint32_t ms) { AdvanceTo(nowMs + ms); }

void ScriptedBackend::SetFrameScale(int scale) {
    frameScaleKnown = true;
    if (scale == frameScale) return;
    frameScale = scale;
    if (!windowExists) return;
    view.ChangeFrameScale(scale);
    StaleWindow(true);
}

bool ScriptedBackend::ReplaceCursor(int handle, const CursorImage& image) {
    if (handle <= 0 || handle >= nextCursor || image.width <= 0 || image.height <= 0) return false;
    ++replacedCursors;
    return true;
}

int ScriptedBackend::CreateCursor(const CursorImage& image) {
    if (image.width <= 0 || image.height <= 0) return 0;
    return nextCursor++;
}

void ScriptedBackend::ConfinePointer(const Rect* rect) {
    confined = rect != nullptr;
    if (rect) confineRect = *rect;
}
