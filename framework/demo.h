// "&Demo": the program plays the deal out from where it stands, along a line a search found
// beside the interface: a win where there is one, else (the deal proved lost, or no win found in
// time) the line that sends the most cards home, after which it says so. Each move is made
// through the table's own mouse path, paced by the animation speed, so it slides, sounds, scores
// and leaves undo records as the player's would. Any key or click stops it and hands the table
// back. A deal the demo has played enters no high score and no statistics; one already counted
// as played counts as given up, as when it is left for another.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/hint.h"
#include "framework/play_model.h"

class Game;

class DemoRunner {
public:
    // Asks for the line and starts; nothing when the table cannot be played now.
    void Start(Game& game);
    // Ends the demo (a key, a click or a command). Ignored while it makes its own move.
    void Stop();
    bool Running() const { return running; }
    bool Stepping() const { return stepping; }
    // The panel tick: takes the search's answer, and makes the next move when its time has come.
    void Tick(Game& game);

private:
    void Step(Game& game);
    // The line is played: says how it ended unless the game's own end does.
    void Conclude(Game& game);
    const char* EndWords() const;
    static uint64_t Pause(const PlayMove& move);

    std::unique_ptr<LineSearch> search;
    LineSearch::Outcome outcome = LineSearch::Outcome::kWon;
    MoveList line;
    size_t next = 0;
    std::string expected;  // the position the table should stand in before line[next]
    uint64_t nextMoveAt = 0;
    int replans = 0;
    bool running = false;
    bool stepping = false;  // inside the demo's own mouse messages
};
