#include "games/golf.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Refresh areas of the table parts (inclusive).
constexpr int kFoundationAreaRight = 799, kFoundationAreaBottom = 452;
constexpr int kColumnAreaBottom = GolfGame::kTableauY + 7 * GolfGame::kTableauStep + 82;

}  // namespace

// ---- The model ----

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

// ---- The game ----

GolfGame::PlaceView GolfGame::View(int place) const {
    if (place == kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place == kPilePlace)
        return {.x = kFoundationX, .y = kFoundationY, .dx = kFoundationStep, .cards = position.pile.data(),
                .count = position.pileCount, .targetKind = kPlainTargetKind};
    const int column = place - kColumnPlace;
    return {.x = ColumnX(column), .y = kTableauY, .dy = kTableauStep, .cards = position.columns[column].data(),
            .count = position.columnCount[column] - (place == lifted), .pickup = true};
}

void GolfGame::Deal() {
    fanDy = kTableauStep;
    const bool sevenByFive = RuleOn("SevenByFive");
    const int columnsInPlay = sevenByFive ? 7 : 6;
    const int cardsPerColumn = sevenByFive ? 5 : 6;
    for (int row = 0; row < cardsPerColumn; ++row)
        for (int column = 0; column < columnsInPlay; ++column)
            if (DealFaceUp(position.columns[column][row], kStockX, kStockY, ColumnX(column), CardY(row)))
                position.columnCount[column] = row + 1;
    if (RuleOn("FlipFirst")) TurnStock(kPilePlace);
}

void GolfGame::DrawPlace(int place, bool present) {
    if (place == kStockPlace) play_position::DrawStockArea(*this, kStockX, kStockY, present);
    else if (place == kPilePlace) DrawView(place, present, true, kFoundationAreaBottom, kFoundationAreaRight);
    else DrawView(place, present, false, kColumnAreaBottom);
}

// The pile and its count; the column slots, their counts, the first seven integers of the
// column position table (x and y of columns 0 to 2 and x of column 3) and the counts again.
// Slots past a count are left empty.
bool GolfGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.pile);
    fields.Int(read.pileCount, 0, Card::kCardsPerPack);
    fields.Piles(read.columns);
    fields.Counts(read.columnCount, 0, kColumnSlots);
    for (int i = 0; i < 7; ++i) fields.Fixed(i % 2 == 0 ? ColumnX(i / 2) : kTableauY);
    std::array<int32_t, kMaxColumns> repeated = read.columnCount;
    fields.Counts(repeated, 0, kColumnSlots);
    ClearPastCount(read.pile, read.pileCount);
    for (int column = 0; column < kMaxColumns; ++column) ClearPastCount(read.columns[column], read.columnCount[column]);
    return repeated == read.columnCount;
}
