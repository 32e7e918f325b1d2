// Cribbage Solitaire: sixteen cards turned one at a time from the stock fill a four-by-four grid,
// each new card next to (or diagonally next to) one already placed. When the grid is full a
// starter is turned and each row and column is scored as a cribbage hand with it.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/grid_hand_model.h"

// "ReservePiles": how many reserve piles are in play; "CardsPerPile": how many cards each holds.
struct CribbageRules {
    int32_t reservePiles = 0, cardsPerPile = 1;
    static constexpr RuleField<CribbageRules> kFields[] = {
        Number(&CribbageRules::reservePiles, "ReservePiles", {0, 3}),
        Number(&CribbageRules::cardsPerPile, "CardsPerPile", {1, 5})};
};

// Cribbage's part of the grid game: a card goes anywhere on an empty grid, else into an empty
// cell touching one already placed; a full grid turns the starter and scores the hands with it.
struct CribbageParts {
    using Rules = CribbageRules;
    static constexpr int kSide = 4;
    static constexpr bool kStarter = true;

    static bool Accepts(const std::array<Card, 16>& grid, int cell);
    static int Score(const GridHandPosition<4>& position, const std::array<Card, 4>& line) {
        return ScoreHand(line, position.starter);
    }
    // The cribbage score of four hand cards with the starter.
    static int ScoreHand(const std::array<Card, 4>& hand, Card starter);
};
using CribbageSolitaireModel = GridHandModel<CribbageParts>;
