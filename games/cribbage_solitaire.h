// Cribbage Solitaire: sixteen cards turned one at a time from the stock fill a four-by-four grid,
// each new card next to (or diagonally next to) one already placed. When the grid is full a
// starter is turned and each row and column is scored as a cribbage hand with it. Optional
// reserve piles hold a card for later at 3 points each. The final score is the points alone.
#pragma once

#include <array>
#include <cstdint>

#include "games/grid_hand_game.h"

// Cribbage's part of the grid game: a card goes anywhere on an empty grid, else into an empty
// cell touching one already placed; a full grid turns the starter and scores the hands with it.
struct CribbageParts {
    static constexpr int kGameNumber = 7, kSide = 4;
    static constexpr bool kStarter = true;
    static constexpr GridLayout kLayout{.gridX = 400, .gridY = 110, .pitchX = 70, .pitchY = 100, .stockX = 130,
                                        .stockY = 110, .reserveY = 310, .starterX = 130, .starterY = 210};

    static bool Accepts(const std::array<Card, 16>& grid, int cell);
    static int Score(const GridHandPosition<4>& position, const std::array<Card, 4>& line) {
        return ScoreHand(line, position.starter);
    }
    // The cribbage score of four hand cards with the starter.
    static int ScoreHand(const std::array<Card, 4>& hand, Card starter);
};
using CribbageSolitaireModel = GridHandModel<CribbageParts>;
using CribbageSolitaireGame = GridHandGame<CribbageParts>;
extern template class GridHandGame<CribbageParts>;
