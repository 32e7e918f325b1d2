#include <cstdio>
#include <memory>

#include "audio/music.h"
#include "audio/sound_effects.h"
#include "draw/draw.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "games/game_registry.h"
#include "platform/backend.h"
#include "platform/instance.h"
#include "platform/keys.h"
#include "platform/paths.h"
#include "shell/appearance_choosers.h"
#include "rules/rule_settings.h"
#include "rules/rules_viewer.h"
#include "artwork/artwork.h"
#include "shell/deal_keeping.h"
#include "shell/display_depth.h"
#include "shell/game_menu.h"
#include "shell/hint_search.h"
#include "shell/notices.h"
#include "shell/winnable_search.h"
#include "artwork/screen_layout.h"
#include "shell/screens.h"
#include "shell/shell.h"
#include "store/dialogs/player_dialog.h"
#include "store/saved_game.h"
#include "store/settings_store.h"
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
    // The screen artwork with the one dirty list, and the selection screen's menu of games.
    std::unique_ptr<Artwork> artwork;
    std::unique_ptr<GameMenu> gameMenu;
    // The toolkit root of the selection screen with its two image buttons.
    std::unique_ptr<RootPanel> root;
    ImageButton* playersButton = nullptr;
    ImageButton* exitButton = nullptr;
    // The last wParam of WM_ACTIVATEAPP: input is ignored and nothing is painted while it is 0.
    bool active = false;
    // The running game; null while the selection screen is shown.
    std::unique_ptr<Game> currentGame;
    // Set by the in-game "Exit" once its exit screen is over. The window is destroyed after the
    // game's own command handling has returned, so the game is never freed under its own feet.
    bool exitRequested = false;
};

ShellState shell;

// The deal the command line asked for; it outlives the reset of the shell state.
struct StartingDeal {
    int gameNumber = 0;
    std::optional<uint32_t> deal;
};
StartingDeal startingDeal;

void PresentWholeScreen() {
    SelectBuffer(shell.screenBuffer);
    PresentRect(0, kScreenWidth - 1, 0, kScreenHeight - 1, 0, kScreenHeight - 1);
}

// Draws the root window's buttons over the selection screen; presents both unless told to wait.
void DrawRootWindow(bool present = true) {
    if (!shell.root) return;
    SelectBuffer(shell.screenBuffer);
    shell.root->DrawChildren();
    if (present) PresentQueuedRects();
}

// ---------------------------------------------------------------------------------------------
// Steps of the start-up and shut-down order, in the order they are called.

// The screen artwork, made once with the screen buffer, the window and the palette; it also
// loads the card images and the title-button image of the selection screen.
bool CreateArtwork() {
    shell.artwork = std::make_unique<Artwork>();
    const bool made = shell.artwork->Init(shell.screenBuffer, shell.window, shell.palette);
    SelectBuffer(shell.screenBuffer);
    return made;
}
void DestroyArtwork() { shell.artwork.reset(); }

// The toolkit with the option flags 4 | 16, its colour table, and the fonts: "windb_10.fgf" is
// loaded and selected as the start-up font, then loaded again as the regular font.
bool StartToolkit() {
    InitToolkit(shell.window, shell.screenBuffer, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
    BuildColorTable();
    LoadStartupFont("windb_10.fgf");
    SetRegularFont("windb_10.fgf");
    PresentHooks hooks;
    hooks.applicationActive = IsApplicationActive;
    hooks.playSound = PlaySoundEffect;
    // Controls queue what they draw in the artwork's list, so there is one list to present.
    if (shell.artwork) {
        hooks.addDirty = [](int left, int top, int right, int bottom) {
            if (shell.artwork) shell.artwork->AddDirty({left, top, right, bottom});
        };
        hooks.presentDirty = [] {
            if (shell.artwork) shell.artwork->PresentDirty();
        };
    }
    SetPresentHooks(hooks);
    return true;
}
void StopToolkit() { ShutdownToolkit(); }

// The sound effects, which also start the music thread; without sound the program runs silent,
// so the result is not acted on.
void StartSound() { InitSound(shell.window); }
void StopSound() { ShutdownSound(); }

// The selection menu lives from start-up to shut-down.
void InitSelectionMenu() {
    shell.gameMenu = std::make_unique<GameMenu>();
    shell.gameMenu->Init();
}
// The selection screen in the preferred backdrop theme, without a highlighted name. Its title
// picture covers the table background, which is decoded when a table first needs it.
void DrawSelectionScreen() {
    if (shell.gameMenu) shell.gameMenu->ForgetHighlight();
    shell.artwork->LoadMenuTheme(Artwork::kPreferredTheme);
    shell.artwork->DrawSelectionScreen();
}
void ReleaseSelectionMenu() { shell.gameMenu.reset(); }

// The toolkit root window (0,0,799,599) with the Players and Exit image buttons; their cells in
// the title-button image are normal (0,y), hover (84,y), disabled and pressed (168,y).
// A start from the command line leaves the selection screen queued, not presented: a notice or
// the player dialog presents it under them, and otherwise the table, presented whole, replaces it
// unseen (no flash of the selection screen, one full-window present fewer).
void CreateRootWindow() {
    shell.root = std::make_unique<RootPanel>();
    shell.root->Open();
    using namespace screen_layout;
    auto makeButton = [](int x, int y, int row) {
        return shell.root->Create<ImageButton>(x, y, kTitleButtonWidth, kTitleButtonHeight,
                                               shell.artwork->titleButtonArt, ArtCell{kTitleButtonNormalX, row},
                                               ArtCell{kTitleButtonHoverX, row}, ArtCell{kTitleButtonDisabledX, row},
                                               ArtCell{kTitleButtonPressedX, row});
    };
    shell.playersButton = makeButton(kPlayersButtonX, kPlayersButtonY, kPlayersButtonRowY);
    shell.exitButton = makeButton(kExitButtonX, kExitButtonY, kExitButtonRowY);
    DrawRootWindow(startingDeal.gameNumber == 0);
}
void DestroyRootWindow() {
    shell.playersButton = nullptr;
    shell.exitButton = nullptr;
    shell.root.reset();
}

// SelectPlayer (store/); its result is ignored when it comes from the Players button.
void SelectPlayerFromButton() { SelectPlayer(); }

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

// The player: the remembered one, or the one chosen in the player dialog. False when the player
// cancelled the dialog, which ends the program. The player's appearance choices are then known,
// so the card images (decoded by the first game) and the selection screen's theme follow them.
bool ChoosePlayer() {
    if (!ChoosePlayerAtStartUp(SelectPlayer)) return false;
    if (shell.artwork) {
        shell.artwork->cardFront = static_cast<int>(userPreferences.CardFront);
        shell.artwork->cardBack = static_cast<int>(userPreferences.CardBack);
        shell.artwork->LoadMenuTheme(Artwork::kPreferredTheme);
    }
    return true;
}

void StartTitleMusic() { SetTitleMusic(); }

// A click on a game name runs its start handler; elsewhere it does nothing.
void SelectionClick(int x, int y) {
    if (shell.gameMenu) StartGameOfItem(shell.gameMenu->HitTest(x, y));
}
// Moves the highlight to the name under the mouse and presents the names it touched.
void SelectionHover(int x, int y) {
    if (!shell.gameMenu || !shell.gameMenu->Hover(x, y, shell.screenBuffer)) return;
    for (const Rect& rect : shell.gameMenu->Touched()) shell.artwork->AddDirty(rect);
    shell.artwork->PresentDirty();
}

// Every way of leaving the table keeps an unfinished deal for the next visit.
void DestroyCurrentGame() {
    if (!shell.currentGame) return;
    shell.currentGame->LeaveDeal(Game::Leaving::kKeepingTheDeal);
    shell.currentGame->ClearHotspots();
    shell.currentGame.reset();
}
// The game's menu bar and commands see every input message first; true consumes it.
bool GameConsumesInput() {
    Game& game = *shell.currentGame;
    const bool consumed = game.HandleMenuEvent() || game.IsMenuOpen();
    if (shell.exitRequested) {
        DestroyWindow(shell.window);
        return true;
    }
    return consumed;
}
void GameMouse(uint32_t message, WPARAM keys, int x, int y) {
    shell.currentGame->HandleMouseMessage(message, keys, x, y);
}
// Refreshes the score panel and, once the game has ended, runs the end-of-game sequence.
void GameTimerTick() { shell.currentGame->DrawTable(-1); }

// What the games ask of the shell: the end pictures and the exit screen.
void ConnectGameServices() {
    GameServices& services = Services();
    services.showEndScreen = [](bool won) {
        if (!shell.artwork) return;
        ShowEndScreen(*shell.artwork, won);
        // The table comes back under the high scores, and its backdrop beside it.
        shell.artwork->ShowBackdropInMargins();
    };
    services.exitProgram = [] {
        ExitScreen screen;
        screen.RunModal();
        shell.exitRequested = true;
    };
    // The appearance choosers: a new back, front or backdrop shows at once (a table drawn half
    // in the old front would look broken).
    services.chooseCardBack = [](Game& game) {
        if (!ChooseCardBack() || !shell.artwork) return;
        shell.artwork->cardBack = static_cast<int>(userPreferences.CardBack);
        game.Draw(true);
    };
    services.chooseCardFront = [](Game& game) {
        if (!ChooseCardFront() || !shell.artwork) return;
        shell.artwork->cardFront = static_cast<int>(userPreferences.CardFront);
        shell.artwork->LoadCardImages();
        game.Draw(true);
    };
    services.chooseBackground = [](Game& game) {
        if (!ChooseBackdrop() || !shell.artwork) return;
        shell.artwork->LoadTheme(Artwork::kPreferredTheme);
        shell.artwork->DrawGameTitle(game.gameNumber);
        game.Draw(false);
        PresentWholeScreen();
    };
    services.gameSettingsDialog = [](Game& game) { return RunRuleSettings(game.gameNumber, RuleDialogMode::kRestart); };
    services.rulesSummary = [](Game& game) { ShowRulesSummary(game.gameNumber); };
    services.rulesText = [](const std::string& name) { ShowRulesText(name); };
    services.playModel = [](int number) { return FindGame(number) ? FindGame(number)->model : nullptr; };
    services.startWinnableSearch = [](Game& game, uint32_t first) { return StartWinnableSearch(game, first, 1.0); };
    services.startHintSearch = StartSolverHint;
    services.startVerdictSearch = StartSolverVerdict;
    services.startLineSearch = StartSolverLine;
    ConnectDealKeeping();
}

void TellKeptDealSetAside(const std::string& keptAs) {
    QueueNotice(Translate("The game in progress could not be read.\nIt was set aside as ") + keptAs + ".");
    ShowNoticesWhenQuiet();
}

// The player's kept deal of the game, put back on the table and offered: true when the player
// continues it. New Deal counts the kept deal as lost and leaves the selection screen showing,
// for the game to start as it always does.
bool ContinueKeptDeal(const GameDescriptor& entry) {
    std::string keptAs;
    const std::optional<SavedGame> saved = KeptDeal(entry.number, &keptAs);
    if (!saved) {
        if (!keptAs.empty()) TellKeptDealSetAside(keptAs);
        return false;
    }
    RestoreKeptRules(entry, *saved);
    shell.currentGame = entry.create(shell.artwork.get());
    if (!shell.currentGame->ResumeDeal(*saved)) {
        // The file read whole but its table does not fit the game: the same deal starts afresh.
        TellKeptDealSetAside(SetSavedGameAside(userPreferences.CurrentPlayer, entry.number));
        return true;
    }
    if (AskToContinue()) {
        // The time the player took to answer is not part of the deal.
        shell.currentGame->StartClock(saved->elapsedSeconds);
        shell.artwork->PresentDirty();
        return true;
    }
    shell.currentGame->LeaveDeal(Game::Leaving::kForAnotherDeal);
    DestroyCurrentGame();
    DrawSelectionScreen();
    DrawRootWindow();
    return false;
}

// The game's rule-settings dialog in its start mode; 1 starts the game, anything else keeps the
// selection screen. It is skipped (as 1) when the player asked not to see it again.
int RunStartSettings(int gameNumber) { return RunRuleSettings(gameNumber, RuleDialogMode::kStart); }

// ---------------------------------------------------------------------------------------------

bool IsInputMessage(uint32_t message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP ||
           (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK);
}

// The display cannot show the program: say so in the program's own message box, drawn on a
// screen buffer made just for it, and release everything again.
void ShowDepthRefusal() {
    const char* message = Translate(kDepthMessage);
    // A window that cannot show anything leaves the message to the host, which reads UTF-8.
    if (!WindowCanPresent()) {
        ShowHostMessageBox(kWindowTitle, Windows1252ToUtf8(message).c_str());
        return;
    }
    SetupDisplay(kScreenWidth, kScreenHeight, kMinimumDepth, 0);
    InitBuffers();
    SetBufferDepth(kMinimumDepth);
    shell.screenBuffer = CreateBuffer(kScreenWidth, kScreenHeight);
    if (shell.screenBuffer < 0) {
        ShowHostMessageBox(kWindowTitle, Windows1252ToUtf8(message).c_str());
        return;
    }
    ShowMainWindow(shell.window);
    SelectBuffer(shell.screenBuffer);
    // A new buffer is black already, as is the window until the first present; filling or
    // presenting the buffer would only fault in pages the first screen picture replaces.
    SetColor(MapRgb(0, 0, 0));
    StartToolkit();
    {
        MessageBox box(nullptr, kWindowTitle, MessageBox::kOk, message);
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
    ForgetStartRequests();
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
    // A new buffer is black already, as is the window until the first present; filling or
    // presenting the buffer would only fault in pages the first screen picture replaces.
    SetColor(MapRgb(0, 0, 0));
    InitMouse();
    ShowMouseCursor(1);

    if (!CreateArtwork()) return false;
    if (!StartToolkit()) return false;
    ConnectGameServices();
    SetCursor(0);
    // A start from the command line with a game goes to its table as soon as the player is
    // known: the player asked for that game, not for the logo.
    if (startingDeal.gameNumber == 0) ShowLogoScreen(*shell.artwork);
    StartSound();
    InitSelectionMenu();
    DrawSelectionScreen();
    CreateRootWindow();
    // A settings file set aside or not being saved is said before anything is chosen.
    ShowNoticesWhenQuiet();
    if (!ChoosePlayer()) return false;
    StartTitleMusic();
    SetTimer(window, kGameTimer, kTimerPeriodMs);
    if (startingDeal.gameNumber != 0) StartGame(startingDeal.gameNumber, false, startingDeal.deal);
    shell.artwork->PresentDirty();
    return true;
}

// The shut-down order of WM_DESTROY, the reverse direction of start-up.
void ShutDown() {
    ReleaseSelectionMenu();
    DestroyRootWindow();
    if (shell.currentGame) DestroyCurrentGame();
    FlushSavedGames();
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
Game* CurrentGame() { return shell.currentGame.get(); }
Artwork* ShellArtwork() { return shell.artwork.get(); }

void StartGame(int gameNumber, bool rulesFirst, std::optional<uint32_t> deal) {
    const GameDescriptor* entry = FindGame(gameNumber);
    if (!entry || !shell.artwork || shell.currentGame) return;
    // The selection screen's hover picture waits for the next visit there.
    if (shell.gameMenu) shell.gameMenu->ReleaseArt();
    if (!deal && ContinueKeptDeal(*entry)) return;
    std::unique_ptr<Game> game = entry->create(shell.artwork.get());
    if (rulesFirst && RunStartSettings(gameNumber) != 1) {
        game.reset();
        InvalidateWindow(shell.window, false);
        return;
    }
    shell.currentGame = std::move(game);
    shell.currentGame->Deal(false, deal);
}

void RequestStartingDeal(int gameNumber, std::optional<uint32_t> deal) { startingDeal = {gameNumber, deal}; }

void LeaveGame() {
    if (!shell.currentGame) return;
    DestroyCurrentGame();
    DrawSelectionScreen();
    DrawRootWindow();
    InvalidateWindow(shell.window, false);
    StartTitleMusic();
}

// The drawing layer now draws at another device scale: every picture is loaded again at that
// scale and the screen drawn from scratch, open dialogs over it.
void RedrawAtNewScale() {
    if (!shell.artwork || shell.screenBuffer < 0) return;
    shell.artwork->ReloadAtDeviceScale();
    if (shell.currentGame) {
        shell.artwork->DrawGameTitle(shell.currentGame->gameNumber);
        shell.currentGame->Draw(false);
    } else {
        DrawSelectionScreen();
        if (shell.root) shell.root->DrawChildren();
    }
    RedrawOpenPanels();
    PresentWholeScreen();
}

LRESULT MainWindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (IsInputMessage(message) && InputPreFilter(message, wParam, lParam)) return 0;

    switch (message) {
    case WM_CREATE:
        return StartUp(window) ? 0 : -1;
    case WM_ACTIVATEAPP:
        shell.active = wParam != 0;
        SetMusicApplicationActive(shell.active);
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
        // The highlight presents only the names it touched rather than the whole window.
        else SelectionHover(LowWord(lParam), HighWord(lParam));
        return 0;
    case WM_KEYUP:
        if (shell.currentGame) shell.currentGame->HandleKey(message, wParam);
        return 0;
    case WM_KEYDOWN:
        if (shell.currentGame && shell.currentGame->HandleKey(message, wParam)) return 0;
        if (wParam == VK_ESCAPE || wParam == VK_F12) {
            if (shell.currentGame) LeaveGame();
            else DestroyWindow(window);
        } else if (wParam == 'H' && shell.currentGame) {
            shell.currentGame->ShowHint();
        }
        return 0;
    case WM_TIMER:
        if (wParam == kGameTimer && shell.currentGame) GameTimerTick();
        if (wParam == kGameTimer && shell.window) ShowNoticesWhenQuiet();
        return 0;
    case WM_CLOSE:
        // A dialog's loop is on the stack, often inside a game command that goes on using the
        // game once the dialog returns: every loop is ended first (as if cancelled), and the
        // window is destroyed, keeping the deal, when the stack has unwound.
        if (ModalLoopDepth() > 0) {
            PostQuitMessage(0);
            return 0;
        }
        DestroyWindow(window);
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
    case WM_APP_RESCALE:
        RedrawAtNewScale();
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

int RunApplication(LoopCompanionMaker makeCompanion) {
    // One copy per user: a second copy raises the first and leaves at once.
    SingleInstance instance(RuntimeDirectory());
    if (!instance.IsFirst()) return 0;
    const std::unique_ptr<LoopCompanion> companion = makeCompanion ? makeCompanion() : nullptr;

    shell = ShellState{};
    // A logout's SIGTERM closes the program as the window's close button does, which keeps the
    // deal in progress, whatever loop is running.
    CloseOnTerminationSignal();
    // The display gone for good (the X server ended): the deal in progress is kept as a close
    // would keep it, and the process ends at once.
    SetDisplayLostHandler([] {
        if (shell.currentGame) shell.currentGame->LeaveDeal(Game::Leaving::kKeepingTheDeal);
        FlushSavedGames();
    });
    // Creating the window runs the whole start-up (logo, player dialog): a second copy started
    // meanwhile must already find someone listening.
    instance.ListenForRaiseRequests();
    HWND window = CreateMainWindow(kWindowTitle, kScreenWidth, kScreenHeight, MainWindowProcedure);
    if (!window) return 0;

    // The accelerator table of the original design (Alt+/ and Alt+?) had no handler; it is not kept.
    Message message;
    while (GetMessage(&message)) {
        TranslateMessage(&message);
        DispatchMessage(&message);
    }
    // Closed while a dialog was open: the loops are gone, so the window goes now, and its
    // WM_DESTROY posts the quit that ends this last loop.
    if (IsWindow(window)) {
        DestroyWindow(window);
        while (GetMessage(&message)) DispatchMessage(&message);
    }
    SetDisplayLostHandler(nullptr);
    return static_cast<int>(message.wParam);
}
