#include "games/models/klondike.h"

KlondikeModel::Position KlondikeModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, 1);
    Position p;
    p.rules = rules;
    tableau::StartFoundations(deck, p.foundations, p.startRank, rules.startCard, rules.filledIn, true);
    tableau::ShowLaidOut(deck, p, show);
    tableau::DealRows(deck, p, kFirstPile, show);
    p.stock.Load(deck);
    return p;
}

// The pick-ups are those of the table: the waste's top card, each pile's top card, and either
// every face-up run (MovePartial) or the whole face-up part of a pile.
void KlondikeModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.rules.TurnAllowed(p.turnsUsed)) out.push_back({PlayMove::kStock});
    p.AddFlips(kFirstPile, out);
    if (p.wasteCount > 0) tableau::AddDrops<KlondikeModel>(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out);
    for (int pile = 0; pile < kPiles; ++pile) {
        tableau::ForEachPileStack(p.pileCount[pile], p.faceDownCount[pile], p.rules.movePartial, [&](int k, int n) {
            tableau::AddDrops<KlondikeModel>(p, kFirstPile + pile, k, p.tableau[pile][k], n, out);
        });
    }
}

int KlondikeModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        tableau::DealOrTurn(p, p.rules.cardsDealt, p.rules.TurnAllowed(p.turnsUsed), p.dealtThisTurn, p.turnsUsed);
    } else if (move.kind == PlayMove::kFlip) {
        p.points += p.TurnTop(move.from - kFirstPile);
    } else if (move.kind == PlayMove::kMove) {
        tableau::MoveCards(p, move, p.tableau, p.pileCount, kFirstFoundation, kFirstPile, [&](int) {
            --p.dealtThisTurn;
            return tableau::TakeTop(p.waste, p.wasteCount);
        });
        if (p.rules.autoFlip) p.points += p.TurnFaceDownTops();
    }
    return p.points - before;
}

// Over when no face-down top waits to be turned, the stock has been seen through once, and no
// card that can still come into play (from stock and waste, the piles' tops and, with
// MovePartial, the cards a partial move would uncover) has anywhere useful to go.
bool KlondikeModel::Over(const Position& p) {
    if (p.AnyAllFaceDown()) return false;
    const int stockSize = p.stock.count;
    if (p.turnsUsed == 0 && stockSize > 0) return false;

    tableau::Candidates<128> candidates;
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.rules.cardsDealt, p.rules.TurnAllowed(p.turnsUsed));
    if (stockSize > 0) candidates.Add(p.stock.Peek(stockSize - 1));
    // Those cards may also fill a pile a shift empties.
    const std::span<const Card> fillers(candidates.cards.data(), candidates.count);
    return tableau::AlternatingStuck(p, candidates, fillers, false);
}

void KlondikeModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    code.Byte(static_cast<uint8_t>(p.startRank));
    code.Byte(static_cast<uint8_t>(std::min(p.turnsUsed, 255)));
    const KlondikeRules& r = p.rules;
    code.Byte(static_cast<uint8_t>(r.cardsDealt));
    code.Byte(static_cast<uint8_t>(std::min(r.recycles, 255)));
    code.Byte(static_cast<uint8_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3));
}

