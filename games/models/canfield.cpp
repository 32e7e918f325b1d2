#include "games/models/canfield.h"

using Position = CanfieldModel::Position;
using tableau::NextRank;

bool CanfieldModel::BuildsDown(Card moving, Card onto) {
    return onto.IsValid() && NextRank(moving.Rank()) == onto.Rank() && moving.IsRed() != onto.IsRed();
}

bool CanfieldModel::BuildsUp(const Position& p, Card moving, int f) {
    if (!p.foundations[f].IsValid()) return moving.Rank() == p.baseCard.Rank();
    return moving.Rank() == NextRank(p.foundations[f].Rank()) && moving.Suit() == p.foundations[f].Suit();
}

bool CanfieldModel::FitsPile(const Position& p, int pile, Card lowest, int count, bool fromReserve) {
    // A pile's storage ends at 13 cards; wrap-around building could otherwise go on for ever.
    if (p.pileCount[pile] + count > kPileSlots) return false;
    if (p.pileCount[pile] == 0) return fromReserve || p.reserveCount == 0 || !p.fillFromStock;
    return BuildsDown(lowest, p.tableau[pile][p.pileCount[pile] - 1]);
}

namespace {

using Model = CanfieldModel;

// Plays a move of cards (a move of the waste's top card leaves one card fewer turned this time).
void MoveCards(Position& p, const PlayMove& move) {
    tableau::MoveCards(p, move, p.tableau, p.pileCount, Model::kFirstFoundation, Model::kFirstPile, [&](int from) {
        if (from == Model::kReservePlace) return tableau::TakeTop(p.reserve, p.reserveCount);
        p.turnedCount = std::max(p.turnedCount - 1, 0);
        return tableau::TakeTop(p.waste, p.wasteCount);
    });
}

// Whether a card goes on a foundation or (toPiles) on a pile's top.
bool CanMove(const Position& p, Card card, bool toPiles) {
    if (!card.IsValid()) return false;
    for (int f = 0; f < Model::kFoundations; ++f)
        if (Model::BuildsUp(p, card, f)) return true;
    return toPiles && p.TakesCard(card, Model::BuildsDown, [](Card) { return false; });
}

}  // namespace

// The reserve's cards are counted before each comes, the last one face up.
Position CanfieldModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, 1);
    Position p;
    static_cast<Rules&>(p) = rules;
    tableau::ShowLaidOut(deck, p, show);
    for (int i = 0; i < kReserveSlots; ++i) {
        p.reserveCount = i + 1;
        p.reserve[i] = deck.DealNext();
        tableau::ShowDealt(deck, p, show, kReservePlace, i);
    }
    p.foundations[0] = p.baseCard = deck.DealNext();
    tableau::ShowDealt(deck, p, show, kFirstFoundation, 0);
    tableau::DealRowOnto(deck, p, kFirstPile, 0, kPiles, kPiles, show);
    p.stock.Load(deck);
    return p;
}

// Each card offered goes to the foundations it fits, then to the piles that take it in their
// order; the piles that take each card are found once per listing, since a solver lists the
// moves of every position it meets.
void CanfieldModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    std::array<uint8_t, Card::kCardsPerPack> hosts{};  // the piles each card may be built on
    uint8_t empty = 0;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) {
            empty |= static_cast<uint8_t>(1 << pile);
            continue;
        }
        const Card top = p.tableau[pile][p.pileCount[pile] - 1];
        const int rank = (top.Rank() + Card::kRankCount - 1) % Card::kRankCount;
        for (int suit = 0; suit < Card::kSuitCount; ++suit)
            if (Card(suit, rank).IsRed() != top.IsRed()) hosts[Card(suit, rank).Index()] |= static_cast<uint8_t>(1 << pile);
    }
    const auto drops = [&](int from, int index, Card lowest, int count) {
        if (count == 1)
            for (int f = 0; f < kFoundations; ++f)
                if (BuildsUp(p, lowest, f)) out.push_back(tableau::MakeMove(from, index, kFirstFoundation + f, 1));
        const bool intoEmpty = from == kReservePlace || p.reserveCount == 0 || !p.fillFromStock;
        unsigned piles = hosts[lowest.Index()] | (intoEmpty ? empty : 0);
        if (from >= kFirstPile) piles &= ~(1u << (from - kFirstPile));
        for (int pile = 0; piles != 0; ++pile, piles >>= 1)
            if ((piles & 1) && p.pileCount[pile] + count <= kPileSlots)
                out.push_back(tableau::MakeMove(from, index, kFirstPile + pile, count));
    };
    if (p.wasteCount > 0) drops(kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1);
    if (p.reserveCount > 0) drops(kReservePlace, p.reserveCount - 1, p.reserve[p.reserveCount - 1], 1);
    for (int pile = 0; pile < kPiles; ++pile)
        tableau::ForEachPileStack(p.pileCount[pile], 0, p.movePartial != 0, [&](int k, int n) {
            drops(kFirstPile + pile, k, p.tableau[pile][k], n);
        });
}

int CanfieldModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    Step(p, move);
    const int pile = EmptyPileForReserve(p);
    if (move.kind == PlayMove::kMove && pile >= 0) {
        MoveCards(p, tableau::MakeMove(kReservePlace, p.reserveCount - 1, kFirstPile + pile, 1));
        p.points += kPointsAutoFill;
    }
    return p.points - before;
}

int CanfieldModel::Step(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock)
        tableau::DealOrTurn(p, p.cardsDealt, p.RecycleAllowed(), p.turnedCount, p.recyclesUsed);
    else if (move.kind == PlayMove::kMove)
        MoveCards(p, move);
    return p.points - before;
}

int CanfieldModel::EmptyPileForReserve(const Position& p) {
    if (p.reserveCount == 0) return -1;
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.pileCount[pile] == 0) return pile;
    return -1;
}

// Over when no card the stock, the waste or the reserve can still bring (with a turn of the waste
// left, every waste card) goes anywhere, no pile is empty while such cards are left, no pile's
// top goes home and no whole pile moves onto another.
bool CanfieldModel::Over(const Position& p) {
    if (p.recyclesUsed == 0 && p.stock.count > 0) return false;
    const bool cardsLeft = p.reserveCount > 0 || p.stock.count > 0 || p.wasteCount > 0;
    if (cardsLeft && std::ranges::count(p.pileCount, 0) > 0) return false;
    tableau::Candidates<128> cards;
    cards.AddTurnable(p.stock, p.waste.data(), p.wasteCount, 1, p.RecycleAllowed());
    if (p.reserveCount > 0) cards.Add(p.reserve[p.reserveCount - 1]);
    for (int c = 0; c < cards.count; ++c)
        if (CanMove(p, cards[c], true)) return false;
    for (int pile = 0; pile < kPiles; ++pile) {
        if (p.pileCount[pile] == 0) continue;
        if (CanMove(p, p.tableau[pile][p.pileCount[pile] - 1], false)) return false;
        for (int other = 0; other < kPiles; ++other)
            if (other != pile && p.pileCount[other] > 0 && p.pileCount[other] + p.pileCount[pile] <= kPileSlots &&
                BuildsDown(p.tableau[pile][0], p.tableau[other][p.pileCount[other] - 1]))
                return false;
    }
    return true;
}

void CanfieldModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodePile(code, p.reserve.data(), p.reserveCount);
    tableau::EncodeCard(code, p.baseCard);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt | p.movePartial << 2 | p.fillFromStock << 3));
}

