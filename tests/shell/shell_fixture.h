// What the shell tests share: the fixture that runs the real program on the scripted back end,
// and a data folder of small made-up pictures whose colours say which screen is showing.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/jpeg_encode.h"
#include "platform/host_events.h"
#include "platform/scripted_backend.h"
#include "store/settings_store.h"
#include "artwork/screen_layout.h"
#include "tests/hid_keys.h"
#include "tests/test_support.h"
#include "tools/artgen/bmp_writer.h"

namespace shell_test {

constexpr Pixel kMagenta = 0xFF00FF;

using test_support::ScopedEnvironment;

// --- The made-up artwork ---

// Flat colours, far apart, so a JPEG's small errors never confuse two of them. The pictures no
// test looks at share one colour.
inline Pixel TitleScreenColour() { return 0x306090; }
inline Pixel LogoColour() { return 0x902030; }
inline Pixel WinColour() { return 0x20A040; }
inline Pixel LoseColour() { return 0x4040A0; }
inline Pixel HighlightColour(int item) { return 0x0D0000 + item; }
constexpr Pixel kUnwatchedColour = 0x808040;

using test_support::Near;

// The middle of a name on the selection screen (item = game number - 1).
struct Point {
    int x, y;
};
inline Point CentreOf(int item) {
    const Rect& r = screen_layout::kGameMenuItems[item];
    return {r.left + r.Width() / 2, r.top + r.Height() / 2};
}

inline Pixel At(int handle, int x, int y) { return BufferPixels(handle)[y * BufferWidth(handle) + x] & 0xFFFFFF; }

// A folder of its own with an artwork folder in it, removed with the object.
class ArtFolder {
public:
    ArtFolder() { std::filesystem::create_directories(Path() / "artwork"); }
    const std::filesystem::path& Path() const { return folder.Path(); }

    void Bmp(const std::string& name, int width, int height, const std::function<Pixel(int, int)>& colour) const {
        const std::vector<uint32_t> pixels = Pixels(width, height, colour);
        Write(name, EncodeBmp24(pixels.data(), width, height));
    }
    void Jpeg(const std::string& name, int width, int height, const std::function<Pixel(int, int)>& colour) const {
        const std::vector<uint32_t> pixels = Pixels(width, height, colour);
        Write(name, EncodeJpeg(pixels.data(), width, height, 95, false));
    }
    void FlatJpeg(const std::string& name, Pixel colour) const {
        Jpeg(name, 800, 600, [colour](int, int) { return colour; });
    }

    // Every picture the shell loads.
    void WriteAll() const {
        using namespace screen_layout;
        FlatJpeg("title.jpg", TitleScreenColour());
        FlatJpeg("logo.jpg", LogoColour());
        FlatJpeg("winscreen.jpg", WinColour());
        FlatJpeg("losescreen.jpg", LoseColour());
        const auto flat = [](int, int) { return kUnwatchedColour; };
        for (int theme = 1; theme <= kThemeCount; ++theme) {
            const std::string n = std::to_string(theme);
            FlatJpeg("backdrop" + n + ".jpg", kUnwatchedColour);
            FlatJpeg("dialog" + n + ".jpg", kUnwatchedColour);
            Bmp("dialog" + n + ".bmp", 801, 141, flat);
            Bmp("menu" + n + ".bmp", 801, 901, flat);
            Bmp("placeholder" + n + ".bmp", 161, 85, flat);
        }
        Jpeg("menus.jpg", 1216, 482, flat);
        Bmp("checks.bmp", 15, 52, flat);
        for (const char* title : {"ingame_title1_3_6.bmp", "ingame_title2.bmp", "ingame_title4.bmp", "ingame_title5.bmp"})
            Bmp(title, kTitleImageWidth, kTitleImageHeight, flat);
        Bmp("hilight_title.bmp", kHighlightImageWidth, kHighlightImageHeight, [](int x, int y) {
            const int item = y / kHighlightPitch;
            if (item >= kGameCount) return kMagenta;
            const Rect& r = kGameMenuItems[item];
            return x <= r.Width() && y - HighlightCellY(item) <= r.Height() ? HighlightColour(item) : kMagenta;
        });
    }

private:
    static std::vector<uint32_t> Pixels(int width, int height, const std::function<Pixel(int, int)>& colour) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels.push_back(colour(x, y));
        return pixels;
    }
    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        test_support::WriteBytes(Path() / "artwork" / name, bytes);
    }

    test_support::TempFolder folder{"art"};
};

// --- The program on the scripted back end ---

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        // Deals kept for resuming go to the test's folder too.
        setenv("XDG_STATE_HOME", runtimeDir.c_str(), 1);
        // A settings file of the test's own, with a remembered player who skips the player
        // dialog; tests of the dialog itself clear the file first.
        SetRegistryFile((runtimeDir / "settings.reg").string());
        RememberPlayer("tester");
        SetBackend(&backend);
    }
    void TearDown() override {
        SetBackend(nullptr);
        SetRegistryFile((runtimeDir / "unused.reg").string());
    }
    static void RememberPlayer(const char* name) {
        SettingsKey key(PreferencesPath());
        WriteStringValue(key, "HumanName", name);
        WriteDwordValue(key, "DontShowAgain", 1);
    }
    void ForgetSettings() { SetRegistryFile((runtimeDir / "fresh.reg").string()); }
    void Activate(uint64_t delayMs) {
        HostEvent focus;
        focus.kind = HostEvent::FocusGained;
        script->PostHost(delayMs, focus);
    }
    // A key pressed while a modifier is held.
    void PressWith(int modifier, int hid) {
        HostEvent event;
        event.kind = HostEvent::KeyDown;
        event.hidScancode = modifier;
        script->PostHost(20, event);
        script->PressKey(20, hid);
        event.kind = HostEvent::KeyUp;
        script->PostHost(20, event);
    }
    // A click on the logo ends it at once; the click goes no further.
    void EndLogo(uint64_t delayMs) { script->Click(delayMs, 400, 100); }
    // The selection screen lists the games in the order of their numbers.
    void StartFromSelection(uint64_t delayMs, int gameNumber) {
        script->Click(delayMs, CentreOf(gameNumber - 1).x, CentreOf(gameNumber - 1).y);
    }

    ScriptedBackend backend;
    // Where the helpers above post: the back end, or the one of a later run when a test starts
    // the program more than once.
    ScriptedBackend* script = &backend;
    const test_support::TempFolder runtimeFolder{"shell"};
    const std::filesystem::path runtimeDir = runtimeFolder.Path();
};

}  // namespace shell_test
