// Speed of the toolkit's common paths: opening and closing a settings-sized dialog (save-under,
// frame, controls, restore and presentation of its rectangle), dispatching one mouse move through
// a dialog, and opening and closing a drop-down menu panel.

#include <benchmark/benchmark.h>

#include <memory>

#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "ui/art_cells.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"

namespace {

LRESULT Procedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(window, message, wParam, lParam);
}

// A headless session with a window to present to, an 800 x 600 screen, a patterned dialog art
// buffer of the theme's size and the fonts when the data folder has them.
struct Session {
    ScriptedBackend backend;
    HWND window = nullptr;
    int screen = -1;
    int dialogArt = -1;

    Session() {
        SetBackend(&backend);
        window = CreateMainWindow("bench", 800, 600, &Procedure);
        ShowMainWindow(window);
        InitBuffers();
        SetBufferDepth(32);
        screen = CreateBuffer(800, 600);
        dialogArt = CreateBuffer(art::kDialogArtWidth, art::kDialogArtHeight);
        Pixel* pixels = BufferPixels(dialogArt);
        for (int i = 0; i < art::kDialogArtWidth * art::kDialogArtHeight; ++i) pixels[i] = MapRgb(i % 200, 90, 60);
        SelectBuffer(screen);
        InitToolkit(window, screen, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
        BuildColorTable();
        SetRegularFont("windb_10.fgf");
        ToolkitTheme theme;
        theme.dialogFace = dialogArt;
        SetToolkitTheme(theme);
    }
};

Session& TheSession() {
    static Session session;
    return session;
}

// The rule-settings dialogs' size with twelve controls of the usual kinds.
class TwelveControls : public Dialog {
public:
    TwelveControls() : Dialog(200, 62, 400, 475, "Game Settings") {
        const int art = ThemeDialogArt();
        Create<GroupBox>(20, 60, 360, 120, "Options", 1, 1);
        Create<CheckBox>(36, 80, "&Auto game over");
        Create<CheckBox>(36, 100, "Show &timer");
        Create<CheckBox>(36, 120, "Allow &undo");
        OptionGroup* group = Create<OptionGroup>(36, 200);
        group->Create<OptionButton>(0, 0, "Draw &one card");
        group->Create<OptionButton>(0, 20, "Draw t&hree cards");
        group->CheckIndex(0);
        Create<Label>(20, 280, -1, "Recycles:");
        Create<SpinField>(120, 276, 40, "&Recycles");
        Create<EditField>(120, 310, 160, 30, "&Name");
        Create<Label>(20, 350, -1, "Backdrop:");
        DropDownList* list = Create<DropDownList>(120, 346, 160, 30);
        for (const char* item : {"Green baize", "Blue velvet", "Walnut"}) list->AddItem(item);
        list->SetSelectedIndex(0);
        Create<Button>(90, 420, 100, 30, art, "OK");
        Create<Button>(210, 420, 100, 30, art, "&Cancel");
    }
    void ProcessEvent() override {}
};

void BM_DialogOpenAndClose(benchmark::State& state) {
    TheSession();
    TwelveControls dialog;
    for (auto _ : state) {
        dialog.Open();
        PresentQueuedRects();
        dialog.Close();
        PresentQueuedRects();
        dialog.ClearDirty();
    }
}
BENCHMARK(BM_DialogOpenAndClose)->Unit(benchmark::kMicrosecond);

// One WM_MOUSEMOVE through both stages and the dialog's dispatch. moveOverButton alternates
// between a button and empty face, so every move also redraws the button's hover look.
void DispatchMoves(benchmark::State& state, bool moveOverButton) {
    Session& session = TheSession();
    TwelveControls dialog;
    dialog.Open();
    const int buttonX = dialog.GetX() + 140, buttonY = dialog.GetY() + 435;
    const int emptyX = dialog.GetX() + 300, emptyY = dialog.GetY() + 260;
    int i = 0;
    for (auto _ : state) {
        const bool odd = (++i & 1) != 0;
        const int px = moveOverButton && odd ? buttonX : emptyX + (odd ? 1 : 0);
        const int py = moveOverButton && odd ? buttonY : emptyY;
        TranslateInput(session.window, WM_MOUSEMOVE, 0, MakeLParam(px, py));
        TranslateEvent();
        dialog.HandleEvent();
        benchmark::DoNotOptimize(CurrentEvent().type);
    }
    dialog.Close();
    PresentQueuedRects();
}

void BM_DialogMouseMove(benchmark::State& state) { DispatchMoves(state, false); }
BENCHMARK(BM_DialogMouseMove);

void BM_DialogMouseMoveWithHover(benchmark::State& state) { DispatchMoves(state, true); }
BENCHMARK(BM_DialogMouseMoveWithHover);

// The game's menu with six items: open its panel and close it again, with presentation.
void BM_MenuPanelOpenAndClose(benchmark::State& state) {
    TheSession();
    RootPanel root;
    MenuBar* bar = root.Create<MenuBar>();
    Menu* menu = bar->AddMenu(54, "&Game");
    for (int id = 0; id < 6; ++id) menu->AddItem("&Item", 1000 + id);
    root.Open();
    bar->Draw();
    for (auto _ : state) {
        menu->OpenPanel();
        PresentQueuedRects();
        menu->ClosePanel();
        PresentQueuedRects();
        root.ClearDirty();
    }
}
BENCHMARK(BM_MenuPanelOpenAndClose)->Unit(benchmark::kMicrosecond);

}  // namespace
