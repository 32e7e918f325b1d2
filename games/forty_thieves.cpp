#include "games/forty_thieves.h"

#include "artwork/artwork.h"

namespace {
// A squared pile grows up and to the left by a layer every five cards; the margins cover the
// thickest stock (104 cards) and waste (65 cards).
constexpr int kStockMarginX = 44, kStockMarginY = 22;
constexpr int kWasteMarginX = 26, kWasteMarginY = 13;
}  // namespace

void FortyThievesGame::NewGame(bool restart) {
    BeginTableauTable(restart, 0, kColumnStep);
    DealShown();
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place FortyThievesGame::PlaceAt(int place) const {
    using Model = FortyThievesModel;
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, column = place - Model::kFirstPile;
    const int inPlay = rules.columnsInPlay;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, kStockMarginX, kStockMarginY, p.recyclesUsed < rules.recycle);
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount).Drawn(kWasteMarginX, kWasteMarginY, 0);
    if (f >= 0 && f < FortyThievesModel::kFoundations) return Place::Foundation(FoundationX(f), kFoundationY, p.foundations[f], p.startRank);
    if (column >= 0 && column < inPlay)
        return Place::Column(ColumnX(column, inPlay), kColumnY, kColumnStep, p.tableau[column].data(),
                             p.pileCount[column], p.faceDownCount[column]);
    return {};
}

void FortyThievesGame::OnStock() {
    const Position now = CurrentPosition();
    // A full waste (only with small layouts) takes no more cards until some have been played.
    const bool deal = FortyThievesModel::CanDeal(now);
    if (!deal && !FortyThievesModel::CanRecycle(now)) return;
    // While the table shows a recycle and the game-over test first looks at it, the count is still
    // the one before it: the press plays from one fewer.
    if (!deal) --position.recyclesUsed;
    PressStock();
    CheckGameOver();
    PlaySound(deal ? "flip.wav" : "shuffle.wav");
    if (!deal) ++position.recyclesUsed;
}

void FortyThievesGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints,
                                    int32_t& seconds) {
    fields.Cards(p.foundations);
    fields.Pile(p.waste, p.wasteCount);
    fields.Piles(p.tableau, p.pileCount, p.faceDownCount);
    fields.Clock(recordPoints, seconds);
}

bool FortyThievesGame::AcceptRecord(PackTally& tally, Position& read) {
    // A record of a deal with more columns than are in play now would leave cards out of reach.
    const int inPlay = rules.columnsInPlay;
    for (int column = inPlay; column < FortyThievesModel::kPiles; ++column)
        if (read.pileCount[column] != 0) return false;
    // The record does not hold the starting rank; it is the one for which every card of the two
    // packs is somewhere exactly twice, each foundation holding its suit from the starting rank
    // up to its top. The current rank is tried first, since with empty foundations any rank fits.
    if (!tableau::TakePile(tally, read.waste, read.wasteCount) ||
        !tableau::TakePiles(tally, read.tableau, read.pileCount))
        return false;
    read.startRank = tally.FoundationStart(read.foundations, position.startRank);
    return read.startRank >= 0;
}
