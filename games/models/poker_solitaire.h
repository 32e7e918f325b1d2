// Poker Solitaire: cards drawn one at a time from a single pack fill a five-by-five grid, and
// when it is full each row and column is scored as a poker hand under the American or English
// table.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/grid_hand_model.h"

// "ReservePiles": how many reserve piles are in play; "CardsPerPile": how many cards each holds;
// "Scoring" (stored as the text "American" or "English"): 1 for the English table.
struct PokerRules {
    int32_t reservePiles = 0, cardsPerPile = 1, english = 0;
    static constexpr RuleField<PokerRules> kFields[] = {
        Number(&PokerRules::reservePiles, "ReservePiles", {0, 3}),
        Number(&PokerRules::cardsPerPile, "CardsPerPile", {1, 5}),
        Number(&PokerRules::english, "Scoring", {0, 1})};
};

// Poker's part of the grid game: any empty cell, and a full grid scores its hands under the
// table in force. The undo record keeps the hand scores.
struct PokerParts {
    using Rules = PokerRules;
    static constexpr int kSide = 5;
    static constexpr bool kStarter = false;
    using Line = std::array<Card, kSide>;
    // Hands in table order; Nothing scores 0.
    enum Hand { kRoyalFlush, kStraightFlush, kFourOfAKind, kFullHouse, kFlush, kStraight, kThreeOfAKind, kTwoPair,
                kOnePair, kNothing };
    static constexpr int kAmericanTable[kNothing] = {100, 75, 50, 25, 20, 15, 10, 5, 2};
    static constexpr int kEnglishTable[kNothing] = {30, 30, 16, 10, 5, 12, 6, 3, 1};
    static constexpr int32_t kMaxHandScore = kAmericanTable[kRoyalFlush];

    static bool Accepts(const std::array<Card, 25>& grid, int cell) { return !grid[cell].IsValid(); }
    static int Score(const GridHandPosition<kSide>& position, const Line& line) {
        return ScoreHand(line, position.american);
    }

    static Hand ClassifyHand(const Line& hand);
    static int ScoreHand(const Line& hand, bool american);
};
using PokerSolitaireModel = GridHandModel<PokerParts>;
