#include "games/quadrille.h"

#include "artwork/artwork.h"

namespace {

constexpr int kPointsPerCard = 5;
constexpr int kFive = 3, kSix = 4;
// A pile grows up and to the left by one layer per five cards: this much room around it.
constexpr int kLayerRoomX = 22, kLayerRoomY = 11;
constexpr int kWasteRoomX = 20, kWasteRoomY = 10;
constexpr int kMaxWasteFan = 3;

}  // namespace

// ---- The model ----

using Position = QuadrilleModel::Position;

bool QuadrilleModel::CanPlay(Card card, Card top, int pile) {
    if (!card.IsValid()) return false;
    if (pile == kCentrePile) return card.Rank() == Card::kQueen;
    if (pile >= 0 && pile < kPiles) {
        if (!top.IsValid()) return card == Card(kPileSuit[pile], kFive);
        if (card.Suit() != top.Suit()) return false;
        // Down to the Ace, then round the corner to the King, which completes the pile.
        return (top.PipValue() - 1 == card.PipValue() && card.Rank() != Card::kQueen) ||
               (top.Rank() == Card::kAce && card.Rank() == Card::kKing);
    }
    const int up = pile - kUpPileBase;
    if (up < 0 || up >= kPiles) return false;
    if (!top.IsValid()) return card == Card(kPileSuit[up], kSix);
    // Up to the Jack: the Queens belong to the centre.
    return card.Suit() == top.Suit() && top.PipValue() + 1 == card.PipValue() && card.Rank() != Card::kQueen;
}

bool QuadrilleModel::Fits(const Position& p, Card card, int to) {
    if (to == kCentrePlace) return card.Rank() == Card::kQueen && card.IsValid() && p.centreCount < kCentreSlots;
    if (to >= kFirstDownPile && to < kFirstUpPile) return CanPlay(card, p.downTops[to - kFirstDownPile], to - kFirstDownPile);
    const int up = to - kFirstUpPile;
    return up >= 0 && up < kPiles && CanPlay(card, p.upTops[up], kUpPileBase + up);
}

void QuadrilleModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0 || tableau::RecycleAllowed(p.recycles, p.recyclesUsed)) out.push_back({PlayMove::kStock});
    if (p.wasteCount == 0) return;
    const Card card = p.waste[p.wasteCount - 1];
    for (int to = kCentrePlace; to < kFirstUpPile + kPiles; ++to)
        if (Fits(p, card, to)) out.push_back(tableau::MakeMove(kWastePlace, p.wasteCount - 1, to, 1));
}

int QuadrilleModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        tableau::DealOrTurn(p, p.cardsDealt, tableau::RecycleAllowed(p.recycles, p.recyclesUsed), p.dealtThisTurn,
                            p.recyclesUsed);
    } else if (move.kind == PlayMove::kMove && p.wasteCount > 0) {
        const Card card = tableau::TakeTop(p.waste, p.wasteCount);
        --p.dealtThisTurn;
        if (move.to == kCentrePlace) p.centre[p.centreCount++] = card;
        else if (move.to < kFirstUpPile) p.downTops[move.to - kFirstDownPile] = card;
        else p.upTops[move.to - kFirstUpPile] = card;
        p.points += kPointsPerCard;
    }
    return p.points - before;
}

bool QuadrilleModel::Won(const Position& p) {
    // The eight piles complete; a Queen still on its way to the centre does not matter.
    for (int k = 0; k < kPiles; ++k)
        if (p.downTops[k] != Card(kPileSuit[k], Card::kKing) || p.upTops[k] != Card(kPileSuit[k], Card::kJack))
            return false;
    return true;
}

// Over once the stock has been seen through and no card that can come to the top of the waste
// without any other move can be played.
bool QuadrilleModel::Over(const Position& p) {
    const int stockSize = p.stock.count;
    if (p.recyclesUsed == 0 && stockSize > 0) return false;
    tableau::Candidates<128> candidates;
    candidates.AddTurnable(p.stock, p.waste.data(), p.wasteCount, p.cardsDealt,
                           tableau::RecycleAllowed(p.recycles, p.recyclesUsed));
    // The centre is full only once every Queen is in it.
    for (int c = 0; c < candidates.count; ++c)
        for (int to = kCentrePlace; to < kFirstUpPile + kPiles; ++to)
            if (Fits(p, candidates[c], to)) return false;
    return true;
}

void QuadrilleModel::Encode(const Position& p, PositionCode& code) {
    tableau::EncodeStockAndWaste(code, p.stock, p.waste, p.wasteCount);
    tableau::EncodePile(code, p.centre.data(), p.centreCount);
    tableau::EncodeTops(code, p.downTops);
    tableau::EncodeTops(code, p.upTops);
    tableau::EncodeRecycles(code, p.recyclesUsed, p.recycles);
    code.Byte(static_cast<uint8_t>(p.cardsDealt));
}

// ---- The table ----

QuadrilleGame::QuadrilleGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
    undoSoundFirst = true;
    pressDecides = true;
}

// ---- Deal ----

void QuadrilleGame::NewGame(bool restart) {
    BeginTableauDeal(restart, 14, 16, kWasteFanStep);
    if (ReadRules().filledIn) {
        for (int k = 0; k < QuadrilleModel::kPiles; ++k) {
            position.downTops[k] = Card(kPileSuit[k], kFive);
            position.upTops[k] = Card(kPileSuit[k], kSix);
            position.centre[k] = Card(kPileSuit[k], Card::kQueen);
            deck.Exclude(position.downTops[k]);
            deck.Exclude(position.upTops[k]);
            deck.Exclude(position.centre[k]);
        }
        position.centreCount = QuadrilleModel::kCentreSlots;
    }
    ShowOpening();
    Draw(true);
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

// The centre and the eight piles are drop targets that show their top card; the game draws them
// and the waste itself.
TableauGame::Place QuadrilleGame::PlaceAt(int place) const {
    using Model = QuadrilleModel;
    const Position& p = position;
    const int down = place - Model::kFirstDownPile, up = place - Model::kFirstUpPile;
    Place at{};
    if (place == Model::kStockPlace)
        return Place::Stock(kStockX, kStockY, kLayerRoomX, kLayerRoomY,
                            tableau::RecycleAllowed(ReadRules().recycles, p.recyclesUsed));
    if (place == Model::kWastePlace)
        return Place::WasteAt(kWasteX, kWasteY, p.waste.data(), p.wasteCount, ReadRules().cardsDealt, p.dealtThisTurn,
                              kWasteFanStep)
            .Drawn(kWasteRoomX, kWasteRoomY, kMaxWasteFan * kWasteFanStep);
    if (place == Model::kCentrePlace) at = Place::Foundation(kCentreX, kCentreY, p.centre[0]);
    else if (down >= 0 && down < Model::kPiles) at = Place::Foundation(kDownX[down], kDownY[down], p.downTops[down]);
    else if (up >= 0 && up < Model::kPiles) at = Place::Foundation(kUpX[up], kUpY[up], p.upTops[up]);
    at.own = at.kind != Place::kNone;
    return at;
}

void QuadrilleGame::DrawOwnPlace(int place, bool present) {
    using Model = QuadrilleModel;
    const int screen = artwork->screenBuffer;
    if (place == Model::kCentrePlace) {
        const int left = kCentreX - kLayerRoomX, top = kCentreY - kLayerRoomY;
        const AreaRefresh refresh(artwork, {left, top, kCentreX + artwork->cardWidth, kCentreY + artwork->cardHeight},
                                  present);
        if (!position.centre[0].IsValid() || position.centreCount < 1)
            artwork->DrawPlaceholder(kCentreX, kCentreY, card_geometry::kPlaceholderEmptyPile, screen);
        else
            artwork->DrawCard(kCentreX, kCentreY, position.centre[position.centreCount - 1], screen);
    } else {
        const bool down = place < Model::kFirstUpPile;
        const int k = place - (down ? Model::kFirstDownPile : Model::kFirstUpPile);
        const int x = down ? kDownX[k] : kUpX[k], y = down ? kDownY[k] : kUpY[k];
        const Card top = down ? position.downTops[k] : position.upTops[k];
        const AreaRefresh refresh(artwork, {x, y, x + artwork->cardWidth, y + artwork->cardHeight}, present);
        // An empty pile shows the card it waits for, darkened, as a guide.
        if (top.IsValid()) artwork->DrawFoundation(x, y, top, screen, top.Rank(), 1);
        else artwork->DrawCard(x, y, Card(kPileSuit[k], down ? kFive : kSix), screen, true);
    }
}

// ---- Undo ----

void QuadrilleGame::RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) {
    fields.Pile(p.centre, p.centreCount);
    fields.Cards(p.upTops);
    fields.Cards(p.downTops);
    fields.Pile(p.waste, p.wasteCount);
    fields.Clock(recordPoints, seconds);
}

// Every card in play exactly once: stock, waste, centre Queens, and each pile from its first card
// to its top in its own suit.
bool QuadrilleGame::AcceptRecord(PackTally& tally, Position& read) {
    auto takePile = [&tally](Card top, int suit, std::span<const int> order) {
        if (!top.IsValid()) return true;
        if (top.Suit() != suit) return false;
        for (int rank : order) {
            if (!tally.Take(Card(suit, rank))) return false;
            if (rank == top.Rank()) return true;
        }
        return false;
    };
    if (!tableau::TakePile(tally, read.waste, read.wasteCount)) return false;
    ClearPastCount(read.centre, read.centreCount);
    for (int i = 0; i < read.centreCount; ++i)
        if (read.centre[i].Rank() != Card::kQueen || !tally.Take(read.centre[i])) return false;
    for (int k = 0; k < QuadrilleModel::kPiles; ++k) {
        if (!takePile(read.downTops[k], kPileSuit[k], kDownOrder)) return false;
        if (!takePile(read.upTops[k], kPileSuit[k], kUpOrder)) return false;
    }
    return tally.WholePack();
}
