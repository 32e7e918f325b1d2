// Quadrille: every card comes from the stock through the waste to one of nine piles round the
// centre of the table. Four piles build down in suit from the Five to the King (Five, Four,
// Three, Two, Ace, King), four build up in suit from the Six to the Jack, and the four Queens go
// to the centre pile.
#pragma once

#include "games/models/tableau_model.h"

// The rule values ("CardsDealt" 1..3, "FilledIn", "Recycles" 0..4 or no limit).
struct QuadrilleRules {
    int32_t cardsDealt = 1, filledIn = 0, recycles = 2;
    static constexpr tableau::RuleField<QuadrilleRules> kFields[] = {
        Number(&QuadrilleRules::cardsDealt, "CardsDealt", {1, 3}),
        OnOff(&QuadrilleRules::filledIn, "FilledIn"),
        Number(&QuadrilleRules::recycles, "Recycles", kRecycleRange)};
    double ScoreFactor() const {
        double factor = filledIn ? 0.9 : 1.0;
        if (cardsDealt == 2) factor *= 1.1;
        if (cardsDealt == 3) factor *= 1.2;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2 the centre, 3..6 the down
// piles, 7..10 the up piles (each family in the order of kPileSuit). kStock turns one to three
// cards onto the waste or turns the waste over; a move takes the waste's top card to a pile or
// the centre. Encode leaves out the points and the cards dealt this turn (which only say how the
// waste is fanned).
struct QuadrilleModel {
    static constexpr int kPiles = 8, kCentreSlots = 4, kWasteSlots = 52;
    // Pile k of each family (down piles 0..3, up piles 4..7) belongs to suit kPileSuit[k].
    static constexpr int kPileSuit[4] = {3, 2, 0, 1};
    // The ranks a pile takes in turn: a down pile Five, Four, Three, Two, Ace, King; an up pile
    // Six to Jack.
    static constexpr int kOrder[2][6] = {{3, 2, 1, 0, 12, 11}, {4, 5, 6, 7, 8, 9}};
    static constexpr int kStockPlace = 0, kWastePlace = 1, kCentrePlace = 2, kFirstPile = 3;

    using Rules = QuadrilleRules;
    // The piles are kept as foundations: their top cards, the down piles first.
    struct Position : tableau::StockAndWaste<kPiles, Card::kCardsPerPack, kWasteSlots>, Rules {
        std::array<Card, kCentreSlots> centre{};
        int32_t centreCount = 0;
        int32_t dealtThisTurn = 0;
        int32_t recyclesUsed = 0;
        int32_t points = 0;

        bool RecycleAllowed() const { return tableau::RecycleAllowed(recycles, recyclesUsed); }
    };

    // One pack, all of it the stock; with FilledIn every pile and the centre start with their
    // first cards, taken out of the pack.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& position);
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static void Cards(const Position& position, CardTally& out);

    // The card a pile whose top is `top` takes next: its first card when empty, none once complete.
    static Card NextCard(int pile, Card top);
    // May the card go on place `to` (the centre or a pile)?
    static bool Fits(const Position& position, Card card, int to);
    // Hands take() the cards of a pile from its first up to its top; false when the top is not
    // one the pile reaches, or take() refuses a card.
    template <typename Take>
    static bool ForEachPileCard(int pile, Card top, Take take) {
        if (!top.IsValid()) return true;
        if (top.Suit() != kPileSuit[pile % 4]) return false;
        for (int rank : kOrder[pile / 4]) {
            if (!take(Card(top.Suit(), rank))) return false;
            if (rank == top.Rank()) return true;
        }
        return false;
    }
};

