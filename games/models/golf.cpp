#include "games/models/golf.h"

#include <algorithm>
#include <cstdlib>

GolfParts::Position GolfParts::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    Position position;
    position.wrapAround = rules.wrapAround;
    position.stockCount = play_position::CopyStock(deck, position.stock);
    if (show) show->Shown(position);
    for (int row = 0; row < rules.CardsPerColumn(); ++row)
        for (int column = 0; column < rules.Columns(); ++column) {
            const Card card = deck.DealNext();
            if (!card.IsValid()) continue;
            position.columns[column][row] = card;
            position.columnCount[column] = row + 1;
            position.stockCount = play_position::CopyStock(deck, position.stock);
            if (show) show->Dealt(position, kColumnPlace + column, row);
        }
    if (rules.flipFirst) PlayAtDeal<GolfModel>(deck, position, {.kind = PlayMove::kStock, .from = kStockPlace}, show);
    return position;
}

bool GolfParts::CanPlay(Card card, Card top, bool wrapAround) {
    if (!card.IsValid() || !top.IsValid()) return false;
    if (wrapAround) {
        if (top.Rank() == Card::kKing && card.Rank() == Card::kAce) return true;
        if (top.Rank() == Card::kAce && card.Rank() == Card::kKing) return true;
    } else if (top.Rank() == Card::kKing) {
        return false;
    }
    return std::abs(GolfValue(card) - GolfValue(top)) == 1;
}

bool GolfParts::Playable(const Position& position, int column) {
    const int count = position.columnCount[column];
    if (count < 1) return false;
    const Card card = position.columns[column][count - 1];
    if (position.pileCount == 0) return card.IsValid();
    return position.pileCount < Card::kCardsPerPack && CanPlay(card, PileTop(position), position.wrapAround);
}

template <>
void GolfModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    if (position.stockCount > 0) out.push_back({.kind = PlayMove::kStock, .from = kStockPlace});
    for (int column = 0; column < kMaxColumns; ++column)
        if (Playable(position, column))
            out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(kColumnPlace + column), .to = kPilePlace});
}

template <>
int GolfModel::ApplyOwn(Position& position, const PlayMove& move) {
    int scored = 0;
    if (move.kind == PlayMove::kStock) {
        if (position.stockCount == 0) return 0;
        play_position::Push(position.pile, position.pileCount, play_position::Pop(position.stock, position.stockCount));
    } else if (move.kind == PlayMove::kMove) {
        const int column = move.from - kColumnPlace;
        const Card card = play_position::Pop(position.columns[column], position.columnCount[column]);
        const Card top = PileTop(position);
        scored = kPointsPerCard;
        if (top.Rank() == Card::kKing) scored -= kWrapPenalty;
        if (card.Rank() == Card::kKing && top.Rank() == Card::kAce) scored -= kWrapPenalty;
        play_position::Push(position.pile, position.pileCount, card);
    }
    position.points += scored;
    return scored;
}

bool GolfParts::Cleared(const Position& position) {
    return std::all_of(position.columnCount.begin(), position.columnCount.end(), [](int32_t n) { return n == 0; });
}

template <>
bool GolfModel::Over(const Position& position) {
    if (position.stockCount > 0 || position.pileCount == 0) return false;
    for (int column = 0; column < kMaxColumns; ++column)
        if (Playable(position, column)) return false;
    return true;
}

template <>
void GolfModel::Encode(const Position& position, PositionCode& out) {
    using namespace play_position;
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(position.wrapAround));
    EncodePiles(out, position.columns, position.columnCount);
    EncodeCard(out, PileTop(position));
    EncodePile(out, position.stock, position.stockCount);
}

template <>
bool GolfModel::Won(const Position& position) {
    return Over(position) && Cleared(position);
}

template <>
void GolfModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    out.AddRun(position.pile, position.pileCount);
    for (size_t k = 0; k < position.columns.size(); ++k) out.AddRun(position.columns[k], position.columnCount[k]);
}

