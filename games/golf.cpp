#include "games/golf.h"

namespace {

// Refresh areas of the table parts (inclusive).
constexpr int kFoundationAreaRight = 799, kFoundationAreaBottom = 452;
constexpr int kColumnAreaBottom = GolfGame::kTableauY + 7 * GolfGame::kTableauStep + 82;

}  // namespace

// ---- The game ----

GolfGame::PlaceView GolfGame::View(int place) const {
    if (place == Model::kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place == Model::kPilePlace)
        return {.x = kFoundationX, .y = kFoundationY, .dx = kFoundationStep, .cards = position.pile.data(),
                .count = position.pileCount, .targetKind = kPlainTargetKind};
    const int column = place - Model::kColumnPlace;
    return {.x = ColumnX(column), .y = kTableauY, .dy = kTableauStep, .cards = position.columns[column].data(),
            .count = position.columnCount[column] - (place == lifted), .pickup = true};
}

void GolfGame::DrawPlace(int place, bool present) {
    if (place == Model::kStockPlace) play_position::DrawStockArea(*this, kStockX, kStockY, present);
    else if (place == Model::kPilePlace) DrawView(place, present, true, kFoundationAreaBottom, kFoundationAreaRight);
    else DrawView(place, present, false, kColumnAreaBottom);
}

// The pile and its count; the column slots, their counts, the first seven integers of the
// column position table (x and y of columns 0 to 2 and x of column 3) and the counts again.
// Slots past a count are left empty.
bool GolfGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.pile);
    fields.Int(read.pileCount, 0, Card::kCardsPerPack);
    fields.Piles(read.columns);
    fields.Counts(read.columnCount, 0, Model::kColumnSlots);
    for (int i = 0; i < 7; ++i) fields.Fixed(i % 2 == 0 ? ColumnX(i / 2) : kTableauY);
    std::array<int32_t, Model::kMaxColumns> repeated = read.columnCount;
    fields.Counts(repeated, 0, Model::kColumnSlots);
    ClearPastCount(read.pile, read.pileCount);
    for (int column = 0; column < Model::kMaxColumns; ++column) ClearPastCount(read.columns[column], read.columnCount[column]);
    return repeated == read.columnCount;
}
