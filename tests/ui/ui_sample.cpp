// Renders a sample dialog with every control, a message box and the in-game menu bar with its
// "Options" panel open, in a dark and a light theme, and
// writes the screens to /tmp/ui_sample_dark.png and /tmp/ui_sample_light.png (or the folder given
// as the first argument) for a person to look at.

#include <cstdio>
#include <string>

#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "tests/ui/png_writer.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"

namespace {

LRESULT Procedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(window, message, wParam, lParam);
}

class SampleDialog : public Dialog {
public:
    SampleDialog() : Dialog(355, 60, 440, 500, "Sample Settings") {
        Create<GroupBox>(20, 60, 400, 118, "Options", 1, 1);
        Create<CheckBox>(36, 80, "&Auto game over")->SetChecked(1);
        Create<CheckBox>(36, 100, "Show &timer");
        Create<CheckBox>(36, 120, "Disabled choice")->SetDisabled(1);
        Create<CheckBox>(36, 146, "A long caption that is wrapped at a space because it is wider than its limit", 1,
                         330);
        OptionGroup* group = Create<OptionGroup>(36, 200);
        group->Create<OptionButton>(0, 0, "Draw &one card");
        group->Create<OptionButton>(0, 20, "Draw t&hree cards");
        group->Create<OptionButton>(0, 40, "Disabled option")->SetDisabled(1);
        group->CheckIndex(1);
        Create<Label>(240, 200, -1, "Label, left", "second line");
        Create<Label>(330, 236, 0, "Centred label");
        Create<Label>(20, 280, -1, "Player name:");
        Create<EditField>(120, 276, 160, 30, "&Name")->SetText("Ada");
        Create<Label>(20, 312, -1, "Recycles:");
        SpinField* spin = Create<SpinField>(120, 308, 40, "&Recycles");
        spin->SetRange(0, 9, 1);
        spin->SetValue(3);
        Create<Label>(20, 344, -1, "Backdrop:");
        DropDownList* list = Create<DropDownList>(120, 340, 160, 30);
        for (const char* item : {"Green baize", "Blue velvet", "Walnut"}) list->AddItem(item);
        list->SetSelectedIndex(1);
        Create<ImageButton>(300, 300, 84, 54, -1, ArtCell{}, ArtCell{}, ArtCell{}, ArtCell{});
        Create<Button>(40, 440, 100, 30, -1, "OK");
        Create<Button>(160, 440, 100, 30, -1, "&Cancel")->SetPressed(1);
        Create<Button>(280, 440, 100, 30, -1, "&Help")->SetDisabled(1);
    }
    void ProcessEvent() override {}
};

void FillTable(int screen) {
    Pixel* pixels = BufferPixels(screen);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) pixels[y * 800 + x] = MapRgb(20 + x / 40, 90 + y / 20, 40 + (x + y) / 60);
}

bool Render(int screen, const ToolkitTheme& theme, const std::string& path) {
    SetToolkitTheme(theme);
    FillTable(screen);
    // The game's menu bar, built as a game builds it, with one panel open and an item under the mouse.
    RootPanel root;
    MenuBar* bar = root.Create<MenuBar>();
    Menu* game = bar->AddMenu(54, "&Game");
    for (const char* caption : {"&Undo", "&Pause", "&New Game", "&End Game", "&Main Menu", "E&xit"})
        game->AddItem(caption, 1000);
    Menu* options = bar->AddMenu(155, "&Options");
    options->AddItem("Card &Front...", 1109);
    options->AddItem("&Card Back...", 1106);
    options->AddItem("&Background...", 1110);
    options->AddItem("&Music...", 1111)->SetChecked(1);
    options->AddItem("&SFX", 1112)->SetChecked(1);
    options->AddItem("&Auto Game Over", 1115);
    options->AddItem("&Game Settings...", 1114)->SetDisabled(1);
    bar->AddMenu(256, "&View")->AddItem("&High Scores...", 1213);
    bar->AddMenu(357, "&Help")->AddItem("&About...", 1300);
    root.Open();
    bar->Draw();
    options->OpenPanel();
    options->DropDown()->Highlight(options->Item(4));

    SampleDialog dialog;
    dialog.Open();
    MessageBox box(nullptr, "Game Over", MessageBox::kYesNo, "There are no moves left. Play again?");
    box.PlaceAt(20, 330);
    box.Open();
    const bool written = WritePng(path, BufferPixels(screen), 800, 600, 800);
    box.Close();
    dialog.Close();
    options->ClosePanel();
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    ScriptedBackend backend;
    SetBackend(&backend);
    HWND window = CreateMainWindow("ui sample", 800, 600, &Procedure);
    InitBuffers();
    SetBufferDepth(32);
    const int screen = CreateBuffer(800, 600);
    SelectBuffer(screen);
    // As the screen-art set-up does: magenta is transparent in artwork and sprites.
    SetTransparentColor(34, 1);
    SetTransparentColor(253, 1);
    InitToolkit(window, screen, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
    BuildColorTable();
    LoadStartupFont("windb_10.fgf");
    SetRegularFont("windb_10.fgf");
    std::printf("regular font slot %d, bold font slot %d\n", RegularFont(), BoldFont());

    ToolkitTheme dark;
    dark.textColor = dark.controlTextColor = dark.menuItemColor = MapRgb(220, 180, 79);
    dark.controlHighlightColor = dark.menuItemHighlightColor = MapRgb(255, 220, 128);
    ToolkitTheme light;  // the defaults are the light theme's colours

    bool ok = Render(screen, dark, folder + "/ui_sample_dark.png");
    ok = Render(screen, light, folder + "/ui_sample_light.png") && ok;
    ShutdownToolkit();
    FreeBuffer(screen);
    DestroyWindow(window);
    SetBackend(nullptr);
    std::printf("%s\n", ok ? "written" : "failed");
    return ok ? 0 : 1;
}
