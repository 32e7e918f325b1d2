// Golf: a grid of face-up columns cleared onto one discard pile. A column's top card goes onto the
// pile when it is one rank above or below the pile's top card, suit regardless; when nothing fits
// the player turns the next stock card onto the pile.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// "WrapAround": King and Ace are neighbours both ways; "FlipFirst": the deal ends by turning the
// first stock card; "SevenByFive": 7 columns of 5 cards, else 6 of 6.
struct GolfRules {
    int32_t wrapAround = 0, flipFirst = 0, sevenByFive = 1;
    static constexpr RuleField<GolfRules> kFields[] = {
        OnOff(&GolfRules::wrapAround, "WrapAround"),
        OnOff(&GolfRules::flipFirst, "FlipFirst"),
        OnOff(&GolfRules::sevenByFive, "SevenByFive")};
    double ScoreFactor() const { return sevenByFive ? 0.95 : 1.0; }
    int Columns() const { return sevenByFive ? 7 : 6; }
    int CardsPerColumn() const { return sevenByFive ? 5 : 6; }
};

// Places: 0 the stock, 1 the discard pile (the foundation), 2 + c column c. A press on the stock
// is a kStock; a column's top card played onto the pile a kMove from the column to place 1.
struct GolfParts {
    using Rules = GolfRules;
    static constexpr int kMaxColumns = 7, kColumnSlots = 6;
    static constexpr int kStockPlace = 0, kPilePlace = 1, kColumnPlace = 2, kPlaces = kColumnPlace + kMaxColumns;
    static constexpr int kPointsPerCard = 5;
    // Playing onto a King or a King onto an Ace is only possible round the corner, and earns less.
    static constexpr int kWrapPenalty = 3;

    struct Position {
        int32_t points = 0;
        int32_t wrapAround = 0;  // King and Ace are neighbours both ways
        int32_t stockCount = 0;
        int32_t pileCount = 0;
        std::array<int32_t, kMaxColumns> columnCount{};
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is turned next
        std::array<Card, Card::kCardsPerPack> pile{};   // bottom first
        std::array<std::array<Card, kColumnSlots>, kMaxColumns> columns{};
    };

    // One pack: the columns dealt row by row, the rest the stock; with FlipFirst the first stock
    // card turned onto the pile.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);

    // A card's value in Golf's rank order, where the Ace is low: Ace 0, Two 1 .. King 12.
    static int GolfValue(Card card) { return card.Rank() == Card::kAce ? 0 : card.Rank() + 1; }
    // May card go on a pile whose top card is top?
    static bool CanPlay(Card card, Card top, bool wrapAround);
    static Card PileTop(const Position& position) {
        return position.pileCount > 0 ? position.pile[position.pileCount - 1] : Card();
    }
    // May the top card of the column go onto the pile now (any card on an empty pile)?
    static bool Playable(const Position& position, int column);
    static bool Cleared(const Position& position);
};
// Won when over with every column cleared; over once the stock is used up and no column's top card
// fits. The code holds the columns, the stock and the pile's top card (the cards under it can
// never move again), not the points, so positions reached by different paths meet in a search.
// Golf keeps every card.
using GolfModel = PlayModel<GolfParts>;
