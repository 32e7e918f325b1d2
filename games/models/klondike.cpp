#include "games/models/klondike.h"

#include <bit>

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
// The targets come from two tables made once per position (the foundations and the piles each
// card may go on), in the order FitsFoundation and FitsPile would find them place by place: the
// solver asks for the moves of every position it searches.
void KlondikeModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.rules.TurnAllowed(p.turnsUsed)) out.push_back({PlayMove::kStock});
    p.AddFlips(kFirstPile, out);
    std::array<uint8_t, Card::kCardsPerPack> homes{}, hosts{};
    for (int f = 0; f < kFoundations; ++f) {
        const Card top = p.foundations[f];
        if (!top.IsValid()) {
            for (int suit = 0; suit < Card::kSuitCount && p.startRank >= 0; ++suit)
                homes[Card(suit, p.startRank).Index()] |= static_cast<uint8_t>(1 << f);
        } else if (tableau::NextRank(top.Rank()) != p.startRank) {
            homes[Card(top.Suit(), tableau::NextRank(top.Rank())).Index()] |= static_cast<uint8_t>(1 << f);
        }
    }
    unsigned empty = 0;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) {
            empty |= 1u << pile;
            continue;
        }
        const Card top = p.tableau[pile][p.pileCount[pile] - 1];
        if (!p.FaceUpTop(pile) || !top.IsValid()) continue;
        const int rank = (top.Rank() + Card::kRankCount - 1) % Card::kRankCount;
        if (rank == p.startRank) continue;  // the starting rank goes on no card
        for (int suit = 0; suit < Card::kSuitCount; ++suit)
            if (Card(suit, rank).IsRed() != top.IsRed()) hosts[Card(suit, rank).Index()] |= static_cast<uint8_t>(1 << pile);
    }
    const auto drops = [&](int from, int index, Card lowest, int count) {
        if (!lowest.IsValid()) return;
        if (count == 1)
            for (unsigned f = homes[lowest.Index()]; f != 0; f &= f - 1)
                out.push_back(tableau::MakeMove(from, index, kFirstFoundation + std::countr_zero(f), 1));
        unsigned piles = hosts[lowest.Index()] | (FillsEmptyPile(p, lowest) ? empty : 0u);
        if (from >= kFirstPile) piles &= ~(1u << (from - kFirstPile));
        for (; piles != 0; piles &= piles - 1) {
            const int pile = std::countr_zero(piles);
            if (p.pileCount[pile] + count <= kPileSlots) out.push_back(tableau::MakeMove(from, index, kFirstPile + pile, count));
        }
    };
    if (p.wasteCount > 0) drops(kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1);
    for (int pile = 0; pile < kPiles; ++pile) {
        tableau::ForEachPileStack(p.pileCount[pile], p.faceDownCount[pile], p.rules.movePartial,
                                  [&](int k, int n) { drops(kFirstPile + pile, k, p.tableau[pile][k], n); });
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

