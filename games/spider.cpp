#include "games/spider.h"

#include "artwork/artwork.h"

namespace {
constexpr int kLayerMarginX = 24, kLayerMarginY = 12;
}  // namespace

void SpiderGame::NewGame(bool restart) {
    BeginTableauTable(restart, 0, kColumnStep);
    DealShown();
    CheckGameOver();
    Draw(true);
    StartClock(0);
}

TableauGame::Place SpiderGame::PlaceAt(int place) const {
    using Model = SpiderModel;
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, column = place - Model::kFirstPile;
    if (place == Model::kStockPlace) return Place::Stock(kStockX, kStockY, kLayerMarginX, kLayerMarginY, false);
    if (f >= 0 && f < SpiderModel::kFoundations) return Place::Foundation(FoundationX(f), kFoundationY, p.foundations[f]);
    if (column >= 0 && column < SpiderModel::kPiles)
        return Place::Column(ColumnX(column), kColumnY, kColumnStep, p.tableau[column].data(), p.pileCount[column],
                             p.faceDownCount[column]);
    return {};
}

// The model deals the row; the table shows it a card at a time.
void SpiderGame::OnStock() {
    SaveUndo();
    Position next = CurrentPosition();
    SpiderModel::Apply(next, {PlayMove::kStock});
    for (int column = 0; column < SpiderModel::kPiles; ++column) {
        if (next.pileCount[column] == position.pileCount[column]) continue;
        DealTo(SpiderModel::kFirstPile + column, false);
        position.tableau[column] = next.tableau[column];
        position.pileCount[column] = next.pileCount[column];
        DrawPlace(SpiderModel::kFirstPile + column, true);
        DrawPlace(SpiderModel::kStockPlace, true);
        artwork->PresentDirty();
    }
    position = next;
    CheckGameOver();
}

void SpiderGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    fields.Cards(p.foundations);
    fields.Piles(p.tableau, p.pileCount, p.faceDownCount);
    fields.Clock(recordPoints, seconds);
}

// No card more often than the two packs hold it; the rest are on the foundations.
bool SpiderGame::AcceptRecord(PackTally& tally, Position& read) {
    return tableau::TakePiles(tally, read.tableau, read.pileCount);
}
