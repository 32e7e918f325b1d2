#include "games/tableau_game.h"

#include "shell/artwork.h"

namespace {
// A foundation's refresh area reaches a little above and left of its card (the depth drawing).
constexpr int kFoundationMarginX = 4, kFoundationMarginY = 2;
// Where a gesture takes hold of a card or lets it go, from the card's origin.
constexpr int kGestureOffsetX = 20, kGestureOffsetY = 5;
}  // namespace

bool TableauGame::CheckGameOver() {
    gameOver = endedByUser || (!dragging && ModelOver());
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterHotspots();
    return gameOver;
}

bool TableauGame::IsWon() { return gameOver && ModelWon(); }

void TableauGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

void TableauGame::ClearHeld(int32_t noSource) {
    held.fill(Card());
    heldCount = 0;
    heldSource = noSource;
}

void TableauGame::DrawFannedPile(int x, int y, int step, const Card* cards, int count, int faceDown, int bottom,
                                 bool present) {
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, bottom);
    const int screen = artwork->screenBuffer;
    if (count == 0) artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, screen);
    for (int k = 0; k < count; ++k) {
        if (k < faceDown) artwork->DrawCardBack(x, y + step * k, artwork->cardBack, screen);
        else artwork->DrawCard(x, y + step * k, cards[k], screen);
    }
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, bottom});
}

void TableauGame::DrawFoundationTop(int x, int y, Card top, int startRank, bool present) {
    const int left = x - kFoundationMarginX, areaTop = y - kFoundationMarginY;
    const int right = x + artwork->cardWidth, bottom = y + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, areaTop, bottom);
    if (top.IsValid()) artwork->DrawFoundation(x, y, top, artwork->screenBuffer, startRank, kDepthFromRanks);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({left, areaTop, right, bottom});
}

void TableauGame::DragGesture(MoveGesture& gesture, int fromX, int fromY, int toX, int toY) {
    gesture.kind = MoveGesture::kDrag;
    gesture.fromX = fromX + kGestureOffsetX;
    gesture.fromY = fromY + kGestureOffsetY;
    gesture.toX = toX + kGestureOffsetX;
    gesture.toY = toY + kGestureOffsetY;
}

void TableauGame::ClickGesture(MoveGesture& gesture, int x, int y) {
    gesture.kind = MoveGesture::kClick;
    gesture.fromX = gesture.toX = x;
    gesture.fromY = gesture.toY = y;
}
