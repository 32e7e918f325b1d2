// Cribbage Solitaire on the table: the model (games/models/cribbage_solitaire.h) on the grid
// games' table, the starter turned below the stock.
#pragma once

#include "games/grid_hand_game.h"
#include "games/models/cribbage_solitaire.h"

template <>
struct GridTable<CribbageParts> {
    static constexpr int kGameNumber = 7;
    static constexpr GridLayout kLayout{.gridX = 400, .gridY = 110, .pitchX = 70, .pitchY = 100, .stockX = 130,
                                        .stockY = 110, .reserveY = 310, .starterX = 130, .starterY = 210};
};
using CribbageSolitaireGame = GridHandGame<CribbageParts>;
extern template class GridHandGame<CribbageParts>;
