#include <cstdio>
#include <memory>

#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/instance.h"
#include "platform/keys.h"
#include "platform/paths.h"
#include "shell/display_depth.h"
#include "shell/shell.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"
#include "ui/window.h"

namespace {

// Process-wide shell state; one of each, owned here.
struct ShellState {
    HWND window = nullptr;
    int depth = 0;
    int palette = 0;
    int screenBuffer = -1;
    // The title-button image (256 x 111) behind the Players and Exit buttons.
    int titleButtonArt = -1;
    // The toolkit root of the selection screen with its two image buttons.
    std::unique_ptr<RootPanel> root;
    ImageButton* playersButton = nullptr;
    ImageButton* exitButton = nullptr;
    // The last wParam of WM_ACTIVATEAPP: input is ignored and nothing is painted while it is 0.
    bool active = false;
    // The running game; null while the selection screen is shown. FIXME: becomes the Game object
    // once the game framework exists; until then no game can be started.
    void* currentGame = nullptr;
};

ShellState shell;

// Geometry of the selection screen's two image buttons.
constexpr int kTitleButtonArtWidth = 256;
constexpr int kTitleButtonArtHeight = 111;
constexpr int kTitleButtonWidth = 84;
constexpr int kTitleButtonHeight = 54;
constexpr int kTitleButtonTop = 15;
constexpr int kPlayersButtonX = 20;
constexpr int kExitButtonX = 696;
constexpr int kPlayersButtonRow = 54;
constexpr int kExitButtonRow = 0;

void PresentWholeScreen() {
    SelectBuffer(shell.screenBuffer);
    PresentRect(0, kScreenWidth - 1, 0, kScreenHeight - 1, 0, kScreenHeight - 1);
}

void DrawRootWindow() {
    if (!shell.root) return;
    SelectBuffer(shell.screenBuffer);
    shell.root->DrawChildren();
    PresentQueuedRects();
}

// ---------------------------------------------------------------------------------------------
// Seams: steps of the start-up and shut-down order whose subsystems are not built yet. Each says
// which function fills it; the order of the calls is already the final one.

// Artwork::Init with the screen buffer, the window and the palette (shell/artwork). Until the
// artwork object exists the shell loads the title-button image the selection screen needs.
bool CreateArtwork() {
    shell.titleButtonArt = CreateBuffer(kTitleButtonArtWidth, kTitleButtonArtHeight);
    if (shell.titleButtonArt < 0) return false;
    SelectBuffer(shell.titleButtonArt);
    SetColor(MapRgb(255, 0, 255));
    FillBuffer();
    ShowBmp(DataPath("artwork\\titlebtn.bmp").c_str(), 1);
    SelectBuffer(shell.screenBuffer);
    SetTransparentColor(34, 1);
    SetTransparentColor(253, 1);
    return true;
}
void DestroyArtwork() {
    if (shell.titleButtonArt >= 0) FreeBuffer(shell.titleButtonArt);
    shell.titleButtonArt = -1;
}

// The toolkit with the option flags 4 | 16, its colour table, and the fonts: "windb_10.fgf" is
// loaded and selected as the start-up font, then loaded again as the regular font.
bool StartToolkit() {
    InitToolkit(shell.window, shell.screenBuffer, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
    BuildColorTable();
    LoadStartupFont("windb_10.fgf");
    SetRegularFont("windb_10.fgf");
    PresentHooks hooks;
    hooks.applicationActive = IsApplicationActive;
    SetPresentHooks(hooks);
    return true;
}
void StopToolkit() { ShutdownToolkit(); }

// ShowLogoScreen (shell/screens): five seconds, or until the first click or key.
void ShowLogoScreen() {}

// InitSound(window), which also starts the music thread (audio/); its result is not acted on.
void StartSound() {}
// ShutdownSound (audio/), which also ends the music thread.
void StopSound() {}

// GameMenu::Init, Artwork::LoadTheme of the preferred backdrop and DrawSelectionScreen
// (shell/screens).
void DrawSelectionScreen() {}
// GameMenu's highlight resources (shell/screens).
void ReleaseSelectionMenu() {}

// The toolkit root window (0,0,799,599) with the Players and Exit image buttons; their cells in
// the title-button image are normal (0,y), hover (84,y), disabled and pressed (168,y).
void CreateRootWindow() {
    shell.root = std::make_unique<RootPanel>();
    shell.root->Open();
    auto makeButton = [](int x, int row) {
        return shell.root->Create<ImageButton>(x, kTitleButtonTop, kTitleButtonWidth, kTitleButtonHeight,
                                               shell.titleButtonArt, ArtCell{0, row},
                                               ArtCell{kTitleButtonWidth, row},
                                               ArtCell{2 * kTitleButtonWidth, row},
                                               ArtCell{2 * kTitleButtonWidth, row});
    };
    shell.playersButton = makeButton(kPlayersButtonX, kPlayersButtonRow);
    shell.exitButton = makeButton(kExitButtonX, kExitButtonRow);
    DrawRootWindow();
}
void DestroyRootWindow() {
    shell.playersButton = nullptr;
    shell.exitButton = nullptr;
    shell.root.reset();
}

// SelectPlayer (store/); its result is ignored when it comes from the Players button.
void SelectPlayerFromButton() {}

// The selection screen's event pump. Returns true when the Exit button ended the program.
bool PumpSelectionEvents() {
    if (!shell.root) return false;
    TranslateEvent();
    shell.root->HandleEvent();
    if (shell.root->IsDirty()) {
        PresentWholeScreen();
        shell.root->ClearDirty();
    }
    const ToolkitEvent& event = CurrentEvent();
    if (event.type != kEventCommand) return false;
    if (shell.exitButton && event.sourceId == shell.exitButton->GetId()) {
        DestroyWindow(shell.window);
        return true;
    }
    if (shell.playersButton && event.sourceId == shell.playersButton->GetId()) {
        SelectPlayerFromButton();
        PresentQueuedRects();
    }
    return false;
}

// LoadPreferences, FindOrAddPlayer and SelectPlayer (store/). False when the player cancelled the
// player dialog, which ends the program.
bool ChoosePlayer() { return true; }

// SetTitleMusic (audio/).
void StartTitleMusic() {}

// GameMenu::HitTest and the start handlers of the twenty games (shell/screens, games/).
void SelectionClick(int, int) {}
// GameMenu::Hover; true when the highlight changed (shell/screens).
bool SelectionHover(int, int) { return false; }

// Game::ClearHotspots and destruction of the game object (framework/).
void DestroyCurrentGame() { shell.currentGame = nullptr; }
// Game::HandleMenuEvent and Game::IsMenuOpen (framework/); true consumes the message.
bool GameConsumesInput() { return false; }
// Game::OnLButtonDown/OnLButtonUp/OnMouseMove/OnDoubleClick and Game::DrawTable(-1) (framework/).
void GameMouse(uint32_t, WPARAM, int, int) {}
void GameTimerTick() {}

// ---------------------------------------------------------------------------------------------

bool IsInputMessage(uint32_t message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
           (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK);
}

// The display cannot show the program: say so in the program's own message box, drawn on a
// screen buffer made just for it, and release everything again.
void ShowDepthRefusal() {
    SetupDisplay(kScreenWidth, kScreenHeight, kMinimumDepth, 0);
    InitBuffers();
    SetBufferDepth(kMinimumDepth);
    shell.screenBuffer = CreateBuffer(kScreenWidth, kScreenHeight);
    if (shell.screenBuffer < 0) {
        ShowHostMessageBox(kWindowTitle, kDepthMessage);
        return;
    }
    ShowMainWindow(shell.window);
    SelectBuffer(shell.screenBuffer);
    SetColor(MapRgb(0, 0, 0));
    FillBuffer();
    PresentWholeScreen();
    StartToolkit();
    {
        MessageBox box(nullptr, kWindowTitle, MessageBox::kOk, kDepthMessage);
        box.RunModal();
    }
    StopToolkit();
    CloseBuffer();
    FreeBuffer(shell.screenBuffer);
    shell.screenBuffer = -1;
    ShutdownGraphics();
}

// The start-up order of WM_CREATE. Any failure makes window creation fail and the program end.
bool StartUp(HWND window) {
    shell.window = window;
    shell.depth = ChooseDisplayDepth(DisplayModes());
    if (shell.depth < kMinimumDepth) {
        ShowDepthRefusal();
        return false;
    }

    SetupDisplay(kScreenWidth, kScreenHeight, shell.depth, 0);
    SetDeviceContext(window);
    shell.palette = CreateDefaultPalette();
    RealizePalette(shell.palette);
    ShowMainWindow(window);

    InitBuffers();
    SetBufferDepth(shell.depth);
    shell.screenBuffer = CreateBuffer(kScreenWidth, kScreenHeight);
    if (shell.screenBuffer < 0) return false;
    SelectBuffer(shell.screenBuffer);
    RefreshBufferPalette();
    SetColor(MapRgb(0, 0, 0));
    FillBuffer();
    PresentWholeScreen();
    InitMouse();
    ShowMouseCursor(1);

    if (!CreateArtwork()) return false;
    if (!StartToolkit()) return false;
    SetCursor(0);
    ShowLogoScreen();
    StartSound();
    DrawSelectionScreen();
    CreateRootWindow();
    if (!ChoosePlayer()) return false;
    StartTitleMusic();
    SetTimer(window, kIdleTimer, kTimerPeriodMs);
    SetTimer(window, kGameTimer, kTimerPeriodMs);
    // Until the artwork's dirty list exists every start-up drawing is presented whole.
    PresentWholeScreen();
    return true;
}

// The shut-down order of WM_DESTROY, the reverse direction of start-up.
void ShutDown() {
    ReleaseSelectionMenu();
    DestroyRootWindow();
    if (shell.currentGame) DestroyCurrentGame();
    DestroyArtwork();
    ShowMouseCursor(1);
    CloseBuffer();
    if (shell.screenBuffer >= 0) FreeBuffer(shell.screenBuffer);
    shell.screenBuffer = -1;
    ShutdownGraphics();
    if (shell.palette) DeletePalette(shell.palette);
    shell.palette = 0;
    StopToolkit();
    StopSound();
    KillTimer(shell.window, kIdleTimer);
    KillTimer(shell.window, kGameTimer);
}

// Returns true when the message was consumed before the window procedure's own rows.
bool InputPreFilter(uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (!shell.active) return true;
    TranslateInput(shell.window, message, wParam, lParam);
    if (shell.currentGame) return GameConsumesInput();
    // The pump never consumes the message, unless the Exit button has just ended the program.
    return PumpSelectionEvents();
}

}  // namespace

HWND ShellWindow() { return shell.window; }
int ScreenBuffer() { return shell.screenBuffer; }
int ShellDisplayDepth() { return shell.depth; }
bool IsApplicationActive() { return shell.active; }
bool IsGameRunning() { return shell.currentGame != nullptr; }

void LeaveGame() {
    if (!shell.currentGame) return;
    DestroyCurrentGame();
    DrawSelectionScreen();
    DrawRootWindow();
    InvalidateWindow(shell.window, false);
    StartTitleMusic();
}

LRESULT MainWindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (IsInputMessage(message) && InputPreFilter(message, wParam, lParam)) return 0;

    switch (message) {
    case WM_CREATE:
        return StartUp(window) ? 0 : -1;
    case WM_ACTIVATEAPP:
        shell.active = wParam != 0;
        return 0;
    case WM_LBUTTONDOWN:
        if (shell.currentGame) GameMouse(message, wParam, LowWord(lParam), HighWord(lParam));
        else SelectionClick(LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        if (shell.currentGame) GameMouse(message, wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (shell.currentGame) GameMouse(message, wParam, LowWord(lParam), HighWord(lParam));
        else if (SelectionHover(LowWord(lParam), HighWord(lParam))) InvalidateWindow(window, false);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_F12) {
            if (shell.currentGame) LeaveGame();
            else DestroyWindow(window);
        }
        return 0;
    case WM_TIMER:
        if (wParam == kGameTimer && shell.currentGame) GameTimerTick();
        return 0;
    case WM_SETFOCUS:
        RealizePalette(shell.palette);
        InvalidateWindow(window, true);
        return 0;
    case WM_PAINT:
        // While inactive nothing is drawn, but the update region is still validated so the
        // message is not repeated; activation followed by WM_SETFOCUS repaints everything.
        if (shell.active && shell.screenBuffer >= 0) {
            SelectBuffer(shell.screenBuffer);
            RealizePalette(shell.palette);
            ShowMouseCursor(0);
            PresentWholeScreen();
            ShowMouseCursor(1);
        }
        ValidateWindow(window);
        return 0;
    case WM_ERASEBKGND:
        return 0;
    case WM_DESTROY:
        ShutDown();
        PostQuitMessage(0);
        shell.window = nullptr;
        return 0;
    default:
        return DefWindowProc(window, message, wParam, lParam);
    }
}

int RunApplication() {
    // One copy per user: a second copy raises the first and leaves at once.
    SingleInstance instance(RuntimeDirectory());
    if (!instance.IsFirst()) return 0;

    shell = ShellState{};
    HWND window = CreateMainWindow(kWindowTitle, kScreenWidth, kScreenHeight, MainWindowProcedure);
    if (!window) return 0;
    instance.ListenForRaiseRequests();

    // The accelerator table of the original design (Alt+/ and Alt+?) had no handler; it is not kept.
    Message message;
    while (GetMessage(&message)) {
        TranslateMessage(&message);
        DispatchMessage(&message);
    }
    return static_cast<int>(message.wParam);
}
