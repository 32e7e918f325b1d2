// Klondike: seven tableau piles built down in alternating colours, four foundations built up by
// suit from a configurable starting rank, and a stock dealt one to three cards at a time onto a
// waste that may be turned over a configurable number of times. Ranks form a cycle (after the
// King comes the Ace, after the Ace the Two), cut just below the starting rank.
#pragma once

#include "games/models/tableau_model.h"

// The rule values ("CardsDealt" 1..3, "Recycles" 0..4 or no limit, "StartCard" -1 for the first
// card dealt or a rank index, and the check boxes of the same names); values outside their range
// read as the default.
struct KlondikeRules {
    static constexpr int32_t kUnlimitedRecycles = ::kUnlimitedRecycles;
    int32_t cardsDealt = 3, recycles = 3, startCard = 12, filledIn = 0, tableauStart = 1, movePartial = 0, autoFlip = 0;
    static constexpr tableau::RuleField<KlondikeRules> kFields[] = {
        Number(&KlondikeRules::cardsDealt, "CardsDealt", {1, 3}),
        Number(&KlondikeRules::recycles, "Recycles", kRecycleRange),
        Number(&KlondikeRules::startCard, "StartCard", kStartCardRange),
        OnOff(&KlondikeRules::filledIn, "FilledIn"),
        OnOff(&KlondikeRules::tableauStart, "TableauStart"),
        OnOff(&KlondikeRules::movePartial, "MovePartial"),
        OnOff(&KlondikeRules::autoFlip, "AutoFlip")};

    bool TurnAllowed(int turnsUsed) const { return tableau::RecycleAllowed(recycles, turnsUsed); }
    double ScoreFactor() const {
        double factor = movePartial ? 0.95 : 1.0;
        if (tableauStart) factor *= 1.25;
        if (filledIn) factor *= 0.9;
        if (cardsDealt == 2) factor *= 1.1;
        if (cardsDealt == 3) factor *= 1.2;
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2..5 the foundations, 6..12 the
// tableau piles from the left. A move picks up `count` cards from `index` of a pile (the waste's
// top card from the waste); kStock deals or turns the waste over; kFlip turns a pile's face-down
// top card. Encode leaves out the points and the cards dealt this turn (which only say how the
// waste is fanned), so transpositions meet.
struct KlondikeModel : tableau::AlternatingBuild {
    static constexpr int kPiles = 7, kPileSlots = 20, kWasteSlots = 35, kFoundations = 4;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kFirstFoundation = 2, kFirstPile = 6;
    using Rules = KlondikeRules;

    struct Position : tableau::FannedPiles<kPiles, kPileSlots>,
                      tableau::StockAndWaste<kFoundations, Card::kCardsPerPack, kWasteSlots> {
        int32_t startRank = Card::kAce;
        int32_t turnsUsed = 0;
        int32_t dealtThisTurn = 0;
        KlondikeRules rules;
        int32_t points = 0;
    };

    // One pack: the foundations started (the first card dealt to the first one when no starting
    // rank is chosen, every suit's card of that rank with FilledIn), then the piles row by row.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& p) {
        return p.wasteCount == 0 && p.stock.count == 0 && tableau::AllEmpty(p.pileCount);
    }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static void Cards(const Position& p, CardTally& out) {
        tableau::AddCards(out, p, p.tableau, p.pileCount, p.startRank);
    }
};
