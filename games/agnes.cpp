#include "games/agnes.h"

void AgnesGame::NewGame(bool restart) {
    BeginTableauTable(restart, 0, kTableauStep);
    reserveDealt.fill(0);
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->Present();
    DealShown();
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place AgnesGame::PlaceAt(int place) const {
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    const int reserve = place - Model::kFirstReserve;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY, false);
    if (f >= 0 && f < Model::kFoundations)
        return Place::Foundation(kFoundationX, FoundationY(f), p.foundations[f], p.startRank);
    if (pile >= 0 && pile < Model::kPiles)
        return Place::Column(PileX(pile), kTableauY, kTableauStep, p.tableau[pile].data(), p.pileCount[pile],
                             p.faceDownCount[pile]);
    if (reserve >= 0 && reserve < Model::kReservePiles)
        return Place::Reserve(ReserveX(reserve), kReserveY, kReserveStep, p.reserve[reserve].data(),
                              p.reserveCount[reserve]);
    return {};
}

// A reserve pile's area reaches down to where its last card can lie.
void AgnesGame::DrawOwnPlace(int place, bool present) {
    const int pile = place - AgnesModel::kFirstReserve;
    const int x = ReserveX(pile);
    const int bottom = ReserveY(AgnesModel::kReserveSlots - 1) + artwork->cardHeight;
    const AreaRefresh refresh(artwork, {x, kReserveY, x + artwork->cardWidth, bottom}, present);
    for (int k = 0; k < position.reserveCount[pile]; ++k)
        artwork->DrawCard(x, ReserveY(k), position.reserve[pile][k], artwork->screenBuffer);
}

// A round deals one card to each of the first seven reserve piles, each flown there from the
// stock; when the cards left are too few for another, they follow at once onto the last two,
// with an undo record of their own. A pile already holding its three cards (only possible with a
// fixed starting card and no filled-in foundations) passes its card to the next pile with room.
void AgnesGame::OnStock() {
    if (deck.Remaining() == 0) return;
    auto deal = [&](int first, int last) {
        SaveUndo();
        Position next = CurrentPosition();
        Model::DealToReserve(next, first, last, [&](int to, int index, Card card) {
            deck.DealNext();
            reserveDealt[to] = index;
            DrawPlace(Model::kStockPlace, true);
            AnimateCard(kStockX, kStockY, ReserveX(to), ReserveY(index), card, {.fast = true});
        });
        position = next;
        CheckGameOver();
        DrawPlace(Model::kStockPlace, true);
        for (int pile = first; pile < Model::kReservePiles; ++pile) DrawPlace(Model::kFirstReserve + pile, true);
        artwork->PresentDirty();
    };
    deal(0, Model::kDealtReservePiles - 1);
    if (deck.Remaining() == Model::kReservePiles - Model::kDealtReservePiles) {
        JoinNextRecordToMove();
        deal(Model::kDealtReservePiles, Model::kReservePiles - 1);
    }
    CheckGameOver();
}

void AgnesGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    std::array<Card, kMaxStackCards> hand = held;
    int32_t last = 0;
    fields.Cards(p.foundations);
    fields.Cards(hand);
    fields.Piles(p.tableau, p.pileCount, p.faceDownCount);
    fields.Clock(recordPoints, seconds);
    fields.Piles(p.reserve, p.reserveCount);
    readDealt = reserveDealt;
    fields.Counts(readDealt, 0, AgnesModel::kReserveSlots);
    // Records are written between moves, never with cards in hand: a record read with some is refused.
    const bool handEmpty = std::none_of(hand.begin(), hand.end(), [](Card card) { return card.IsValid(); });
    fields.Int(last, 0, handEmpty ? 0 : -1);
}

// The record does not hold the starting rank; it is the one for which every card of the pack is
// somewhere exactly once, each foundation holding its suit from the starting rank up to its top.
// The current rank is tried first, since with empty foundations any rank fits.
bool AgnesGame::AcceptRecord(PackTally& tally, Position& read) {
    if (!tableau::TakePiles(tally, read.tableau, read.pileCount) ||
        !tableau::TakePiles(tally, read.reserve, read.reserveCount))
        return false;
    read.startRank = tally.FoundationStart(read.foundations, position.startRank);
    if (read.startRank < 0) return false;
    reserveDealt = readDealt;
    return true;
}
