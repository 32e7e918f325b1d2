#include "games/klondike.h"

namespace {
// The stock's depth grows up and to the left; the waste fans at most three cards.
constexpr int kWasteMarginX = 8, kWasteMarginY = 4, kMaxWasteFan = 3;
}  // namespace

void KlondikeGame::NewGame(bool restart) {
    BeginTableauTable(restart, 0, kTableauStep, TranslateLater("&Rules..."));
    DealShown();
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place KlondikeGame::PlaceAt(int place) const {
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                            rules.TurnAllowed(p.turnsUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, rules.cardsDealt, p.dealtThisTurn,
                              kWasteFanStep)
            .Drawn(kWasteMarginX, kWasteMarginY, kMaxWasteFan * kWasteFanStep);
    if (f >= 0 && f < KlondikeModel::kFoundations) return Place::Foundation(kFoundationX[f], kFoundationY, p.foundations[f], p.startRank);
    if (pile >= 0 && pile < KlondikeModel::kPiles)
        return Place::Column(PileX(pile), kTableauY, kTableauStep, p.tableau[pile].data(), p.pileCount[pile],
                             p.faceDownCount[pile]);
    return {};
}

void KlondikeGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    std::array<Card, kMaxStackCards> hand = held;
    fields.Cards(p.foundations);
    fields.Cards(hand);
    fields.Pile(p.waste, p.wasteCount);
    fields.Piles(p.tableau, p.pileCount, p.faceDownCount);
    fields.Clock(recordPoints, seconds);
}

// Every card of the pack exactly once: stock, waste, piles, and each foundation's cards from the
// starting rank up to its top (a foundation keeps only its top card). The record does not hold
// the starting rank, and an undo may reach back into the previous deal, whose rank could differ:
// the rank is the one under which the foundations complete the pack, the current one first.
bool KlondikeGame::AcceptRecord(PackTally& tally, Position& read) {
    if (!tableau::TakePile(tally, read.waste, read.wasteCount) ||
        !tableau::TakePiles(tally, read.tableau, read.pileCount))
        return false;
    read.startRank = tally.FoundationStart(read.foundations, position.startRank);
    return read.startRank >= 0;
}
