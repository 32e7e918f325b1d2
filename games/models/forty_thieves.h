// Forty Thieves: two packs, up to ten columns dealt in rows and built down in suit, a stock turned
// one card at a time onto a waste that may be recycled a configurable number of times, and eight
// foundations built up in suit from a starting rank, wrapping round from the Ace to the Two.
#pragma once

#include "games/models/tableau_model.h"

// The rule values ("MovePartial": several face-up cards of a column may move together;
// "RowsFaceDown" 0..rows - 1, "Rows" 1..5, "Columns" 5..10, "Recycle" 0..4 or no limit,
// "StartCard" -1 for the first card of the deck or a rank index).
struct FortyThievesRules {
    int32_t columnsInPlay = 10, recycle = 0, movePartial = 0, autoFlip = 0;
    int32_t filledIn = 0, rowsFaceDown = 0, rows = 4, startCard = 12;
    static constexpr tableau::RuleField<FortyThievesRules> kFields[] = {
        Number(&FortyThievesRules::columnsInPlay, "Columns", {5, 10}),
        Number(&FortyThievesRules::recycle, "Recycle", kRecycleRange),
        OnOff(&FortyThievesRules::movePartial, "MovePartial"),
        OnOff(&FortyThievesRules::autoFlip, "AutoFlip"),
        OnOff(&FortyThievesRules::filledIn, "FilledIn"),
        Number(&FortyThievesRules::rows, "Rows", {1, 5}),
        Number(&FortyThievesRules::startCard, "StartCard", kStartCardRange),
        Following(&FortyThievesRules::rowsFaceDown, "RowsFaceDown", {0, 3})};
    // The face-down rows' range follows the rows.
    void Settle() {
        if (rowsFaceDown < 0 || rowsFaceDown >= rows) rowsFaceDown = 0;
    }
    double ScoreFactor() const {
        double factor = movePartial ? 0.95 : 1.0;
        if (filledIn) factor *= 0.9;
        // Each face-down row and each row beyond the first adds 5%; each column short of ten costs 5%.
        factor *= 1.0 + 0.05 * rowsFaceDown;
        factor *= 1.0 + 0.05 * (rows - 1);
        factor *= 1.0 - 0.05 * (10 - columnsInPlay);
        return factor;
    }
};

// The rules as a model of play. Places: 0 the stock, 1 the waste, 2..9 the foundations, 10..19
// the columns from the left (only the first `columnsInPlay` are used). kStock turns one card onto
// the waste or turns the waste over; kFlip turns a column's face-down top card; a move picks up
// `count` cards from `index` of a column, or the waste's top card. Encode leaves out the points.
struct FortyThievesModel {
    static constexpr int kPacks = 2, kFoundations = 8, kPiles = 10, kPileSlots = 16, kWasteSlots = 65;
    static constexpr int kStockPlace = 0, kWastePlace = 1, kFirstFoundation = 2, kFirstPile = 10;

    using Rules = FortyThievesRules;
    struct Position : tableau::FannedPiles<kPiles, kPileSlots>,
                      tableau::StockAndWaste<kFoundations, Deck::kMaxCards, kWasteSlots>, Rules {
        int32_t startRank = Card::kAce;
        int32_t recyclesUsed = 0;
        int32_t points = 0;
    };

    // Two packs: the foundations started (with no starting rank chosen, the first card dealt to the
    // first one; both packs' cards of that rank with FilledIn), then the rows across the columns in
    // play, the first RowsFaceDown of them face down.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move);
    static bool Won(const Position& p) {
        return p.wasteCount == 0 && p.stock.count == 0 && tableau::AllEmpty(p.pileCount);
    }
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& code);
    static int FaceDown(const Position& p) { return p.FaceDownCards(); }
    static void Cards(const Position& p, CardTally& out) {
        out.packs = kPacks;
        tableau::AddCards(out, p, p.tableau, p.pileCount, p.startRank);
    }

    // May card go on top (the no-card value for an empty pile)? Foundations build up in suit from
    // the starting rank, columns down in suit; the starting rank goes on no card.
    static bool CanPlay(const Position& position, Card card, Card top, bool toFoundation);
    static bool FitsFoundation(const Position& position, int f, Card lowest, int count) {
        return count == 1 && CanPlay(position, lowest, position.foundations[f], true);
    }
    static bool FitsPile(const Position& position, int column, Card lowest, int count);
    // Whether the stock deals (true) or the waste is turned over (false); nothing when neither.
    static bool CanDeal(const Position& p) { return p.stock.count > 0 && p.wasteCount < kWasteSlots; }
    static bool CanRecycle(const Position& p) { return p.stock.count == 0 && p.recyclesUsed < p.recycle; }
};

