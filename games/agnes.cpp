#include "games/agnes.h"

namespace {
constexpr int kPointsToFoundation = 5;
}  // namespace

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
        std::array<Card, kMaxStackCards> cards{};
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

void AgnesGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 0, kTableauStep, 10);
    reserveDealt.fill(0);
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->Present();

    const Rules rules = ReadRules();
    StartFoundations(position.foundations, position.startRank, rules.startCard, rules.filledIn);
    ShowOpening();

    DealRows(position, AgnesModel::kFirstPile);
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place AgnesGame::PlaceAt(int place) const {
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    const int reserve = place - Model::kFirstReserve;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY, false);
    if (f >= 0 && f < Model::kFoundations)
        return Place::Foundation(kFoundationX, FoundationY(f), p.foundations[f], p.startRank);
    if (pile >= 0 && pile < Model::kPiles)
        return Place::Column(PileX(pile), kTableauY, kTableauStep, p.tableau[pile].data(), p.pileCount[pile],
                             p.faceDownCount[pile]);
    if (reserve >= 0 && reserve < Model::kReservePiles)
        return Place::Reserve(ReserveX(reserve), kReserveY, kReserveStep, p.reserve[reserve].data(),
                              p.reserveCount[reserve]);
    return {};
}

// A reserve pile's area reaches down to where its last card can lie.
void AgnesGame::DrawOwnPlace(int place, bool present) {
    const int pile = place - AgnesModel::kFirstReserve;
    const int x = ReserveX(pile);
    const int bottom = ReserveY(AgnesModel::kReserveSlots - 1) + artwork->cardHeight;
    const AreaRefresh refresh(artwork, {x, kReserveY, x + artwork->cardWidth, bottom}, present);
    for (int k = 0; k < position.reserveCount[pile]; ++k)
        artwork->DrawCard(x, ReserveY(k), position.reserve[pile][k], artwork->screenBuffer);
}

// A round deals one card to each of the first seven reserve piles, each flown there from the
// stock; when the cards left are too few for another, they follow at once onto the last two,
// with an undo record of their own. A pile already holding its three cards (only possible with a
// fixed starting card and no filled-in foundations) passes its card to the next pile with room.
void AgnesGame::OnStock() {
    if (deck.Remaining() == 0) return;
    auto deal = [&](int first, int last) {
        SaveUndo();
        Position next = CurrentPosition();
        Model::DealToReserve(next, first, last, [&](int to, int index, Card card) {
            deck.DealNext();
            reserveDealt[to] = index;
            DrawPlace(Model::kStockPlace, true);
            AnimateCard(kStockX, kStockY, ReserveX(to), ReserveY(index), card, artwork->screenBuffer, true, true, -1);
        });
        position = next;
        CheckGameOver();
        DrawPlace(Model::kStockPlace, true);
        for (int pile = first; pile < Model::kReservePiles; ++pile) DrawPlace(Model::kFirstReserve + pile, true);
        artwork->PresentDirty();
    };
    deal(0, Model::kDealtReservePiles - 1);
    if (deck.Remaining() == Model::kReservePiles - Model::kDealtReservePiles) {
        JoinNextRecordToMove();
        deal(Model::kDealtReservePiles, Model::kReservePiles - 1);
    }
    CheckGameOver();
}

void AgnesGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    std::array<Card, kMaxStackCards> hand = held;
    int32_t last = 0;
    fields.Cards(p.foundations);
    fields.Cards(hand);
    fields.Piles(p.tableau, p.pileCount, p.faceDownCount);
    fields.Clock(recordPoints, seconds);
    fields.Piles(p.reserve, p.reserveCount);
    readDealt = reserveDealt;
    fields.Counts(readDealt, 0, AgnesModel::kReserveSlots);
    // Records are written between moves, never with cards in hand: a record read with some is refused.
    const bool handEmpty = std::none_of(hand.begin(), hand.end(), [](Card card) { return card.IsValid(); });
    fields.Int(last, 0, handEmpty ? 0 : -1);
}

// The record does not hold the starting rank; it is the one for which every card of the pack is
// somewhere exactly once, each foundation holding its suit from the starting rank up to its top.
// The current rank is tried first, since with empty foundations any rank fits.
bool AgnesGame::AcceptRecord(PackTally& tally, Position& read) {
    if (!tableau::TakePiles(tally, read.tableau, read.pileCount) ||
        !tableau::TakePiles(tally, read.reserve, read.reserveCount))
        return false;
    read.startRank = tally.FoundationStart(read.foundations, position.startRank);
    if (read.startRank < 0) return false;
    reserveDealt = readDealt;
    return true;
}
