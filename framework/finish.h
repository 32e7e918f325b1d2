// "&Finish": once the rest of a game needs no decision, the program plays it out. The test is
// made on the game's model: from the current position, playing only moves that score (never a
// card turned face up, never a shuffle between piles) and pressing the stock when nothing scores
// must reach a won position, and the game's own game-over test (which in some games looks only a
// move or two ahead) must not end the game on the way. The moves are then made one a panel tick
// through the table's own mouse path, so they slide, sound, score and leave undo records exactly
// as the player's would.
#pragma once

#include <string>

#include "framework/play_model.h"

class Game;
class Menu;
class MenuItem;

// The item of a menu that gives this command, or null.
MenuItem* CommandItem(Menu* menu, int commandId);

// The moves that play `position` out, or false when it needs a decision (or cannot be won).
bool FinishPlan(const PlayModelOps& ops, const std::string& position, MoveList& plan);

// Makes `move` on the table through its own mouse path; false when the position did not change.
// With glide (a move played for the player to watch) a dragged stack is carried along the path a
// slide takes, at a slide's pace, instead of jumping to its place.
bool PlayByHand(Game& game, const PlayMove& move, bool glide = false);

class FinishRunner {
public:
    // Starts playing the game out; false when it cannot be finished now.
    bool Start(Game& game);
    // Ends the play-out (the player acted). Ignored while the runner makes its own move.
    void Stop();
    bool Running() const { return running; }
    // The panel tick: greys the menu item when the position changed, and makes the next move.
    void Tick(Game& game);

private:
    bool Finishable(Game& game);
    void Step(Game& game);

    bool running = false;
    bool stepping = false;  // inside the runner's own mouse messages
    std::string checkedPosition;
    bool checkedFinishable = false;
};
