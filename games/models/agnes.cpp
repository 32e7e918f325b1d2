#include "games/models/agnes.h"

namespace {
constexpr int kPointsToFoundation = 5;
}  // namespace

AgnesModel::Position AgnesModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, 1);
    Position p;
    p.rules = rules;
    tableau::StartFoundations(deck, p.foundations, p.startRank, rules.startCard, rules.filledIn);
    tableau::ShowLaidOut(deck, p, show);
    tableau::DealRows(deck, p, kFirstPile, show);
    p.stock.Load(deck);
    return p;
}

// The same moves as tableau::AddDrops would list, in the same order, with the piles that take each
// card found once per listing: a solver lists the moves of every position it meets, and most of
// the runs it tries fit no pile.
void AgnesModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0) out.push_back({PlayMove::kStock});
    p.AddFlips(kFirstPile, out);
    std::array<uint8_t, Card::kCardsPerPack> hosts{};  // the piles each card may be built on
    uint8_t empty = 0;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) empty |= static_cast<uint8_t>(1 << pile);
        if (!p.FaceUpTop(pile)) continue;
        const Card top = p.tableau[pile][p.pileCount[pile] - 1];
        const int rank = (top.Rank() + Card::kRankCount - 1) % Card::kRankCount;
        if (rank == p.startRank) continue;
        for (int suit = 0; suit < Card::kSuitCount; ++suit)
            if (Card(suit, rank).IsRed() != top.IsRed()) hosts[Card(suit, rank).Index()] |= static_cast<uint8_t>(1 << pile);
    }
    const auto drops = [&](int from, int index, Card lowest, int count) {
        if (count == 1)
            for (int f = 0; f < kFoundations; ++f)
                if (FitsFoundation(p, f, lowest, 1)) out.push_back(tableau::MakeMove(from, index, kFirstFoundation + f, 1));
        unsigned piles = hosts[lowest.Index()] | (FillsEmptyPile(p, lowest) ? empty : 0);
        if (from < kFirstReserve) piles &= ~(1u << (from - kFirstPile));
        for (int pile = 0; piles != 0; ++pile, piles >>= 1)
            if ((piles & 1) && p.pileCount[pile] + count <= kPileSlots)
                out.push_back(tableau::MakeMove(from, index, kFirstPile + pile, count));
    };
    for (int pile = 0; pile < kPiles; ++pile)
        tableau::ForEachPileStack(p.pileCount[pile], p.faceDownCount[pile], p.rules.movePartial, [&](int k, int n) {
            drops(kFirstPile + pile, k, p.tableau[pile][k], n);
        });
    for (int pile = 0; pile < kReservePiles; ++pile) {
        const int count = p.reserveCount[pile];
        if (count > 0) drops(kFirstReserve + pile, count - 1, p.reserve[pile][count - 1], 1);
    }
}

int AgnesModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        if (p.stock.count == 0) return 0;
        auto ignore = [](int, int, Card) {};
        DealToReserve(p, 0, kDealtReservePiles - 1, ignore);
        if (p.stock.count == kReservePiles - kDealtReservePiles) DealToReserve(p, kDealtReservePiles, kReservePiles - 1, ignore);
    } else if (move.kind == PlayMove::kFlip) {
        p.points += p.TurnTop(move.from - kFirstPile);
    } else if (move.kind == PlayMove::kMove) {
        std::array<Card, tableau::kMaxStackCards> cards{};
        const int count = move.count;
        if (move.from >= kFirstReserve) {
            const int pile = move.from - kFirstReserve;
            cards[0] = tableau::TakeTop(p.reserve[pile], p.reserveCount[pile]);
        } else {
            const int pile = move.from - kFirstPile;
            tableau::TakeRun(p.tableau[pile], p.pileCount[pile], move.index, count, cards.data());
        }
        if (move.to < kFirstPile) {
            p.points += kPointsToFoundation;
            p.foundations[move.to - kFirstFoundation] = cards[0];
        } else {
            const int pile = move.to - kFirstPile;
            tableau::PutRun(p.tableau[pile], p.pileCount[pile], cards.data(), count);
        }
        if (p.rules.autoFlip) p.points += p.TurnFaceDownTops();
    }
    return p.points - before;
}

// Over when the stock is dealt, no face-down top waits to be turned, and neither a reserve card
// nor a pile's run nor a card a move would uncover can go anywhere useful.
bool AgnesModel::Over(const Position& p) {
    if (p.stock.count > 0 || p.AnyAllFaceDown()) return false;
    // The reserve's tops, then the cards the piles can bring into play: one place for each pile.
    tableau::Candidates<129 + kReservePiles> candidates;
    for (int r = 0; r < kReservePiles; ++r)
        if (p.reserveCount[r] > 0) candidates.Add(p.reserve[r][p.reserveCount[r] - 1]);
    return tableau::AlternatingStuck(p, candidates, {}, true);
}

void AgnesModel::Encode(const Position& p, PositionCode& code) {
    code.bytes.clear();
    p.stock.Encode(code);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    for (int pile = 0; pile < kReservePiles; ++pile)
        tableau::EncodePile(code, p.reserve[pile].data(), p.reserveCount[pile]);
    code.Byte(static_cast<uint8_t>(p.startRank));
    const AgnesRules& r = p.rules;
    code.Byte(static_cast<uint8_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3));
}

