// Poker Solitaire on the table: the model (games/models/poker_solitaire.h) on the grid games'
// table.
#pragma once

#include "games/grid_hand_game.h"
#include "games/models/poker_solitaire.h"

template <>
struct GridTable<PokerParts> {
    static constexpr int kGameNumber = 14;
    static constexpr GridLayout kLayout{.gridX = 330, .gridY = 120, .pitchX = 70, .pitchY = 82, .stockX = 100,
                                        .stockY = 80, .reserveY = 240};
};
using PokerSolitaireGame = GridHandGame<PokerParts>;
extern template class GridHandGame<PokerParts>;
