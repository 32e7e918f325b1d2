// Renders the Klondike rule-settings dialog, the Forty Thieves summary, the rules viewer on the
// shipped text and the card-back chooser over a backdrop theme with the generated artwork, and
// writes them as PNG files to /tmp (or the folder given first) for a person to look at.
#include <cstdio>
#include <functional>
#include <string>

#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/paths.h"
#include "platform/scripted_backend.h"
#include "rules/appearance_choosers.h"
#include "rules/rule_settings.h"
#include "rules/rules_viewer.h"
#include "artwork/artwork.h"
#include "tests/ui/png_writer.h"

namespace {

LRESULT Procedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(window, message, wParam, lParam);
}

// Opens a dialog over the table, writes the screen and closes it again.
bool Shoot(Artwork& artwork, Dialog& dialog, const std::string& path) {
    artwork.DrawGameTitle(12);
    dialog.Open();
    const bool written = WritePng(path, BufferPixels(artwork.screenBuffer), 800, 600, 800);
    dialog.Close();
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const int theme = argc > 2 ? std::atoi(argv[2]) : 0;
    // A settings file of its own, so the sample never touches the player's settings.
    SetRegistryFile(folder + "/rules_sample_settings.reg");
    ScriptedBackend backend;
    SetBackend(&backend);
    HWND window = CreateMainWindow("rules sample", 800, 600, &Procedure);
    InitBuffers();
    SetBufferDepth(32);
    const int screen = CreateBuffer(800, 600);
    SelectBuffer(screen);
    SetTransparentColor(34, 1);
    SetTransparentColor(253, 1);
    InitToolkit(window, screen, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
    BuildColorTable();
    SetRegularFont("windb_10.fgf");
    Artwork artwork;
    artwork.Init(screen, window, 0);
    artwork.LoadTheme(theme);

    bool ok = true;
    {
        RuleSettingsDialog dialog(*FindGame(12), RuleDialogMode::kStart);
        ok = Shoot(artwork, dialog, folder + "/rules_klondike_settings.png") && ok;
    }
    {
        RuleSettingsDialog dialog(*FindGame(8), RuleDialogMode::kRestart);
        ok = Shoot(artwork, dialog, folder + "/rules_forty_thieves_settings.png") && ok;
    }
    {
        RulesSummaryDialog view(*FindGame(12));
        ok = Shoot(artwork, view, folder + "/rules_klondike_summary.png") && ok;
    }
    {
        RulesViewer viewer("Klondike", DataPath("HELP.TXT"));
        ok = Shoot(artwork, viewer, folder + "/rules_viewer.png") && ok;
    }
    // The chooser runs modally: the script takes the picture while it is open, then cancels.
    artwork.DrawGameTitle(12);
    backend.After(50, [&] { ok = WritePng(folder + "/rules_card_backs.png", BufferPixels(screen), 800, 600, 800) && ok; });
    backend.PressKey(10, 41);
    ChooseCardBack();
    artwork.DrawGameTitle(12);
    backend.After(50, [&] { ok = WritePng(folder + "/rules_backdrops.png", BufferPixels(screen), 800, 600, 800) && ok; });
    backend.PressKey(10, 41);
    ChooseBackdrop();
    artwork.DrawGameTitle(12);
    backend.After(50, [&] { ok = WritePng(folder + "/rules_fronts.png", BufferPixels(screen), 800, 600, 800) && ok; });
    backend.PressKey(10, 41);
    ChooseCardFront();

    artwork.FreeArtwork();
    ShutdownToolkit();
    DestroyWindow(window);
    SetBackend(nullptr);
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}
