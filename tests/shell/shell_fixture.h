// What the shell tests share: the fixture that runs the real program on the scripted back end,
// and a data folder of small made-up pictures whose every colour says which file and which
// cell it came from.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "draw/draw.h"
#include "draw/jpeg_encode.h"
#include "platform/host_events.h"
#include "platform/scripted_backend.h"
#include "store/settings_store.h"
#include "artwork/screen_layout.h"

namespace shell_test {

constexpr int kHidEscape = 41;
constexpr int kHidF12 = 69;
constexpr int kHidA = 4;
constexpr int kHidEnter = 40;
constexpr Pixel kMagenta = 0xFF00FF;

// A per-test folder under the temporary directory, removed afterwards.
inline std::filesystem::path TestFolder(const std::string& purpose) {
    return std::filesystem::temp_directory_path() /
           ("quillfen-" + purpose + "-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old, hadValue = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (hadValue) setenv(name, previous.c_str(), 1);
        else unsetenv(name);
    }

private:
    const char* name;
    std::string previous;
    bool hadValue = false;
};

// --- The made-up artwork ---

// Flat colours, far apart, so a JPEG's small errors never confuse two of them.
inline Pixel TitleScreenColour() { return 0x306090; }
inline Pixel LogoColour() { return 0x902030; }
inline Pixel WinColour() { return 0x20A040; }
inline Pixel LoseColour() { return 0x4040A0; }
inline Pixel BackdropColour(int theme) { return 0x100000 * (2 + 2 * theme) | 0x8040; }
inline Pixel DialogColour(int theme) { return 0x000010 * (2 + 2 * theme) | 0x804000; }
inline Pixel DialogStripColour(int theme) { return 0x030000 + theme; }
inline Pixel MenuBarColour(int theme) { return 0x050000 + theme; }
inline Pixel PlaceholderFileColour(int theme) { return 0x070000 + theme; }
inline Pixel DropDownColour(int column) { return 0x001000 * (2 + 2 * column) | 0x800080; }
inline Pixel CheckColour(int row) { return 0x090000 + row; }
// Title file 0..3 ("1_3_6", "2", "4", "5"), band of game 1..20.
inline Pixel TitleColour(int file, int gameNumber) { return 0x0B0000 | file << 8 | gameNumber; }
inline Pixel HighlightColour(int item) { return 0x0D0000 + item; }

inline bool Near(Pixel a, Pixel b, int tolerance = 6) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

inline Pixel At(int handle, int x, int y) { return BufferPixels(handle)[y * BufferWidth(handle) + x] & 0xFFFFFF; }

class ArtFolder {
public:
    explicit ArtFolder(std::filesystem::path root) : root(std::move(root)) {
        std::filesystem::create_directories(this->root / "artwork");
    }
    ~ArtFolder() { std::filesystem::remove_all(root); }
    const std::filesystem::path& Path() const { return root; }

    // 24-bit uncompressed BMP, rows bottom-up as the format keeps them.
    void Bmp(const std::string& name, int width, int height, const std::function<Pixel(int, int)>& colour) const {
        const int rowBytes = (width * 3 + 3) & ~3;
        const uint32_t fileSize = 54 + rowBytes * height;
        std::string bytes(fileSize, '\0');
        auto put32 = [&](int at, uint32_t v) {
            for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
        };
        bytes[0] = 'B', bytes[1] = 'M';
        put32(2, fileSize);
        put32(10, 54);
        put32(14, 40);
        put32(18, width);
        put32(22, height);
        put32(26, 1 | 24 << 16);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Pixel p = colour(x, y);
                const size_t at = 54 + static_cast<size_t>(height - 1 - y) * rowBytes + x * 3;
                bytes[at] = static_cast<char>(p), bytes[at + 1] = static_cast<char>(p >> 8);
                bytes[at + 2] = static_cast<char>(p >> 16);
            }
        }
        Write(name, bytes.data(), bytes.size());
    }
    void Jpeg(const std::string& name, int width, int height, const std::function<Pixel(int, int)>& colour) const {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
        const std::vector<uint8_t> bytes = EncodeJpeg(pixels.data(), width, height, 95, false);
        Write(name, bytes.data(), bytes.size());
    }
    void FlatJpeg(const std::string& name, Pixel colour) const {
        Jpeg(name, 800, 600, [colour](int, int) { return colour; });
    }

    // Every picture the shell loads, each telling by its colour what it is.
    void WriteAll() const {
        using namespace screen_layout;
        FlatJpeg("title.jpg", TitleScreenColour());
        FlatJpeg("logo.jpg", LogoColour());
        FlatJpeg("winscreen.jpg", WinColour());
        FlatJpeg("losescreen.jpg", LoseColour());
        for (int theme = 0; theme < kThemeCount; ++theme) {
            const std::string n = std::to_string(theme + 1);
            FlatJpeg("backdrop" + n + ".jpg", BackdropColour(theme));
            FlatJpeg("dialog" + n + ".jpg", DialogColour(theme));
            Bmp("dialog" + n + ".bmp", 801, 141, [theme](int, int) { return DialogStripColour(theme); });
            Bmp("menu" + n + ".bmp", 801, 901, [theme](int, int) { return MenuBarColour(theme); });
            Bmp("placeholder" + n + ".bmp", 161, 85, [theme](int, int) { return PlaceholderFileColour(theme); });
        }
        Jpeg("menus.jpg", 1216, 482, [](int x, int) { return DropDownColour(x / 200); });
        Bmp("checks.bmp", 15, 52, [](int, int y) { return CheckColour(y / 13); });
        const char* titleFiles[] = {"ingame_title1_3_6.bmp", "ingame_title2.bmp", "ingame_title4.bmp",
                                    "ingame_title5.bmp"};
        for (int file = 0; file < 4; ++file) {
            Bmp(titleFiles[file], kTitleImageWidth, kTitleImageHeight, [file](int x, int y) {
                const int game = y / kTitleBandHeight + 1;
                return game <= kGameCount && x <= kTitleWidths[game - 1] ? TitleColour(file, game) : kMagenta;
            });
        }
        Bmp("hilight_title.bmp", kHighlightImageWidth, kHighlightImageHeight, [](int x, int y) {
            const int item = y / kHighlightPitch;
            if (item >= kGameCount) return kMagenta;
            const Rect& r = kGameMenuItems[item];
            return x <= r.Width() && y - HighlightCellY(item) <= r.Height() ? HighlightColour(item) : kMagenta;
        });
    }

private:
    void Write(const std::string& name, const void* data, size_t size) const {
        std::ofstream out(root / "artwork" / name, std::ios::binary);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    std::filesystem::path root;
};

// --- The program on the scripted back end ---

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        runtimeDir = TestFolder("shell");
        std::filesystem::create_directories(runtimeDir);
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
        std::filesystem::remove_all(runtimeDir);
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
        backend.PostHost(delayMs, focus);
    }
    // A click on the logo ends it at once; the click goes no further.
    void EndLogo(uint64_t delayMs) { backend.Click(delayMs, 400, 100); }

    ScriptedBackend backend;
    std::filesystem::path runtimeDir;
};

}  // namespace shell_test
