// Poker Solitaire: cards drawn one at a time from a single pack fill a five-by-five grid, and
// when it is full each row and column is scored as a poker hand under the American or English
// table. Optional reserve piles hold a card for later at 3 points each. The final score is the
// points alone.
#pragma once

#include <array>
#include <cstdint>

#include "games/grid_hand_game.h"

// Poker's part of the grid model: any empty cell, and a full grid scores its hands under the
// table in force.
struct PokerHands {
    static bool Accepts(const std::array<Card, 25>& grid, int cell) { return cell >= 0 && cell < 25 && !grid[cell].IsValid(); }
    static int ScoreFull(GridHandPosition<5>& position);
};
using PokerSolitaireModel = GridHandModel<5, PokerHands>;

class PokerSolitaireGame : public GridHandGame<kPokerGrid, PokerHands> {
public:
    static constexpr int kGameNumber = 14;
    // Hands in table order; Nothing scores 0.
    enum Hand { kRoyalFlush, kStraightFlush, kFourOfAKind, kFullHouse, kFlush, kStraight, kThreeOfAKind, kTwoPair,
                kOnePair, kNothing };
    static constexpr int kAmericanTable[kNothing] = {100, 75, 50, 25, 20, 15, 10, 5, 2};
    static constexpr int kEnglishTable[kNothing] = {30, 30, 16, 10, 5, 12, 6, 3, 1};

    using Model = PokerSolitaireModel;

    explicit PokerSolitaireGame(Artwork* artwork);
    // The scoring table: "Scoring" is "American"; any other text selects the English table.
    bool American() const { return RuleValues(kGameNumber).Text("Scoring") == "American"; }
    // The current position, with the scoring table in force.
    Position ModelPosition() const override;

    static Hand ClassifyHand(const Line& hand);
    static int ScoreHand(const Line& hand, bool american);

private:
    void TurnNextCard() override;
    // A game that is over shows its hand scores, also one ended early with the grid unfilled.
    bool HandsScored() const override { return true; }
    void HandPart(play_position::RecordFields& fields, GridHandPosition<kSide>& read, HandScores& scores) override;
};
