// Deals any game without a screen a person sees: the scripted back end, an off-screen table, the
// artwork and toolkit the on-screen games draw with, and a private settings file and undo folder
// (removed again), so the rule options given here never reach the player's own settings. The
// solver's command-line tool deals its positions through it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "games/game_registry.h"

class Artwork;
class Game;
class ScriptedBackend;

class HeadlessTable {
public:
    HeadlessTable();
    ~HeadlessTable();
    HeadlessTable(const HeadlessTable&) = delete;
    HeadlessTable& operator=(const HeadlessTable&) = delete;

    // False when the artwork could not be loaded (no data folder).
    bool Ready() const { return ready; }

    // Stores a rule value for the game (a number, or "American"/"English" for a scoring choice).
    // The name is the settings value's, compared without case and spaces. An empty answer means
    // done; otherwise it says what is wrong.
    std::string SetOption(const GameDescriptor& game, std::string_view name, std::string_view value);

    // The model's Position of deal `seed` of the game, with the options stored so far.
    std::string Deal(const GameDescriptor& game, unsigned seed);

private:
    std::string folder;
    std::unique_ptr<ScriptedBackend> backend;
    int screen = -1;
    std::unique_ptr<Artwork> artwork;
    std::unique_ptr<Game> game;
    int gameNumber = 0;
    bool ready = false;
};

