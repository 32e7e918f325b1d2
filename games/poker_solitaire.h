// Poker Solitaire: cards drawn one at a time from a single pack fill a five-by-five grid, and
// when it is full each row and column is scored as a poker hand under the American or English
// table. Optional reserve piles hold a card for later at 3 points each. The final score is the
// points alone.
#pragma once

#include <array>
#include <cstdint>

#include "games/grid_hand_game.h"

// Poker's part of the grid game: any empty cell, and a full grid scores its hands under the
// table in force. The undo record keeps the hand scores.
struct PokerParts {
    static constexpr int kGameNumber = 14, kSide = 5;
    static constexpr bool kStarter = false;
    static constexpr GridLayout kLayout{.gridX = 330, .gridY = 120, .pitchX = 70, .pitchY = 82, .stockX = 100,
                                        .stockY = 80, .reserveY = 240};
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
    // The scoring table: "Scoring" is "American"; any other text selects the English table.
    static bool American() { return RuleValues(kGameNumber).Text("Scoring") == "American"; }

    static Hand ClassifyHand(const Line& hand);
    static int ScoreHand(const Line& hand, bool american);
};
using PokerSolitaireModel = GridHandModel<PokerParts>;
using PokerSolitaireGame = GridHandGame<PokerParts>;
extern template class GridHandGame<PokerParts>;
