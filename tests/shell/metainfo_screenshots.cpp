// Writes the screenshots that software centres show for the program (docs/screenshots/): the
// selection screen and fresh deals of Klondike and Spider, taken from the real program on the
// scripted back end. Run from the source folder after a build:
//   QUILLFEN_DATA_DIR=build/data build/tests/shell/metainfo_screenshots docs/screenshots
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/host_events.h"
#include "platform/scripted_backend.h"
#include "shell/shell.h"
#include "tests/ui/png_writer.h"

namespace {

constexpr int kHidK = 14, kHidI = 12, kHidM = 16, kHidEnter = 40, kHidEscape = 41;
constexpr int kKlondike = 12, kSpider = 19;
// Virtual time for each step to be drawn in full.
constexpr uint64_t kStepMs = 400;

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path folder = argc > 1 ? argv[1] : "docs/screenshots";
    // The program's settings and undo files go to a scratch folder, not the person's own.
    char scratch[] = "/tmp/quillfen-shots-XXXXXX";
    if (!mkdtemp(scratch)) return 1;
    setenv("XDG_CONFIG_HOME", scratch, 1);
    setenv("XDG_RUNTIME_DIR", scratch, 1);

    ScriptedBackend backend;
    SetBackend(&backend);
    bool written = true;
    auto save = [&](const char* name) {
        const std::string path = (folder / name).string();
        written = WritePng(path, backend.WindowPixels().data(), kScreenWidth, kScreenHeight, kScreenWidth) && written;
        std::printf("%s\n", path.c_str());
    };

    HostEvent focus;
    focus.kind = HostEvent::FocusGained;
    backend.PostHost(10, focus);
    backend.Click(100, 400, 100);  // ends the logo
    for (int key : {kHidK, kHidI, kHidM, kHidEnter}) backend.PressKey(kStepMs, key);  // names a player
    backend.MoveMouse(kStepMs, 700, 560);
    backend.After(kStepMs, [&] { save("selection.png"); });
    backend.After(kStepMs, [] { StartGame(kKlondike, false); });
    backend.After(kStepMs, [&] { save("klondike.png"); });
    backend.After(kStepMs, [] {
        LeaveGame();
        StartGame(kSpider, false);
    });
    backend.After(kStepMs, [&] { save("spider.png"); });
    backend.After(kStepMs, [] { LeaveGame(); });
    backend.PressKey(kStepMs, kHidEscape);  // Escape on the selection screen ends the program
    RunApplication();
    SetBackend(nullptr);
    std::filesystem::remove_all(scratch);
    return written && backend.ScriptDone() ? 0 : 1;
}
