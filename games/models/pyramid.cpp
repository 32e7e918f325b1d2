#include "games/models/pyramid.h"

PyramidParts::Position PyramidParts::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    Position position;
    position.rows = rules.sevenRows ? kMaxRows : kMaxRows - 1;
    position.extraCards = rules.extraCards;
    position.recyclesAtDeal = position.turnsLeft = rules.recycles;
    position.stockCount = play_position::CopyStock(deck, position.stock);
    if (show) show->Shown(position);
    auto dealTo = [&](Card& slot, int place) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) return;
        slot = card;
        position.stockCount = play_position::CopyStock(deck, position.stock);
        if (show) show->Dealt(position, place, 0);
    };
    for (int row = 0; row < position.rows; ++row)
        for (int k = 0; k <= row; ++k) dealTo(position.triangle[TriangleIndex(row, k)], TrianglePlace(row, k));
    if (position.extraCards)
        for (int c = 0; c < position.rows; ++c) dealTo(position.extra[c], kExtraPlace + c);
    return position;
}

bool PyramidParts::IsFree(const Position& position, int row, int k) {
    if (row < 0 || row >= position.rows || k < 0 || k > row || !position.triangle[TriangleIndex(row, k)].IsValid())
        return false;
    if (row == position.rows - 1) return true;
    return !position.triangle[TriangleIndex(row + 1, k)].IsValid() && !position.triangle[TriangleIndex(row + 1, k + 1)].IsValid();
}

Card PyramidParts::Available(const Position& position, int place) {
    if (place == kWastePlace) return position.waste;
    if (place == kTalonPlace) return position.talonCount > 0 ? position.talon[position.talonCount - 1] : Card();
    if (place >= kExtraPlace) {
        const int c = place - kExtraPlace;
        return position.extraCards && c < position.rows ? position.extra[c] : Card();
    }
    if (place < kTrianglePlace) return Card();
    const int row = RowOf(place);
    return IsFree(position, row, place - TrianglePlace(row, 0)) ? position.triangle[place - kTrianglePlace] : Card();
}

template <>
void PyramidModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    if (position.stockCount > 0 || position.turnsLeft >= 1) out.push_back({.kind = PlayMove::kStock, .from = kStockPlace});
    std::array<int8_t, kExtraPlace + kMaxRows> places{};
    std::array<Card, kExtraPlace + kMaxRows> cards{};
    int count = 0;
    for (int place = kWastePlace; place < kExtraPlace + kMaxRows; ++place) {
        const Card card = Available(position, place);
        if (!card.IsValid()) continue;
        places[count] = static_cast<int8_t>(place);
        cards[count++] = card;
    }
    if (position.selected >= 0) {
        const Card waiting = Available(position, position.selected);
        for (int i = 0; i < count; ++i)
            if (MakesPair(waiting, cards[i]))
                out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(position.selected), .to = places[i]});
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (cards[i].Rank() == Card::kKing) out.push_back({.kind = PlayMove::kSelect, .from = places[i]});
        for (int j = i + 1; j < count; ++j)
            if (MakesPair(cards[i], cards[j])) out.push_back({.kind = PlayMove::kMove, .from = places[i], .to = places[j]});
    }
}

namespace {

void TakeCard(PyramidModel::Position& position, int place) {
    if (place == PyramidModel::kWastePlace) position.waste = Card();
    else if (place == PyramidModel::kTalonPlace) play_position::Pop(position.talon, position.talonCount);
    else if (place >= PyramidModel::kExtraPlace) position.extra[place - PyramidModel::kExtraPlace] = Card();
    else if (place >= PyramidModel::kTrianglePlace) position.triangle[place - PyramidModel::kTrianglePlace] = Card();
}

}  // namespace

template <>
int PyramidModel::ApplyOwn(Position& position, const PlayMove& move) {
    int scored = 0;
    if (move.kind == PlayMove::kStock) {
        // A waiting waste card is let go; a waiting talon card too once the talon changes.
        const int talonBefore = position.talonCount;
        if (position.selected == kWastePlace) position.selected = -1;
        StackWaste(position);
        scored = TurnStock(position);
        if (position.selected == kTalonPlace && position.talonCount != talonBefore) position.selected = -1;
    } else if (move.kind == PlayMove::kSelect || move.kind == PlayMove::kMove) {
        position.selected = -1;
        TakeCard(position, move.from);
        if (move.kind == PlayMove::kMove) TakeCard(position, move.to);
        scored = move.kind == PlayMove::kMove ? kPointsPair : kPointsKing;
    }
    position.points += scored;
    return scored;
}

bool PyramidParts::StackWaste(Position& position) {
    const bool canTurn = position.stockCount > 0 || position.turnsLeft >= 1;
    if (!position.waste.IsValid() || !canTurn || position.talonCount >= Card::kCardsPerPack) return false;
    play_position::Push(position.talon, position.talonCount, position.waste);
    position.waste = Card();
    return true;
}

int PyramidParts::TurnStock(Position& position) {
    if (position.stockCount > 0) {
        position.waste = play_position::Pop(position.stock, position.stockCount);
        return 0;
    }
    if (position.turnsLeft < 1) return 0;
    // The talon turned over: the card turned first is turned first again.
    while (position.talonCount > 0)
        play_position::Push(position.stock, position.stockCount, play_position::Pop(position.talon, position.talonCount));
    position.waste = Card();
    --position.turnsLeft;
    return -2 * kTurnCost;
}

template <>
bool PyramidModel::Over(const Position& position) {
    if (position.selected >= 0) return false;
    if (position.turnsLeft == position.recyclesAtDeal && position.stockCount > 0) return false;
    // Cards in the order they can still be turned up, then the cards lying free on the table: a
    // King anywhere, two free cards, or a turned card with the next one or a free card still make
    // a removal.
    constexpr int kMaxWork = 128;
    std::array<Card, kMaxWork> work;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxWork) work[count++] = card;
    };
    if (position.talonCount > 0) {
        if (position.turnsLeft >= 1 || position.recyclesAtDeal == kUnlimitedRecycles)
            for (int i = 0; i < position.talonCount; ++i) add(position.talon[i]);
        else
            add(position.talon[position.talonCount - 1]);
    }
    add(position.waste);
    for (int i = position.stockCount - 1; i >= 0; --i) add(position.stock[i]);
    const int last = count - 1;
    if (position.extraCards)
        for (int c = 0; c < position.rows; ++c) add(position.extra[c]);
    for (int row = 0; row < position.rows; ++row)
        for (int k = 0; k <= row; ++k)
            if (IsFree(position, row, k)) add(position.triangle[TriangleIndex(row, k)]);

    for (int i = 0; i < count; ++i) {
        if (work[i].Rank() == Card::kKing) return false;
        for (int j = i + 1; j < count; ++j)
            if (MakesPair(work[i], work[j]) && (j > last || j == i + 1)) return false;
    }
    return true;
}

template <>
void PyramidModel::Encode(const Position& position, PositionCode& out) {
    using namespace play_position;
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(position.rows));
    out.Byte(static_cast<uint8_t>(position.extraCards));
    EncodeInt(out, position.recyclesAtDeal);
    EncodeInt(out, position.turnsLeft);
    EncodeCards(out, position.triangle, kTriangleSlots);
    EncodeCards(out, position.extra, kMaxRows);
    EncodeCard(out, position.waste);
    EncodePile(out, position.talon, position.talonCount);
    EncodePile(out, position.stock, position.stockCount);
}

template <>
bool PyramidModel::Won(const Position& position) {
    return Over(position) && Cleared(position);
}

template <>
void PyramidModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    out.AddRun(position.talon, position.talonCount);
    out.Add(position.waste);
    for (Card card : position.triangle) out.Add(card);
    for (Card card : position.extra) out.Add(card);
    out.RestUnnamed();
}
