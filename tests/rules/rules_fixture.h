// Dialogs of the rules folder run modally on the scripted back end against a fresh settings file.
#pragma once

#include <functional>
#include <initializer_list>

#include "draw/draw.h"
#include "platform/host_events.h"
#include "platform/scripted_backend.h"
#include "tests/store/store_fixture.h"
#include "ui/toolkit.h"

class RulesTest : public StoreTest {
protected:
    static constexpr int kHidEscape = 41;
    static constexpr Pixel kTextColor = 0xFF0000;

    RulesTest() {
        SetBackend(&backend);
        window = CreateMainWindow("rules test", 800, 600, &Procedure);
        ShowMainWindow(window);
        InitBuffers();
        SetBufferDepth(32);
        screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        InitToolkit(window, screen, kToolkitSubPanelEvents);
        BuildColorTable();
        SetRegularFont("windb_10.fgf");
        // Plain faces and a text colour found nowhere else, so tests can find the text.
        ToolkitTheme theme;
        theme.textColor = kTextColor;
        SetToolkitTheme(theme);
        HostEvent focus;
        focus.kind = HostEvent::FocusGained;
        backend.PostHost(10, focus);
    }
    ~RulesTest() override {
        ShutdownToolkit();
        CloseBuffer();
        FreeBuffer(screen);
        if (IsWindow(window)) DestroyWindow(window);
        SetBackend(nullptr);
    }
    static LRESULT Procedure(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    // Pixels of text inside the inclusive screen rectangle. Text is blended into the face, so a
    // pixel counts when it is clearly red (the plain face is grey).
    int TextPixels(int minx, int maxx, int miny, int maxy) const {
        const Pixel* pixels = BufferPixels(screen);
        const int pitch = BufferWidth(screen);
        int count = 0;
        for (int py = miny; py <= maxy; ++py)
            for (int px = minx; px <= maxx; ++px) {
                const Pixel p = pixels[py * pitch + px];
                count += ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 100 && (p & 0xFF) < 100 ? 1 : 0;
            }
        return count;
    }

    ScriptedBackend backend;
    HWND window = nullptr;
    int screen = -1;
};
