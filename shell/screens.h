// The full-screen pictures around the games (the logo at start-up, the win and lose pictures
// after each game) and the start handlers the selection screen runs for its twenty names.
#pragma once

#include <array>

#include "games/game_registry.h"
#include "artwork/artwork.h"
#include "artwork/screen_layout.h"

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
