#include "games/tableau_game.h"

namespace {
// Where a drag takes hold of a card or lets it go, from the card's origin: near its top edge, so
// it takes that card and not one fanned over it.
constexpr int kGestureOffsetX = 20, kGestureOffsetY = 5;
}  // namespace

// The hotspots are registered again: none while paused or after the game, else place by place the
// pick-ups in the order a press prefers them (every waste's and reserve's top card, each column's
// stacks as RunsOf says), then the drop targets (every foundation, then every column whose top is
// face up or that is empty).
bool TableauGame::CheckGameOver() {
    gameOver = endedByUser || (!dragging && ModelOver());
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    pickups.clear();
    dropTargets.clear();
    if (paused || gameOver) return gameOver;
    for (int place = 0; PlaceAt(place).kind != Place::kNone; ++place) {
        const Place at = PlaceAt(place);
        if (at.kind == Place::kWaste || at.kind == Place::kReserve) {
            if (at.count > 0) AddPickup(at.x, at.CardY(at.count - 1), &at.cards[at.count - 1], 1);
        } else if (at.kind == Place::kColumn) {
            const ColumnRuns runs = RunsOf(place, at);
            tableau::ForEachPileStack(at.count, runs.lowest, runs.partial,
                                      [&](int k, int n) { AddPickup(at.x, at.CardY(k), &at.cards[k], n); });
        }
    }
    for (int place = 0; PlaceAt(place).kind != Place::kNone; ++place) {
        const Place at = PlaceAt(place);
        if (at.kind == Place::kFoundation) AddDropTarget(at.x, at.y, CardHitRect(at.x, at.y), kAutoMoveKind);
    }
    for (int place = 0; PlaceAt(place).kind != Place::kNone; ++place) {
        const Place at = PlaceAt(place);
        if (at.kind != Place::kColumn || (at.count > 0 && !at.FaceUpTop())) continue;
        const int y = at.CardY(at.count);
        AddDropTarget(at.x, y, CardHitRect(at.x, y), kPlainTargetKind);
    }
    return gameOver;
}

bool TableauGame::GestureFor(const PlayMove& move, MoveGesture& gesture) {
    int x = 0, y = 0, toX = 0, toY = 0;
    if (move.kind == PlayMove::kStock || move.kind == PlayMove::kFlip) {
        if (!CardOrigin(move.kind == PlayMove::kStock ? 0 : move.from, kTopCard, x, y)) return false;
        x += play_position::kInsideX;
        y += play_position::kInsideY;
        gesture = {MoveGesture::kClick, x, y, x, y};
        return true;
    }
    if (move.kind != PlayMove::kMove || !CardOrigin(move.from, move.index, x, y) ||
        !CardOrigin(move.to, kNextCard, toX, toY))
        return false;
    gesture = {MoveGesture::kDrag, x + kGestureOffsetX, y + kGestureOffsetY, toX + kGestureOffsetX,
               toY + kGestureOffsetY};
    return true;
}

bool TableauGame::PlacesOf(const PlayMove& move, MovePlaces& places) {
    if (move.kind == PlayMove::kStock) {
        const Place stock = PlaceAt(0);
        places.source = artwork->CardRect(artwork->StockTopPosition(stock.x, stock.y, deck));
        // A table without a waste deals its stock onto its piles.
        places.dealsRow = true;
        for (int place = 0; PlaceAt(place).kind != Place::kNone; ++place)
            if (PlaceAt(place).kind == Place::kWaste) places.dealsRow = false;
        return true;
    }
    const Place from = PlaceAt(move.from);
    if (from.kind == Place::kNone || from.count < 1) return false;
    const int top = from.count - 1;
    if (move.kind == PlayMove::kFlip) {
        places.source = artwork->CardRect(from.x, from.CardY(top));
        return true;
    }
    if (move.kind != PlayMove::kMove) return false;
    const Place to = PlaceAt(move.to);
    if (to.kind == Place::kNone) return false;
    const int lowest = from.kind == Place::kColumn && from.step != 0 ? std::clamp<int>(move.index, 0, top) : top;
    places.card = from.cards[lowest];
    places.source = artwork->CardRect(from.x, from.CardY(lowest));
    places.source.bottom = from.CardY(top) + artwork->cardHeight;
    if (to.kind == Place::kFoundation) {
        places.kind = MovePlaces::kFoundation;
        const Card onto = *to.cards;
        const bool depth = to.depthFrom != Place::kTopAlone && onto.IsValid();
        places.target = artwork->CardRect(depth ? artwork->FoundationTopPosition(to.x, to.y, onto, to.depthFrom, kDepthFromRanks)
                                                : CardPoint{to.x, to.y});
        return true;
    }
    if (to.count < 1) {
        places.kind = MovePlaces::kEmptyPlace;
        places.target = artwork->CardRect(to.x, to.y);
        return true;
    }
    places.kind = MovePlaces::kOntoCard;
    places.onto = to.cards[to.count - 1];
    places.target = artwork->CardRect(to.x, to.CardY(to.count - 1));
    return true;
}

bool TableauGame::CardOrigin(int place, int index, int& x, int& y) const {
    const Place at = PlaceAt(place);
    if (at.kind == Place::kNone) return false;
    x = at.x;
    y = at.CardY(index == kNextCard ? at.count : index == kTopCard ? at.count - 1 : index);
    return true;
}

int TableauGame::DropPlaceAt(int x, int y) const {
    for (int place = 0;; ++place) {
        const Place at = PlaceAt(place);
        if (at.kind == Place::kNone) return -1;
        if ((at.kind == Place::kFoundation || at.kind == Place::kColumn) && at.x == x && at.CardY(at.count) == y)
            return place;
    }
}

bool TableauGame::FindStack(const DragRecord& drag, int& place, int& index) const {
    for (place = 0;; ++place) {
        const Place at = PlaceAt(place);
        if (at.kind == Place::kNone) return false;
        if (at.kind == Place::kStock || at.kind == Place::kFoundation || at.count == 0 || at.x != drag.x) continue;
        const bool fanned = at.kind == Place::kColumn && at.step != 0;
        for (index = fanned ? at.faceDown : at.count - 1; index < at.count; ++index)
            if (at.CardY(index) == drag.y && at.cards[index] == drag.cards[0]) return true;
    }
}

void TableauGame::DrawPlace(int place, bool present) {
    const Place at = PlaceAt(place);
    if (at.own) return DrawOwnPlace(place, present);
    if (at.kind == Place::kNone || at.kind == Place::kReserve) return;
    const int screen = artwork->screenBuffer;
    if (at.kind == Place::kColumn && at.step != 0) {
        const AreaRefresh refresh(artwork, {at.x, at.y, at.x + artwork->cardWidth, play_position::kScreenBottom},
                                  present);
        if (at.count == 0) artwork->DrawPlaceholder(at.x, at.y, card_geometry::kPlaceholderEmptyPile, screen);
        for (int k = 0; k < at.count; ++k) {
            if (k < at.faceDown) artwork->DrawCardBack(at.x, at.CardY(k), artwork->cardBack, screen);
            else artwork->DrawCard(at.x, at.CardY(k), at.cards[k], screen);
        }
        return;
    }
    if (at.kind == Place::kWaste) {
        const int x = at.wasteX, y = at.wasteY, right = x + at.fanRoom + artwork->cardWidth;
        const AreaRefresh refresh(artwork, {x - at.roomX, y - at.roomY, right, y + artwork->cardHeight}, present);
        if (at.count == 0) artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, screen);
        else if (at.cardsDealt == 1) artwork->DrawPile(x, y, at.cards, at.count, screen, kNoFan);
        else artwork->DrawPile(x, y, at.cards, at.count, screen, std::max(at.dealt, 1), at.fanStep, 0);
        return;
    }
    // A place drawn with its depth takes in the room left of and above its card.
    const bool depth = at.kind == Place::kStock || (at.kind == Place::kFoundation && at.depthFrom != Place::kTopAlone);
    const int x = at.x, y = at.y, left = depth ? x - at.roomX : x, top = depth ? y - at.roomY : y;
    const AreaRefresh refresh(artwork, {left, top, x + artwork->cardWidth, y + artwork->cardHeight}, present);
    const Card card = at.kind == Place::kFoundation ? *at.cards : at.count > 0 ? at.cards[at.count - 1] : Card();
    if (at.kind == Place::kStock) artwork->DrawStock(x, y, artwork->cardBack, deck, screen, at.canTurn);
    else if (!card.IsValid()) artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, screen);
    else if (depth) artwork->DrawFoundation(x, y, card, screen, at.depthFrom, kDepthFromRanks);
    else artwork->DrawCard(x, y, card, screen);
}

Card TableauGame::DealTo(int place, bool faceDown, const char* sound) {
    int x = 0, y = 0, stockX = 0, stockY = 0;
    CardOrigin(place, kNextCard, x, y);
    CardOrigin(0, kTopCard, stockX, stockY);
    const Card card = deck.DealNext();
    if (!card.IsValid()) return card;
    DrawPlace(0, true);
    AnimateCard(stockX, stockY, x, y, card, {.fast = true, .back = faceDown ? artwork->cardBack : -1});
    PlaySound(sound);
    return card;
}
