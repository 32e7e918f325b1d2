// Where every card of a running game is, for the tests that check no card is ever lost or
// duplicated (the autoplayer, the monkey, the undo fuzzer). Cards lifted for a drag are counted
// where the game keeps them until they land.
#pragma once

#include <string>
#include <vector>

#include "cards/card.h"

class Game;

struct Census {
    std::vector<Card> cards;  // the cards the state shows
    int unrecorded = 0;       // cards the state no longer records (covered or out of play)
    int packs = 1;            // two-pack games hold two copies of every card
};

using CensusFunction = Census (*)(Game&);

// The census of a registered game number, or null for a number without one.
CensusFunction CensusFor(int gameNumber);

// The numbers of every registered game, and a test name for one (its name without spaces), for
// the tests that run once per game.
std::vector<int> RegisteredGameNumbers();
std::string GameTestName(int gameNumber);

// Empty when every card is in play exactly as often as the packs hold it; otherwise what is wrong.
std::string CensusProblem(const Census& census);
