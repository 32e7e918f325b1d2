// Where every card of a running game is, for the tests that check no card is ever lost or
// duplicated (the autoplayer, the monkey, the undo fuzzer): one check for every game, over the
// cards its model's position names.
#pragma once

#include <string>
#include <vector>

class Game;

// Empty when every card is in play exactly as often as the packs hold it; otherwise what is
// wrong. A game in the middle of a drag is not checked: its position stands only between moves.
std::string CensusProblem(Game& game);

// The numbers of every registered game, and a test name for one (its name without spaces), for
// the tests that run once per game.
std::vector<int> RegisteredGameNumbers();
std::string GameTestName(int gameNumber);
