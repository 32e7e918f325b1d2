// The full-screen pictures around the games (the logo at start-up, the win and lose pictures
// after each game) and the start handlers the selection screen runs for its twenty names.
#pragma once

#include <array>

#include "shell/artwork.h"
#include "shell/screen_layout.h"

// The logo: shown and presented with the pointer hidden, it lasts 5 seconds by the clock, or
// until the first left-button press or key press, which is taken from the queue and goes no
// further. Other messages that arrive meanwhile are kept and handled afterwards.
void ShowLogoScreen(Artwork& artwork);
// The win (won) or lose picture after a game: presses already queued are dropped; a press ends
// the picture once a whole second has passed and is swallowed before that; without one it
// lasts 5 seconds. The caller draws its table again afterwards.
void ShowEndScreen(Artwork& artwork, bool won);

// How long the logo and end pictures last, and how long the end picture ignores presses, in
// whole seconds of the clock.
inline constexpr int kScreenSeconds = 5;
inline constexpr int kEndScreenDeafSeconds = 1;

// --- Start handlers ---

enum class StartMode {
    AtOnce,      // the game deals at once
    RulesFirst,  // the game's rule-settings dialog comes first; cancelling it keeps the selection
};

struct GameStart {
    int gameNumber;  // 1..20, the order of the selection screen
    StartMode mode;
};

// One line per game, in the order of the selection screen (item i starts entry i).
inline constexpr std::array<GameStart, screen_layout::kGameCount> kGameStarts = {{
    {1, StartMode::AtOnce},       // Accordion
    {2, StartMode::RulesFirst},   // Agnes
    {3, StartMode::RulesFirst},   // Auld Lang Syne
    {4, StartMode::AtOnce},       // Block Solitaire
    {5, StartMode::RulesFirst},   // Calculation
    {6, StartMode::RulesFirst},   // Canfield
    {7, StartMode::RulesFirst},   // Cribbage Solitaire
    {8, StartMode::RulesFirst},   // Forty Thieves
    {9, StartMode::RulesFirst},   // Four Seasons
    {10, StartMode::RulesFirst},  // Gate
    {11, StartMode::RulesFirst},  // Golf
    {12, StartMode::RulesFirst},  // Klondike
    {13, StartMode::RulesFirst},  // Monte Carlo
    {14, StartMode::RulesFirst},  // Poker Solitaire
    {15, StartMode::RulesFirst},  // Pyramid
    {16, StartMode::RulesFirst},  // Quadrille
    {17, StartMode::AtOnce},      // Simple Addition
    {18, StartMode::RulesFirst},  // Simplicity
    {19, StartMode::RulesFirst},  // Spider
    {20, StartMode::AtOnce},      // Take Fourteen
}};

// Runs the start handler of selection item 0..19; other values do nothing.
void StartGameOfItem(int item);

// The last request of a start handler: which game and how it starts. The handler then creates
// the game, runs its rule-settings dialog when the entry asks for one, and makes it the running
// game; tests read the request to see which item a press chose.
struct StartRequest {
    int gameNumber = 0;  // 0 while nothing was started
    StartMode mode = StartMode::AtOnce;
    int count = 0;       // requests since the program started
};
StartRequest LastStartRequest();
void ForgetStartRequests();
