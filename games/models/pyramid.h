// Pyramid: pairs of cards whose pip values add up to 13, and Kings alone, are taken out of a
// triangle of overlapping face-up cards, an optional extra row below it, and the stock turned one
// card at a time. A triangle card can be taken only when no card of the next row covers it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// "SevenRows": a triangle of 7 rows, else 6; "Recycles": how often the talon may be turned back;
// "ExtraCards": an extra row under the triangle.
struct PyramidRules {
    int32_t sevenRows = 1, recycles = 0, extraCards = 0;
    static constexpr RuleField<PyramidRules> kFields[] = {
        OnOff(&PyramidRules::sevenRows, "SevenRows"),
        Number(&PyramidRules::recycles, "Recycles", kRecycleRange),
        OnOff(&PyramidRules::extraCards, "ExtraCards")};
    double ScoreFactor() const { return (sevenRows ? 1.5 : 1.0) * (extraCards ? 0.75 : 1.0); }
};

// Places: 0 the stock, 1 the waste, 2 the talon (its top card), 3 + row * (row + 1) / 2 + k the
// triangle's card k of that row (row 0 is the apex), 31 + c the extra row's card c. A pair is a
// kMove from one card's place to the other's, a King a kSelect of its place, a press on the stock
// a kStock.
//
// A card selected and waiting for its partner is part of the position here, because it holds off
// the end of the game: while it waits, the moves are the stock and the pairs it makes (its
// partner's click finishes them). The encoding leaves it out, as it leaves out the points.
struct PyramidParts {
    using Rules = PyramidRules;
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

    // One pack; the triangle dealt row by row, then the extra row, the rest the stock.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);

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
