// Canfield: a reserve of thirteen cards, four foundations that all start at the rank of the first
// card dealt to them and build up in suit round the corner (King, Ace, Two), four tableau piles
// built down in alternating colours with the same wrap-around, and a stock turned onto a waste one
// to three cards at a time with a limited number of passes. An empty tableau pile is filled from
// the reserve automatically; once the reserve is empty it takes any card or stack that may move,
// from the waste or from another pile.
#pragma once

#include "games/models/tableau_model.h"

// The rule values ("CardsDealt" 1..3, "Recycles" 0..4 or no limit, and check boxes).
struct CanfieldRules {
    static constexpr int32_t kUnlimitedRecycles = ::kUnlimitedRecycles;
    int32_t cardsDealt = 1, recycles = 0, movePartial = 0, fillFromStock = 1;
    static constexpr tableau::RuleField<CanfieldRules> kFields[] = {
        Number(&CanfieldRules::cardsDealt, "CardsDealt", {1, 3}),
        Number(&CanfieldRules::recycles, "Recycles", kRecycleRange),
        OnOff(&CanfieldRules::movePartial, "MovePartial"),
        OnOff(&CanfieldRules::fillFromStock, "FillFromStock")};
    double ScoreFactor() const {
        double factor = movePartial ? 0.95 : 1.0;
        if (fillFromStock) factor *= 0.9;
        if (cardsDealt == 2) factor *= 1.1;
        if (cardsDealt == 3) factor *= 1.2;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2 the reserve, 3..6 the
// foundations, 7..10 the tableau piles from the left. kStock turns one to three cards onto the
// waste or turns the waste over; a move picks up `count` cards from `index` of a pile, or the top
// card of the waste or the reserve. After every move an empty pile is filled from the reserve.
// Encode leaves out the points and the cards turned this time (which only say how the waste is
// fanned).
struct CanfieldModel {
    static constexpr int kFoundations = 4, kPiles = 4, kPileSlots = 13, kReserveSlots = 13, kWasteSlots = 35;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kReservePlace = 2, kFirstFoundation = 3, kFirstPile = 7;

    using Rules = CanfieldRules;
    // The piles are fanned piles with no face-down cards.
    struct Position : tableau::FannedPiles<kPiles, kPileSlots>,
                      tableau::StockAndWaste<kFoundations, Card::kCardsPerPack, kWasteSlots>, Rules {
        Card baseCard;
        std::array<Card, kReserveSlots> reserve{};
        int32_t reserveCount = 0;
        int32_t turnedCount = 0;
        int32_t recyclesUsed = 0;
        int32_t points = 0;

        bool RecycleAllowed() const { return tableau::RecycleAllowed(recycles, recyclesUsed); }
    };

    // What filling an empty pile from the reserve scores.
    static constexpr int kPointsAutoFill = 5;

    // One pack: thirteen cards to the reserve, the next to the first foundation (its rank the one
    // every foundation starts from), then one card face up to each pile.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    // A move, then the reserve's top card to the first empty pile (EmptyPileForReserve), by itself.
    static int Apply(Position& position, const PlayMove& move);
    // A move alone, without the reserve's card that follows it; the points it scores.
    static int Step(Position& position, const PlayMove& move);
    // The pile that would take the reserve's top card, or -1.
    static int EmptyPileForReserve(const Position& position);
    static bool Won(const Position& p) {
        return p.reserveCount == 0 && p.wasteCount == 0 && p.stock.count == 0 && tableau::AllEmpty(p.pileCount);
    }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    // The reserve shows only its top card.
    static int FaceDown(const Position& p) { return p.reserveCount > 1 ? p.reserveCount - 1 : 0; }
    static void Cards(const Position& p, CardTally& out) {
        tableau::AddCards(out, p, p.tableau, p.pileCount, p.baseCard.Rank());
        out.AddRun(p.reserve, p.reserveCount);
    }

    // May this card go on a tableau pile whose top is onto (a real card)?
    static bool BuildsDown(Card moving, Card onto);
    // May this card go on foundation f?
    static bool BuildsUp(const Position& position, Card moving, int f);
    // An empty pile takes a card from anywhere only once the reserve is empty (or without
    // FillFromStock); before that only the reserve's card.
    static bool FitsPile(const Position& position, int pile, Card lowest, int count, bool fromReserve);
};

