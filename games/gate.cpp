#include "games/gate.h"

#include "artwork/artwork.h"

namespace {

constexpr int32_t kMaxRecycles = 1'000'000;
constexpr int kWasteMarginX = 12, kWasteMarginY = 6;

}  // namespace

void GateGame::NewGame(bool restart) {
    BeginTableauTable(restart, 0, kColumnStep);
    DealShown();
    Draw(true);
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place GateGame::PlaceAt(int place) const {
    using Model = GateModel;
    const Position& p = position;
    const int post = place - Model::kFirstPost, f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                            tableau::RecycleAllowed(rules.recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount).Drawn(kWasteMarginX, kWasteMarginY, 0);
    // A post offers its last card a little raised (its depth), at its own slot when drawn.
    if (post == 0 || post == 1) return Place::Reserve(PostX(post), PostTopY(post), 0, p.posts[post].data(), p.postCount[post]);
    if (f >= 0 && f < GateModel::kFoundations) return Place::Foundation(FoundationX(f), kFoundationY, p.foundations[f]);
    if (pile >= 0 && pile < GateModel::kPiles)
        return Place::Column(ColumnX(pile), kColumnY, kColumnStep, p.tableau[pile].data(), p.pileCount[pile]);
    return {};
}

void GateGame::DrawOwnPlace(int place, bool present) {
    const int screen = artwork->screenBuffer;
    const int post = place - GateModel::kFirstPost, x = PostX(post);
    const int top = kPostY - kWasteMarginY, bottom = PostSlotY(GateModel::kPostSlots - 1) + artwork->cardHeight;
    const AreaRefresh refresh(artwork, {x, top, x + artwork->cardWidth, bottom}, present);
    // Every card stands at its slot; only the pick-up of the last one is raised.
    for (int slot = 0; slot < position.postCount[post]; ++slot)
        artwork->DrawCard(x, PostSlotY(slot), position.posts[post][slot], screen);
}

// Every press off the stock writes a record, whether or not a drag follows: LiftCards writes none
// of its own, and a refused drag drops this one again.
void GateGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    if (OnStockTop(x, y, kStockX, kStockY)) return OnStock();
    SaveUndo();
    Game::OnLButtonDown(keys, x, y);
    CheckGameOver();
}

// The waste or a post is drawn again: a post's slide back ends at the raised pick-up, but its card
// stands at its slot. A column's needs nothing.
void GateGame::RedrawReturned(int source) {
    if (source >= GateModel::kFirstPile) return;
    DrawPlace(source == kWasteSource ? GateModel::kWastePlace : source, true);
    artwork->PresentDirty();
}

void GateGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    // The waste's position travels with its cards, as a 36th pair.
    int32_t wasteX = kWasteX, wasteY = kWasteY;
    fields.Int(p.startRank, 0, Card::kRankCount - 1);
    fields.Cards(p.foundations);
    fields.Cards(p.waste);
    fields.Int(wasteX);
    fields.Int(wasteY);
    fields.Int(p.wasteCount, 0, GateModel::kWasteSlots);
    fields.Piles(p.posts, p.postCount);
    fields.Piles(p.tableau, p.pileCount);
    fields.Points(recordPoints);
    fields.Int(p.recyclesUsed, 0, kMaxRecycles);
    fields.Seconds(seconds);
}

// Every card once: stock, waste, posts, columns, and each foundation from the starting rank up.
bool GateGame::AcceptRecord(PackTally& tally, Position& read) {
    return tableau::TakePile(tally, read.waste, read.wasteCount) &&
           tableau::TakePiles(tally, read.posts, read.postCount) &&
           tableau::TakePiles(tally, read.tableau, read.pileCount) &&
           tally.TakeFoundations(read.foundations, read.startRank) && tally.WholePack();
}
