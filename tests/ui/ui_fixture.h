// A headless toolkit session for the tests: a scripted back end, the main window, an 800 x 600
// screen buffer filled with a pattern (so a restore can be checked pixel for pixel) and the
// toolkit with the regular font when the data folder has it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/host_events.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "tests/hid_keys.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend = std::make_unique<ScriptedBackend>();
        SetBackend(backend.get());
        window = CreateMainWindow("ui test", 800, 600, &Procedure);
        ASSERT_NE(window, nullptr);
        ShowMainWindow(window);
        InitBuffers();
        SetBufferDepth(32);
        screen = CreateBuffer(800, 600);
        ASSERT_GE(screen, 0);
        SelectBuffer(screen);
        Pixel* pixels = BufferPixels(screen);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) pixels[y * 800 + x] = MapRgb(x * 7 % 256, y * 13 % 256, (x ^ y) & 0xFF);
        pattern.assign(pixels, pixels + 800 * 600);
        InitToolkit(window, screen, kToolkitSubPanelEvents);
        BuildColorTable();
        SetRegularFont("windb_10.fgf");
        SetToolkitTheme(ToolkitTheme{});
    }

    void TearDown() override {
        ShutdownToolkit();
        FreeBuffer(screen);
        if (IsWindow(window)) DestroyWindow(window);
        SetBackend(nullptr);
        backend.reset();
    }

    static LRESULT Procedure(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CLOSE) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }

    bool ScreenEqualsPattern() const {
        const Pixel* pixels = BufferPixels(screen);
        return std::equal(pattern.begin(), pattern.end(), pixels);
    }
    Pixel ScreenPixel(int x, int y) const { return BufferPixels(screen)[y * 800 + x]; }

    // Script helpers: keys held down across later steps.
    void Key(HostEvent::Kind kind, uint64_t delayMs, int hid) {
        HostEvent e;
        e.kind = kind;
        e.hidScancode = hid;
        backend->PostHost(delayMs, e);
    }
    void HoldKey(uint64_t delayMs, int hid) { Key(HostEvent::KeyDown, delayMs, hid); }
    void ReleaseKey(uint64_t delayMs, int hid) { Key(HostEvent::KeyUp, delayMs, hid); }
    // A key pressed with a modifier held, each step 10 ms after the last.
    void Chord(int modifier, int hid) {
        HoldKey(10, modifier);
        backend->PressKey(10, hid);
        ReleaseKey(10, modifier);
    }
    void Mouse(HostEvent::Kind kind, uint64_t delayMs, int x, int y, uint32_t held, int clicks = 1) {
        HostEvent e;
        e.kind = kind;
        e.clicks = clicks;
        e.button = kind == HostEvent::MouseMove ? 0 : 1;
        e.buttons = held;
        e.x = x;
        e.y = y;
        backend->PostHost(delayMs, e);
    }
    void MouseDown(uint64_t delayMs, int x, int y, int clicks = 1) { Mouse(HostEvent::MouseDown, delayMs, x, y, 1, clicks); }
    void MouseUp(uint64_t delayMs, int x, int y) { Mouse(HostEvent::MouseUp, delayMs, x, y, 0); }
    void MouseMove(uint64_t delayMs, int x, int y, bool leftHeld) { Mouse(HostEvent::MouseMove, delayMs, x, y, leftHeld); }
    // The centre of a window, where a click surely hits it.
    static void CentreOf(const Window& w, int* x, int* y) {
        *x = w.GetX() + w.GetWidth() / 2;
        *y = w.GetY() + w.GetHeight() / 2;
    }
    void ClickOn(uint64_t delayMs, const Window& w) {
        int x, y;
        CentreOf(w, &x, &y);
        backend->Click(delayMs, x, y);
    }

    std::unique_ptr<ScriptedBackend> backend;
    HWND window = nullptr;
    int screen = -1;
    std::vector<Pixel> pattern;
};

// A dialog for tests: ProcessEvent runs the usual pattern, records every finished event, ends
// with the source id of any command whose source is in `ending`, and with -1 on Escape.
class TestDialog : public Dialog {
public:
    TestDialog(int x, int y, int w, int h, const char* title = "Test") : Dialog(x, y, w, h, title) {}
    void ProcessEvent() override {
        TranslateEvent();
        HandleEvent();
        const ToolkitEvent& e = CurrentEvent();
        events.push_back(e);
        if (onEvent) onEvent(e);
        if (e.type == kEventCommand)
            for (int id : ending)
                if (e.sourceId == id) result = id;
        if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) result = -1;
    }
    std::vector<int> ending;
    std::vector<ToolkitEvent> events;
    std::function<void(const ToolkitEvent&)> onEvent;
};
