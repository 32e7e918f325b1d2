#include "games/quadrille.h"

#include "artwork/artwork.h"

namespace {

// A pile grows up and to the left by one layer per five cards: this much room around it.
constexpr int kWasteRoomX = 20, kWasteRoomY = 10;
constexpr int kMaxWasteFan = 3;

}  // namespace

void QuadrilleGame::NewGame(bool restart) {
    BeginTableauTable(restart, 14, 16);
    DealShown();
    Draw(true);
    CheckGameOver();
    StartClock(0);
}

// The centre and the eight piles are drop targets that show their top card; the game draws them
// and the waste itself.
TableauGame::Place QuadrilleGame::PlaceAt(int place) const {
    using Model = QuadrilleModel;
    const Position& p = position;
    const int pile = place - Model::kFirstPile;
    Place at{};
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                            tableau::RecycleAllowed(rules.recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, rules.cardsDealt, p.dealtThisTurn,
                              kWasteFanStep)
            .Drawn(kWasteRoomX, kWasteRoomY, kMaxWasteFan * kWasteFanStep);
    if (place == Model::kCentrePlace) at = Place::Foundation(kCentreX, kCentreY, p.centre[0]);
    else if (pile >= 0 && pile < Model::kPiles) at = Place::Foundation(kPileX[pile], kPileY[pile], p.foundations[pile]);
    at.own = at.kind != Place::kNone;
    return at;
}

void QuadrilleGame::DrawOwnPlace(int place, bool present) {
    const int screen = artwork->screenBuffer;
    if (place == QuadrilleModel::kCentrePlace) {
        const int left = kCentreX - play_position::kLayerRoomX, top = kCentreY - play_position::kLayerRoomY;
        const AreaRefresh refresh(artwork, {left, top, kCentreX + artwork->cardWidth, kCentreY + artwork->cardHeight},
                                  present);
        if (!position.centre[0].IsValid() || position.centreCount < 1)
            artwork->DrawPlaceholder(kCentreX, kCentreY, card_geometry::kPlaceholderEmptyPile, screen);
        else
            artwork->DrawCard(kCentreX, kCentreY, position.centre[position.centreCount - 1], screen);
    } else {
        const int pile = place - QuadrilleModel::kFirstPile, x = kPileX[pile], y = kPileY[pile];
        const Card top = position.foundations[pile];
        const AreaRefresh refresh(artwork, {x, y, x + artwork->cardWidth, y + artwork->cardHeight}, present);
        // An empty pile shows the card it waits for, darkened, as a guide.
        if (top.IsValid()) artwork->DrawFoundation(x, y, top, screen, top.Rank(), 1);
        else artwork->DrawCard(x, y, QuadrilleModel::NextCard(pile, Card()), screen, true);
    }
}

void QuadrilleGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    fields.Pile(p.centre, p.centreCount);
    fields.Cards(&p.foundations[4], 4);  // the up piles, then the down piles
    fields.Cards(p.foundations.data(), 4);
    fields.Pile(p.waste, p.wasteCount);
    fields.Clock(recordPoints, seconds);
}

// Every card in play exactly once: stock, waste, centre Queens, and each pile from its first card
// to its top in its own suit.
bool QuadrilleGame::AcceptRecord(PackTally& tally, Position& read) {
    if (!tableau::TakePile(tally, read.waste, read.wasteCount)) return false;
    ClearPastCount(read.centre, read.centreCount);
    for (int i = 0; i < read.centreCount; ++i)
        if (read.centre[i].Rank() != Card::kQueen || !tally.Take(read.centre[i])) return false;
    auto take = [&tally](Card card) { return tally.Take(card); };
    for (int pile = 0; pile < QuadrilleModel::kPiles; ++pile)
        if (!QuadrilleModel::ForEachPileCard(pile, read.foundations[pile], take)) return false;
    return tally.WholePack();
}
