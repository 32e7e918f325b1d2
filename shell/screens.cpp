#include "shell/screens.h"

#include <vector>

#include "draw/draw.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "shell/shell.h"
#include "ui/toolkit.h"

namespace {

// A window timer that wakes the picture's wait, so the clock is read even when no input comes.
constexpr uintptr_t kScreenWaitTimer = 3;
constexpr uint32_t kScreenWaitPeriodMs = 100;

StartRequest lastRequest;

bool IsPress(uint32_t message) {
    return message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_KEYDOWN ||
           message == WM_SYSKEYDOWN;
}

// Messages a wait handles as they come: activation, focus, a second copy's request to bring the
// window forward (the logo and end screens are exactly when a player may start another), and a
// request to close (the close button, a logout), which ends every loop.
bool IsStateChange(uint32_t message) {
    return message == WM_ACTIVATEAPP || message == WM_SETFOCUS || message == WM_KILLFOCUS ||
           message == WM_APP_RAISE || message == WM_CLOSE;
}

// Waits, by the clock in whole seconds, until lastingSeconds have passed or a press arrives once
// deafSeconds have passed; earlier presses are swallowed. State changes (above) are handled as
// they come. Every other message is held back and put in the queue again afterwards,
// in its order, so nothing but the presses is lost; timer ticks are dropped (they come again)
// and a paint is asked for again at the end. The program quitting ends the wait at once.
void WaitForPressOrTime(int deafSeconds, int lastingSeconds, bool dropQueuedPresses) {
    // A modal loop like a dialog's: a close request ends it rather than destroying the window
    // under whoever is waiting.
    ModalLoopScope scope;
    HWND window = MainWindowHandle();
    std::vector<Message> heldBack;
    bool repaint = false;
    bool quitting = false;
    int exitCode = 0;
    auto keep = [&](const Message& message) {
        if (message.message == WM_QUIT) {
            quitting = true;
            exitCode = static_cast<int>(message.wParam);
        } else if (IsStateChange(message.message)) {
            DispatchMessage(&message);
        } else if (message.message == WM_PAINT) {
            repaint = true;
        } else if (message.message != WM_TIMER) {
            heldBack.push_back(message);
        }
    };

    Message message;
    if (dropQueuedPresses) {
        while (!quitting && PeekMessage(&message, true))
            if (!IsPress(message.message)) keep(message);
    }

    const int64_t start = WallClockSeconds();
    SetTimer(window, kScreenWaitTimer, kScreenWaitPeriodMs);
    while (!quitting) {
        const int64_t elapsed = WallClockSeconds() - start;
        if (elapsed >= lastingSeconds) break;
        if (!PeekMessage(&message, true)) {
            WaitMessage();
            continue;
        }
        if (!IsPress(message.message)) keep(message);
        else if (elapsed >= deafSeconds) break;
    }
    KillTimer(window, kScreenWaitTimer);

    for (const Message& held : heldBack) PostMessage(held.hwnd, held.message, held.wParam, held.lParam);
    if (repaint && window) InvalidateWindow(window, false);
    // The loops outside this one end too.
    if (quitting) PostQuitMessage(exitCode);
}

}  // namespace

void ShowLogoScreen(Artwork& artwork) {
    artwork.DrawScreenPicture("artwork\\logo.jpg");
    artwork.Present();
    ShowMouseCursor(0);
    WaitForPressOrTime(0, kScreenSeconds, false);
    ShowMouseCursor(1);
}

void ShowEndScreen(Artwork& artwork, bool won) {
    artwork.DrawScreenPicture(won ? "artwork\\winscreen.jpg" : "artwork\\losescreen.jpg");
    artwork.Present();
    WaitForPressOrTime(kEndScreenDeafSeconds, kScreenSeconds, true);
}

void StartGameOfItem(int item) {
    if (item < 0 || item >= screen_layout::kGameCount) return;
    // Item i starts game i + 1: the selection screen lists the games in number order.
    const GameDescriptor& game = *FindGame(item + 1);
    lastRequest.gameNumber = game.number;
    lastRequest.mode = game.start;
    ++lastRequest.count;
    StartGame(game.number, game.start == StartMode::RulesFirst);
}

StartRequest LastStartRequest() { return lastRequest; }
void ForgetStartRequests() { lastRequest = StartRequest{}; }
