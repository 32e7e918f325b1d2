#include "games/quadrille.h"

#include "artwork/artwork.h"

namespace {

constexpr int kPointsPerCard = 5;
// A pile grows up and to the left by one layer per five cards: this much room around it.
constexpr int kWasteRoomX = 20, kWasteRoomY = 10;
constexpr int kMaxWasteFan = 3;

}  // namespace

// ---- The model ----

using Position = QuadrilleModel::Position;

Card QuadrilleModel::NextCard(int pile, Card top) {
    const int* order = kOrder[pile / 4];
    if (!top.IsValid()) return Card(kPileSuit[pile % 4], order[0]);
    for (int i = 0; i + 1 < 6; ++i)
        if (order[i] == top.Rank()) return Card(top.Suit(), order[i + 1]);
    return Card();
}

bool QuadrilleModel::Fits(const Position& p, Card card, int to) {
    if (!card.IsValid()) return false;
    if (to == kCentrePlace) return card.Rank() == Card::kQueen && p.centreCount < kCentreSlots;
    const int pile = to - kFirstPile;
    return pile >= 0 && pile < kPiles && card == NextCard(pile, p.foundations[pile]);
}

void QuadrilleModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    if (p.wasteCount == 0) return;
    const Card card = p.waste[p.wasteCount - 1];
    for (int to = kCentrePlace; to < kFirstPile + kPiles; ++to)
        if (Fits(p, card, to)) out.push_back(tableau::MakeMove(kWastePlace, p.wasteCount - 1, to, 1));
}

int QuadrilleModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        tableau::DealOrTurn(p, p.cardsDealt, p.RecycleAllowed(), p.dealtThisTurn, p.recyclesUsed);
    } else if (move.kind == PlayMove::kMove && p.wasteCount > 0) {
        const Card card = tableau::TakeTop(p.waste, p.wasteCount);
        --p.dealtThisTurn;
        if (move.to == kCentrePlace) p.centre[p.centreCount++] = card;
        else p.foundations[move.to - kFirstPile] = card;
        p.points += kPointsPerCard;
    }
    return p.points - before;
}

// The eight piles complete; a Queen still on its way to the centre does not matter.
bool QuadrilleModel::Won(const Position& p) {
    for (int pile = 0; pile < kPiles; ++pile)
        if (p.foundations[pile] != Card(kPileSuit[pile % 4], kOrder[pile / 4][5])) return false;
    return true;
}

// Over once the stock has been seen through and no card that can come to the top of the waste
// without any other move can be played.
bool QuadrilleModel::Over(const Position& p) {
    if (p.recyclesUsed == 0 && p.stock.count > 0) return false;
    tableau::Candidates<128> candidates;
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.cardsDealt, p.RecycleAllowed());
    for (int c = 0; c < candidates.count; ++c)
        for (int to = kCentrePlace; to < kFirstPile + kPiles; ++to)
            if (Fits(p, candidates[c], to)) return false;
    return true;
}

void QuadrilleModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodePile(code, p.centre.data(), p.centreCount);
    tableau::EncodeTops(code, p.foundations);
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt));
}

// A top its pile never reaches is named as a fault.
void QuadrilleModel::Cards(const Position& p, CardTally& out) {
    out.AddRun(p.stock.cards, p.stock.count);
    out.AddRun(p.waste, p.wasteCount);
    out.AddRun(p.centre, p.centreCount);
    for (int pile = 0; pile < kPiles; ++pile)
        if (!ForEachPileCard(pile, p.foundations[pile], [&out](Card card) {
                out.cards.push_back(card);
                return true;
            }))
            out.cards.push_back(Card());
}

// ---- The table ----

void QuadrilleGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 14, 16, kWasteFanStep);
    if (ReadRules().filledIn) {
        for (int k = 0; k < 4; ++k) {
            position.foundations[k] = QuadrilleModel::NextCard(k, Card());
            position.foundations[4 + k] = QuadrilleModel::NextCard(4 + k, Card());
            position.centre[k] = Card(QuadrilleModel::kPileSuit[k], Card::kQueen);
            for (Card card : {position.foundations[k], position.foundations[4 + k], position.centre[k]})
                deck.Exclude(card);
        }
        position.centreCount = QuadrilleModel::kCentreSlots;
    }
    ShowOpening();
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
                            tableau::RecycleAllowed(ReadRules().recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, ReadRules().cardsDealt, p.dealtThisTurn,
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
