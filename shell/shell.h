// The application shell: process entry, the main window and its procedure, the message loop,
// and the start-up and shut-down order of every subsystem.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/messages.h"
#include "platform/translation.h"

class Artwork;
class Game;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr const char* kWindowTitle = "Quillfen Solitaire";
// Shown translated (Translate) when the display has too few colours.
constexpr const char* kDepthMessage = TranslateLater("Quillfen Solitaire requires 16-bit color or higher");
// The window's timer ticks every 100 ms and refreshes the running game. (Id 1, an idle timer
// that did nothing, is no longer set: it only woke an idle table ten times a second.)
constexpr uintptr_t kGameTimer = 2;
constexpr uint32_t kTimerPeriodMs = 100;

// Something kept alive for the length of the message loop, made once the single-instance check has
// passed: the end-to-end tests' request answerer (tests/hooks) is one. The shipped program has none.
class LoopCompanion {
public:
    virtual ~LoopCompanion() = default;
};
using LoopCompanionMaker = std::unique_ptr<LoopCompanion> (*)();

// Runs the program on the installed back end: the single-instance rule, the window, the message
// loop. Returns the exit code of the final WM_QUIT, or 0 when another copy was running or the
// window could not be made.
int RunApplication(LoopCompanionMaker makeCompanion = nullptr);

// The whole program from its command line: options, the SDL back end, RunApplication, and the
// window placement kept for the next run. main() is this with no companion.
int ProgramMain(int argc, char** argv, LoopCompanionMaker makeCompanion);

// What the shell offers the other subsystems while the program runs.
HWND ShellWindow();
int ScreenBuffer();       // drawing-layer handle of the 800 x 600 screen buffer, -1 when none
int ShellDisplayDepth();  // 16, 24 or 32
bool IsApplicationActive();
bool IsGameRunning();
// The running game, null on the selection screen (tests look at its cards).
Game* CurrentGame();
// The screen artwork with its dirty list; null while the program is not running.
Artwork* ShellArtwork();

// Creates game n (1..20) and deals it (deal number `deal`, else a fresh one); with rulesFirst its
// rule-settings dialog comes first, and cancelling that keeps the selection screen. A number
// outside 1..20 does nothing.
void StartGame(int gameNumber, bool rulesFirst, std::optional<uint32_t> deal = std::nullopt);
// The deal the command line asked for (--game, --deal): started as soon as the player is known,
// without the rule-settings dialog. Game 0 asks for nothing.
void RequestStartingDeal(int gameNumber, std::optional<uint32_t> deal);

// Ends the running game and returns to the selection screen (Esc, F12, "Main Menu").
void LeaveGame();

// The window procedure, exposed so tests can check the message table directly.
LRESULT MainWindowProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
