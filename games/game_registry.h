// Every game the program can start: one line per game in one table. The shell's start handlers
// create games through it, and the tests loop over it, so a new game is tested as soon as its
// line is added.
#pragma once

#include <memory>
#include <span>

#include "framework/game.h"

class Artwork;

struct GameEntry {
    int number;        // 1..20, the position in the game list
    const char* name;  // GetName() of the game
    std::unique_ptr<Game> (*create)(Artwork* artwork);
};

std::span<const GameEntry> RegisteredGames();
// The entry of game number n, or null for a number outside 1..20.
const GameEntry* FindGame(int number);
