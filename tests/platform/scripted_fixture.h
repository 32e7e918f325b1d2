// A test fixture that installs a fresh scripted back end and records what the main window's
// procedure receives, so tests can drive the real message loop on a virtual clock.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/messages.h"
#include "platform/scripted_backend.h"

class ScriptedTest : public ::testing::Test {
protected:
    ScriptedTest() {
        received.clear();
        SetBackend(&backend);
    }
    ~ScriptedTest() override {
        if (IsWindow(MainWindowHandle())) DestroyWindow(MainWindowHandle());
        SetBackend(nullptr);
    }

    HWND CreateWindow() { return CreateMainWindow("test", 800, 600, &RecordingProcedure); }

    // Messages the procedure received, in order, sent or dispatched.
    static inline std::vector<Message> received;

    static LRESULT RecordingProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
        received.push_back(Message{window, message, wParam, lParam});
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProc(window, message, wParam, lParam);
    }

    static int Count(uint32_t message) {
        int count = 0;
        for (const Message& m : received) count += m.message == message ? 1 : 0;
        return count;
    }

    ScriptedBackend backend;
};
