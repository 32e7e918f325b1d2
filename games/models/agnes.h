// Agnes: seven tableau piles dealt as in Klondike and built down in alternating colours, a reserve
// of small piles fed by the stock (seven cards a click, the last two of the pack onto two further
// piles), and four foundations built up in suit from a starting rank, wrapping round from the Ace
// to the Two. There is no waste and no recycle.
#pragma once

#include "games/models/tableau_model.h"

// The rule values ("StartCard"
// -1 for a card from the deck or a rank index; "MovePartial": any face-up run may move, not only
// the top or the whole face-up part; "TableauStart": an empty pile takes only the rank below the
// starting rank); values outside their range read as the default.
struct AgnesRules {
    int32_t startCard = -1, movePartial = 1, autoFlip = 0, filledIn = 0, tableauStart = 1;
    static constexpr tableau::RuleField<AgnesRules> kFields[] = {
        Number(&AgnesRules::startCard, "StartCard", kStartCardRange),
        OnOff(&AgnesRules::movePartial, "MovePartial"),
        OnOff(&AgnesRules::autoFlip, "AutoFlip"),
        OnOff(&AgnesRules::filledIn, "FilledIn"),
        OnOff(&AgnesRules::tableauStart, "TableauStart")};
    double ScoreFactor() const {
        double factor = movePartial ? 0.95 : 1.0;
        if (filledIn) factor *= 0.9;
        if (tableauStart) factor *= 1.25;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1..4 the foundations, 5..11 the tableau
// piles from the left, 12..20 the reserve piles. kStock deals a card to each of the first seven
// reserve piles (and the last two of the pack to the other two); kFlip turns a pile's face-down
// top card; a move picks up `count` cards from `index` of a pile, or a reserve pile's top card.
// Encode leaves out the points.
struct AgnesModel : tableau::AlternatingBuild {
    static constexpr int kPiles = 7, kPileSlots = 20, kFoundations = 4, kReservePiles = 9, kDealtReservePiles = 7;
    static constexpr int kReserveSlots = 3;
    static constexpr int kStockPlace = 0, kFirstFoundation = 1, kFirstPile = 5, kFirstReserve = 12;
    using Rules = AgnesRules;

    struct Position : tableau::FannedPiles<kPiles, kPileSlots> {
        std::array<Card, kFoundations> foundations{};
        std::array<std::array<Card, kReserveSlots>, kReservePiles> reserve{};
        std::array<int32_t, kReservePiles> reserveCount{};
        tableau::Stock<Card::kCardsPerPack> stock;
        int32_t startRank = -1;
        AgnesRules rules;
        int32_t points = 0;
    };

    // One pack: the foundations started (with no starting rank chosen, the first card dealt to the
    // first one; every suit's card of that rank with FilledIn), then the piles as Klondike's.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& p) {
        return p.stock.count == 0 && tableau::AllEmpty(p.pileCount) && tableau::AllEmpty(p.reserveCount);
    }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static void Cards(const Position& position, CardTally& out) {
        out.AddRun(position.stock.cards, position.stock.count);
        for (int pile = 0; pile < kPiles; ++pile) out.AddRun(position.tableau[pile], position.pileCount[pile]);
        for (int pile = 0; pile < kReservePiles; ++pile) out.AddRun(position.reserve[pile], position.reserveCount[pile]);
        for (Card top : position.foundations) out.AddClimb(top, position.startRank, tableau::NextRank);
    }

    // One card from the stock onto each reserve pile firstPile..lastPile; a full pile passes its
    // card to the next pile with room. visit(pile, index, card) sees each card placed.
    template <typename Visit>
    static void DealToReserve(Position& position, int firstPile, int lastPile, Visit&& visit);
};

template <typename Visit>
void AgnesModel::DealToReserve(Position& p, int firstPile, int lastPile, Visit&& visit) {
    for (int pile = firstPile; pile <= lastPile; ++pile) {
        int to = pile;
        for (int step = 0; step < kReservePiles && p.reserveCount[to] >= kReserveSlots; ++step)
            to = (to + 1) % kReservePiles;
        if (p.reserveCount[to] >= kReserveSlots) return;
        const Card card = p.stock.Deal();
        if (!card.IsValid()) return;
        visit(to, p.reserveCount[to], card);
        p.reserve[to][p.reserveCount[to]++] = card;
    }
}


