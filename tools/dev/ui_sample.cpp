// Renders a sample dialog with every control beside the in-game menu bar with its "Options" panel
// open, in all six themes with their generated artwork, and writes one contact sheet per device
// scale for a person to look at:
//
//   ui_sample FOLDER [SCALE ...]    writes FOLDER/controls_<scale>x.png (scales 1 and 3 when none are given)

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "artwork/artwork.h"
#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "tools/dev/png_writer.h"
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
        Create<CheckBox>(36, 100, "Show &timer")->SetFocus(1);
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
        Create<EditField>(120, 276, 160, 30, "&Name")->SetText("Ada Lovelace");
        EditField* off = Create<EditField>(300, 276, 110, 30, "&Disabled");
        off->SetText("Disabled");
        off->SetDisabled(1);
        Create<Label>(20, 312, -1, "Recycles:");
        SpinField* spin = Create<SpinField>(120, 308, 40, "&Recycles");
        spin->SetRange(0, 9, 1);
        spin->SetValue(3);
        Create<Label>(20, 344, -1, "Backdrop:");
        DropDownList* list = Create<DropDownList>(120, 340, 160, 30);
        for (const char* item : {"Green baize", "Blue velvet", "Walnut"}) list->AddItem(item);
        list->SetSelectedIndex(1);
        Create<SpinField>(300, 308, 40, "&Off")->SetDisabled(1);
        Create<Button>(40, 440, 100, 30, -1, "OK");
        Create<Button>(160, 440, 100, 30, -1, "&Cancel")->SetPressed(1);
        Create<Button>(280, 440, 100, 30, -1, "&Help")->SetDisabled(1);
    }
    void ProcessEvent() override {}
};

// The sheet's cell of one theme: the menu bar with its open panel, and the dialog.
constexpr int kCropLeft = 140, kCropWidth = 660, kCropHeight = 570;
constexpr int kColumns = 3, kRows = 2;

// Draws the theme's table, menu bar and dialog, and copies the cell into the sheet.
void RenderTheme(Artwork& artwork, int theme, int screen, std::vector<uint32_t>* sheet) {
    artwork.LoadTheme(theme);
    artwork.RestoreBackground(0, 799, 0, 599);
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

    const int s = BufferScale(screen), width = kCropWidth * s, height = kCropHeight * s;
    const int pitch = width * kColumns;
    const Pixel* pixels = BufferPixels(screen);
    const int left = (theme % kColumns) * width, top = (theme / kColumns) * height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            (*sheet)[static_cast<size_t>(top + y) * pitch + left + x] =
                pixels[static_cast<size_t>(y) * BufferWidth(screen) + kCropLeft * s + x];
    dialog.Close();
    options->ClosePanel();
}

bool RenderSheet(int scale, const std::string& path) {
    ScriptedBackend backend;
    backend.SetDeviceScale(scale);
    SetBackend(&backend);
    HWND window = CreateMainWindow("ui sample", 800, 600, &Procedure);
    InitBuffers();
    SetBufferDepth(32);
    const int screen = CreateBuffer(800, 600);
    SelectBuffer(screen);
    InitToolkit(window, screen, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
    BuildColorTable();
    LoadStartupFont("windb_10.fgf");
    SetRegularFont("windb_10.fgf");
    bool ok = false;
    {
        Artwork artwork;
        if (artwork.Init(screen, window, 0)) {
            const int s = BufferScale(screen), pitch = kCropWidth * s * kColumns;
            std::vector<uint32_t> sheet(static_cast<size_t>(pitch) * kCropHeight * s * kRows, 0);
            for (int theme = 0; theme < kColumns * kRows; ++theme) RenderTheme(artwork, theme, screen, &sheet);
            ok = WritePng(path, sheet.data(), pitch, kCropHeight * s * kRows, pitch);
        }
    }
    ShutdownToolkit();
    FreeBuffer(screen);
    DestroyWindow(window);
    SetBackend(nullptr);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    std::vector<int> scales;
    for (int i = 2; i < argc; ++i) scales.push_back(std::atoi(argv[i]));
    if (scales.empty()) scales = {1, 3};
    bool ok = true;
    for (const int scale : scales) {
        if (scale < 1 || scale > 3) continue;
        const std::string path = folder + "/controls_" + std::to_string(scale) + "x.png";
        const bool written = RenderSheet(scale, path);
        std::printf("%s %s\n", path.c_str(), written ? "written" : "failed");
        ok = ok && written;
    }
    return ok ? 0 : 1;
}
