#include "games/canfield.h"

#include "artwork/artwork.h"

namespace {
// A squared pile grows up and to the left; these margins cover its thickest layer.
constexpr int kLayerMarginX = 12, kLayerMarginY = 6;
}  // namespace

void CanfieldGame::NewGame(bool restart) {
    BeginTableauTable(restart, 0, kTableauStep);
    DealShown();
    Draw(true);
    StartClock(0);
}

TableauGame::Place CanfieldGame::PlaceAt(int place) const {
    using Model = CanfieldModel;
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, kLayerMarginX + 10, kLayerMarginY + 5,
                            tableau::RecycleAllowed(rules.recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, rules.cardsDealt, p.turnedCount,
                              kWasteFanStep)
            .Drawn(kLayerMarginX, kLayerMarginY, 2 * kWasteFanStep);
    if (place == Model::kReservePlace)
        return Place::Reserve(LayerX(kReserveX, p.reserveCount), LayerY(kReserveY, p.reserveCount), 0, p.reserve.data(),
                              p.reserveCount);
    if (f >= 0 && f < CanfieldModel::kFoundations)
        return Place::Foundation(ColumnX(f), kFoundationY, p.foundations[f], p.baseCard.Rank())
            .Drawn(kLayerMarginX, kLayerMarginY, 0);
    if (pile >= 0 && pile < CanfieldModel::kPiles)
        return Place::Column(ColumnX(pile), kTableauY, kTableauStep, p.tableau[pile].data(), p.pileCount[pile]);
    return {};
}

void CanfieldGame::DrawOwnPlace(int, bool present) {
    const int left = kReserveX - kLayerMarginX, top = kReserveY - kLayerMarginY;
    const AreaRefresh refresh(artwork, {left, top, kReserveX + artwork->cardWidth, kReserveY + artwork->cardHeight}, present);
    const int screen = artwork->screenBuffer;
    // While the reserve's top card is in the hand, the cards under it are still unknown.
    const bool topInHand = dragging && heldSource == kReserveSource;
    if (position.reserveCount == 0) {
        artwork->DrawPlaceholder(kReserveX, kReserveY, card_geometry::kPlaceholderEmptyPile, screen);
        return;
    }
    const int layers = PileLayers(position.reserveCount);
    for (int k = 0; k < layers; ++k) {
        const int x = kReserveX + kLayerStepX * k, y = kReserveY + kLayerStepY * k;
        if (k == layers - 1 && !topInHand) artwork->DrawCard(x, y, position.reserve[position.reserveCount - 1], screen);
        else artwork->DrawCardBack(x, y, artwork->cardBack, screen);
    }
}

void CanfieldGame::OnStock() {
    const Position now = CurrentPosition();
    if (now.stock.count == 0 && !now.RecycleAllowed()) return;
    // A flip for each card turned; none turned, the waste was turned over.
    PressStock();
    for (int i = 0; i < position.turnedCount; ++i) PlaySound("flip.wav");
    CheckGameOver();
    if (now.stock.count == 0) PlaySound("shuffle.wav");
}

void CanfieldGame::AfterMove() {
    const int pile = CanfieldModel::EmptyPileForReserve(position);
    if (pile < 0) return;
    DragRecord record;
    CardOrigin(CanfieldModel::kReservePlace, kTopCard, record.x, record.y);
    record.cards[0] = position.reserve[position.reserveCount - 1];
    record.count = 1;
    dragging = true;
    // The reserve's card fills the gap as part of the player's move.
    JoinNextRecordToMove();
    LiftCards(record);
    AnimateCards(record.x, record.y, ColumnX(pile), CardY(0), 1, record.cards.data());
    dragging = false;
    DropTarget target{ColumnX(pile), CardY(0), CardHitRect(ColumnX(pile), CardY(0)), kPlainTargetKind};
    DropCards(record, target);
    points += CanfieldModel::kPointsAutoFill;
    CheckGameOver();
}

void CanfieldGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    fields.CardValue(p.baseCard);
    fields.Cards(p.foundations);
    fields.Pile(p.waste, p.wasteCount);
    fields.Pile(p.reserve, p.reserveCount);
    fields.Piles(p.tableau, p.pileCount);
    fields.Clock(recordPoints, seconds);
}

// Every card in play exactly once: the foundations hold their suit from the base rank up to their
// top card, and everything else is in the stock, waste, reserve or piles.
bool CanfieldGame::AcceptRecord(PackTally& tally, Position& read) {
    if (!read.baseCard.IsValid()) return false;
    if (!tableau::TakePile(tally, read.waste, read.wasteCount) ||
        !tableau::TakePile(tally, read.reserve, read.reserveCount) ||
        !tableau::TakePiles(tally, read.tableau, read.pileCount) ||
        !tally.TakeFoundations(read.foundations, read.baseCard.Rank()) || !tally.WholePack())
        return false;
    read.turnedCount = std::min(read.turnedCount, read.wasteCount);
    return true;
}
