// Cribbage Solitaire: sixteen cards turned one at a time from the stock fill a four-by-four grid,
// each new card next to (or diagonally next to) one already placed. When the grid is full a
// starter is turned and each row and column is scored as a cribbage hand with it. Optional
// reserve piles hold a card for later at 3 points each. The final score is the points alone.
#pragma once

#include <array>
#include <cstdint>

#include "games/grid_hand_game.h"

// Cribbage's part of the grid model: a card goes anywhere on an empty grid, else into an empty
// cell touching one already placed; a full grid turns the starter and scores the hands with it.
struct CribbageHands {
    static bool Accepts(const std::array<Card, 16>& grid, int cell);
    static int ScoreFull(GridHandPosition<4>& position);
};
using CribbageSolitaireModel = GridHandModel<4, CribbageHands>;

class CribbageSolitaireGame : public GridHandGame<kCribbageGrid, CribbageHands> {
public:
    static constexpr int kGameNumber = 7;
    static constexpr int kStarterX = 130, kStarterY = 210;

    using Model = CribbageSolitaireModel;

    explicit CribbageSolitaireGame(Artwork* artwork);

    // The first card shown once more over the new table.
    void Deal() override;

    // The cribbage score of four hand cards with the starter.
    static int ScoreHand(const std::array<Card, 4>& hand, Card starter);

private:
    void TurnNextCard() override;
    bool HandsScored() const override { return position.starter.IsValid(); }
    void DrawExtraCards() override;
    // A click placement saves the position twice: before it lifts the card and in LiftCards.
    bool ClickSavesTwice() const override { return true; }
    // The starter; the hands are scored only at the end, which no record holds.
    void HandPart(play_position::RecordFields& fields, GridHandPosition<kSide>& read, HandScores&) override {
        fields.Card1(read.starter);
    }
};
