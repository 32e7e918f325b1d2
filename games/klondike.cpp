#include "games/klondike.h"

namespace {
// The stock's depth grows up and to the left; the waste fans at most three cards.
constexpr int kWasteMarginX = 8, kWasteMarginY = 4, kMaxWasteFan = 3;
}  // namespace

// The pick-ups are those of the table: the waste's top card, each pile's top card, and either
// every face-up run (MovePartial) or the whole face-up part of a pile.
void KlondikeModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || p.rules.TurnAllowed(p.turnsUsed)) out.push_back({PlayMove::kStock});
    p.AddFlips(kFirstPile, out);
    if (p.wasteCount > 0) tableau::AddDrops<KlondikeModel>(p, kWastePlace, p.wasteCount - 1, p.waste[p.wasteCount - 1], 1, out);
    for (int pile = 0; pile < kPiles; ++pile) {
        tableau::ForEachPileStack(p.pileCount[pile], p.faceDownCount[pile], p.rules.movePartial, [&](int k, int n) {
            tableau::AddDrops<KlondikeModel>(p, kFirstPile + pile, k, p.tableau[pile][k], n, out);
        });
    }
}

int KlondikeModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        tableau::DealOrTurn(p, p.rules.cardsDealt, p.rules.TurnAllowed(p.turnsUsed), p.dealtThisTurn, p.turnsUsed);
    } else if (move.kind == PlayMove::kFlip) {
        p.points += p.TurnTop(move.from - kFirstPile);
    } else if (move.kind == PlayMove::kMove) {
        tableau::MoveCards(p, move, p.tableau, p.pileCount, kFirstFoundation, kFirstPile, [&](int) {
            --p.dealtThisTurn;
            return tableau::TakeTop(p.waste, p.wasteCount);
        });
        if (p.rules.autoFlip) p.points += p.TurnFaceDownTops();
    }
    return p.points - before;
}

// Over when no face-down top waits to be turned, the stock has been seen through once, and no
// card that can still come into play (from stock and waste, the piles' tops and, with
// MovePartial, the cards a partial move would uncover) has anywhere useful to go.
bool KlondikeModel::Over(const Position& p) {
    if (p.AnyAllFaceDown()) return false;
    const int stockSize = p.stock.count;
    if (p.turnsUsed == 0 && stockSize > 0) return false;

    tableau::Candidates<128> candidates;
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.rules.cardsDealt, p.rules.TurnAllowed(p.turnsUsed));
    if (stockSize > 0) candidates.Add(p.stock.Peek(stockSize - 1));
    // Those cards may also fill a pile a shift empties.
    const std::span<const Card> fillers(candidates.cards.data(), candidates.count);
    return tableau::AlternatingStuck(p, candidates, fillers, false);
}

void KlondikeModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    code.Byte(static_cast<uint8_t>(p.startRank));
    code.Byte(static_cast<uint8_t>(std::min(p.turnsUsed, 255)));
    const KlondikeRules& r = p.rules;
    code.Byte(static_cast<uint8_t>(r.cardsDealt));
    code.Byte(static_cast<uint8_t>(std::min(r.recycles, 255)));
    code.Byte(static_cast<uint8_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3));
}

void KlondikeGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 0, kTableauStep, kWasteFanStep, 1, TranslateLater("&Rules..."));
    const Rules rules = ReadRules();
    StartFoundations(position.foundations, position.startRank, rules.startCard, rules.filledIn, true);
    ShowOpening();

    DealRows(position, KlondikeModel::kFirstPile);
    CheckGameOver();
    StartClock(0);
}

TableauGame::Place KlondikeGame::PlaceAt(int place) const {
    const Position& p = position;
    const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                            ReadRules().TurnAllowed(p.turnsUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, ReadRules().cardsDealt, p.dealtThisTurn,
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
