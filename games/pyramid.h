// Pyramid: pairs of cards whose pip values add up to 13, and Kings alone, are taken out of a
// triangle of overlapping face-up cards, an optional extra row below it, and the stock turned one
// card at a time. A triangle card can be taken only when no card of the next row covers it. The
// player selects cards by clicking; nothing is dragged.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "games/play_position.h"

// The rules as a model of play. Its rule values: "SevenRows" (a triangle of 7 rows, else 6) and
// "Recycles" are read at the deal, "ExtraCards" (an extra row under the triangle) whenever it
// matters. Places: 0 the stock, 1 the waste, 2 the talon (its top card),
// 3 + row * (row + 1) / 2 + k the triangle's card k of that row (row 0 is the apex), 31 + c the
// extra row's card c. A pair is a kMove from one card's place to the other's (two clicks), a
// King a kSelect of its place (one click), a press on the stock a kStock.
//
// A card selected and waiting for its partner is part of the position here, because it holds off
// the end of the game: while it waits, the moves are the stock and the pairs it makes (its
// partner's click finishes them). The encoding leaves it out, as it leaves out the points.
struct PyramidParts {
    static constexpr int kMaxRows = 7;
    static constexpr int kTriangleSlots = kMaxRows * (kMaxRows + 1) / 2;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kTalonPlace = 2, kTrianglePlace = 3;
    static constexpr int kExtraPlace = kTrianglePlace + kTriangleSlots, kPlaces = kExtraPlace + kMaxRows;
    static constexpr int kPairSum = 13;
    static constexpr int kPointsPair = 5;
    static constexpr int kPointsKing = 3;
    // Turning the talon back costs this twice.
    static constexpr int kTurnCost = 5;

    struct Position {
        int32_t points = 0;
        int32_t rows = kMaxRows;
        int32_t extraCards = 0;  // the extra row is in play
        int32_t recyclesAtDeal = 0;
        int32_t turnsLeft = 0;
        int32_t stockCount = 0;
        int32_t talonCount = 0;
        int32_t selected = -1;  // the place of the card waiting for its partner, or -1
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is turned next
        std::array<Card, kTriangleSlots> triangle{};
        std::array<Card, kMaxRows> extra{};
        Card waste;
        std::array<Card, Card::kCardsPerPack> talon{};  // bottom first
    };

    static int TriangleIndex(int row, int k) { return row * (row + 1) / 2 + k; }
    static int TrianglePlace(int row, int k) { return kTrianglePlace + TriangleIndex(row, k); }
    // The row of a triangle card's place.
    static int RowOf(int place) {
        int row = 0;
        while (TrianglePlace(row + 1, 0) <= place) ++row;
        return row;
    }
    static bool MakesPair(Card a, Card b) { return a.IsValid() && b.IsValid() && a.PipValue() + b.PipValue() == kPairSum; }
    // A triangle card no card of the next row covers.
    static bool IsFree(const Position& position, int row, int k);
    // The card a click on the place takes, when the place offers one.
    static Card Available(const Position& position, int place);

    // A stock press in its two halves (the table saves its undo record between them): the waste
    // card goes onto the talon when a card can be turned after it; then the next stock card is
    // turned onto the waste, or the talon turned back into the stock. TurnStock returns the points.
    static bool StackWaste(Position& position);
    static int TurnStock(Position& position);
    // Every triangle card taken.
    static bool Cleared(const Position& position) {
        return std::none_of(position.triangle.begin(), position.triangle.end(), [](Card card) { return card.IsValid(); });
    }
};
// Won when over with every triangle card taken; over when no card waits for a partner, and no
// King and no pair can come together any more, however the stock is turned. The code holds
// everything but the points, so positions reached by different paths meet in a search. Pairs
// leave the position.
using PyramidModel = PlayModel<PyramidParts>;

class PyramidGame : public ModelTable<PyramidModel, 15> {
public:
    static constexpr int kStockX = 100, kStockY = 70;
    static constexpr int kWasteX = 180, kWasteY = 70;
    static constexpr int kTalonX = 180, kTalonY = 170, kTalonStep = 15;
    static constexpr int kApexX = 450, kRowShiftX = 30, kCardPitchX = 60, kRowPitchY = 50;
    static constexpr int kLowestTopY = 150, kTopLift = 40;
    // The extra row lies this far below the last triangle row.
    static constexpr int kExtraRowGap = 92;

    using ModelTable::ModelTable;

    // The rule values and where the triangle stands; then the triangle dealt row by row, and the
    // extra row.
    void StartDeal() override;
    void Deal() override;
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    double GetScoreFactor() override;
    // Won with the triangle cleared, however the game ended.
    bool IsWon() override { return gameOver && PyramidModel::Cleared(position); }

    int SlotX(int row, int k) const { return kApexX - kRowShiftX * row + kCardPitchX * k; }
    int SlotY(int row) const { return topY + kRowPitchY * row; }
    int ExtraY() const { return SlotY(position.rows - 1) + kExtraRowGap; }
    Card& TriangleCard(int row, int k) { return position.triangle[PyramidModel::TriangleIndex(row, k)]; }
    // The current position, with the extra row's rule value and the waiting card's place.
    PyramidModel::Position ModelPosition() const override;
    bool TurnsLeft() const { return position.turnsLeft >= 1; }

    int topY = 70;

private:
    void PressStock();
    // The waste's, the talon's and the free cards are picked up by a click, two to a pair or a
    // King alone.
    PlaceView View(int place) const override;
    Play HowPlayed() const override { return kPairs; }
    int Waiting() const override { return ModelPosition().selected; }
    // A selection the table no longer shows still holds off the end until it is dropped.
    bool OverNow() const override;
    void DrawAreas(bool present) override;
    // The waste, or the talon down to the bottom of the screen.
    void DrawPlace(int place, bool present) override {
        const int bottom = place == kTalonPlace ? play_position::kScreenBottom : 0;
        DrawView(place, present, place == kWastePlace, bottom, 0, first.card);
    }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
