// A fixture that points the settings tree at a fresh file in a private folder, with helpers to
// look at the file and at values without creating anything; and one that adds a window, a screen
// and the toolkit on the scripted back end, for dialogs run modally.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "platform/host_events.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "store/settings_store.h"
#include "tests/hid_keys.h"
#include "tests/test_support.h"
#include "ui/toolkit.h"
#include "ui/window.h"

class StoreTest : public ::testing::Test {
protected:
    StoreTest() {
        SetRegistryFile(file);
        InjectRegistrySaveFault(RegistrySaveFault::kNone);
        ResetPreferences();
    }
    ~StoreTest() override {
        InjectRegistrySaveFault(RegistrySaveFault::kNone);
        SetRegistryFile(folder + "/unused.reg");
    }

    static void ResetPreferences() {
        UserPreferences& p = userPreferences;
        p.CurrentPlayer = 0;
        p.HumanName.clear();
        p.DontShowAgain = p.MusicEnabled = p.SoundEnabled = p.AutoGameOver = 0;
        for (auto& song : p.SongEnabled) song = 0;
        p.Backdrop = p.CardBack = p.CardFront = 0;
    }

    std::string FileText() const {
        const std::vector<uint8_t> bytes = test_support::ReadBytes(file);
        return {bytes.begin(), bytes.end()};
    }
    void WriteFile(const std::string& text) const { test_support::WriteBytes(file, text.data(), text.size()); }
    // Forgets the tree in memory, so the next call reads the file again.
    void Reload() const { SetRegistryFile(file); }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    static bool KeyExists(const std::string& path) {
        const RegKey key = RegOpenKey(path);
        RegCloseKey(key);
        return key != kNoRegKey;
    }
    static std::optional<uint32_t> Dword(const std::string& path, const char* name) {
        const RegKey key = RegOpenKey(path);
        uint32_t value = 0;
        const bool found = RegQueryDword(key, name, &value) == kRegOk;
        RegCloseKey(key);
        return found ? std::optional(value) : std::nullopt;
    }
    static std::optional<std::string> String(const std::string& path, const char* name) {
        const RegKey key = RegOpenKey(path);
        std::string value;
        const bool found = RegQueryString(key, name, &value) == kRegOk;
        RegCloseKey(key);
        return found ? std::optional(value) : std::nullopt;
    }

    const test_support::TempFolder folderOwner{"store"};
    const std::string folder = folderOwner.String();
    const std::string file = folder + "/settings.reg";
};

class DialogTest : public StoreTest {
protected:
    static constexpr Pixel kTextColor = 0xFF0000;

    DialogTest() {
        SetBackend(&backend);
        window = CreateMainWindow("dialog test", 800, 600, &Procedure);
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
    ~DialogTest() override {
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

    // Clicks the middle of a control (controls keep screen positions).
    void ClickOn(uint64_t delay, const Window* control) {
        backend.Click(delay, control->GetX() + control->GetWidth() / 2, control->GetY() + control->GetHeight() / 2);
    }
    void Type(std::initializer_list<int> keys) {
        for (int key : keys) backend.PressKey(50, key);
    }

    ScriptedBackend backend;
    HWND window = nullptr;
    int screen = -1;
};
