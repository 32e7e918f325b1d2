#include "games/grid_hand_game.h"

#include "games/cribbage_solitaire.h"
#include "games/poker_solitaire.h"

#include <string>

#include "draw/draw.h"
#include "store/high_scores.h"
#include "ui/toolkit.h"

namespace {

// Hand scores stand left of each row and above each column.
constexpr int kRowScoreOffsetX = 20;
constexpr double kRowScoreHeightShare = 0.55;
constexpr double kColumnScoreWidthShare = 0.45;
constexpr int kColumnScoreOffsetY = 10;

}  // namespace

template <GridLayout L, typename Hands>
play_position::PlaceView GridHandGame<L, Hands>::View(int place) const {
    if (place == Table::kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place == Table::kCurrentPlace)
        return {.x = kCurrentX, .y = kCurrentY, .cards = &position.current, .count = ShownCurrent().IsValid(), .pickup = true};
    if (place >= Table::kCellPlace) {
        const int i = place - Table::kCellPlace;
        return {.x = CellX(i), .y = CellY(i), .cards = &position.grid[i], .count = position.grid[i].IsValid(),
                .targetKind = position.grid[i].IsValid() ? 0 : kPlainTargetKind};
    }
    const int k = place - Table::kReservePlace;
    const bool inPlay = k < position.reservePiles;
    return {.x = ReserveX(k), .y = kReserveY, .dy = kReserveStep, .cards = position.reserves[k].data(), .count = ShownCount(k),
            .pickup = inPlay, .targetKind = inPlay ? kReserveKind : 0};
}

template <GridLayout L, typename Hands>
typename GridHandGame<L, Hands>::Position GridHandGame<L, Hands>::ModelPosition() const {
    Position now = Table::ModelPosition();
    now.reservePiles = ReservePiles();
    now.cardsPerPile = CardsPerPile();
    return now;
}

// A click on a cell places the current card there; any other move drags.
template <GridLayout L, typename Hands>
bool GridHandGame<L, Hands>::GestureFor(const PlayMove& move, MoveGesture& gesture) {
    if (!Table::GestureFor(move, gesture)) return false;
    if (move.from == Table::kCurrentPlace && move.to >= Table::kCellPlace)
        gesture = {MoveGesture::kClick, gesture.toX, gesture.toY, gesture.toX, gesture.toY};
    return true;
}

// ---- Deal ----

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::StartDeal() {
    this->fanDy = kReserveStep;
    hands = HandScores();
    position.current = deck.DealNext();
}

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::ShowDealtCurrent() {
    deck.DealNext();
    DrawStockArea(true);
    play_position::DrawCardArea(*this, kCurrentX, kCurrentY, position.current, true, true);
    artwork->PresentDirty();
}

// ---- Drawing ----

// Rows of the grid overlap by a pixel, and a full redraw draws them top to bottom, so the cells
// below a changed one are drawn again in that order.
template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::DrawGridCell(int cell) {
    const int x = CellX(cell), top = CellY(cell);
    const int bottom = CellY(kCells - kSide + cell % kSide) + artwork->cardHeight;
    artwork->RestoreBackground(x, x + artwork->cardWidth, top, bottom);
    for (int i = cell; i < kCells; i += kSide) play_position::DrawCardArea(*this, CellX(i), CellY(i), position.grid[i], true, false);
    artwork->AddDirty({x, top, x + artwork->cardWidth, bottom});
}

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::DrawPlace(int place, bool present) {
    if (place == Table::kCurrentPlace) this->DrawView(place, present, !gameOver);
    else this->DrawView(place, present, true, ReserveCardY(kReserveSlots - 1) + artwork->cardHeight);
}

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::DrawHandScores() {
    // Text blended twice over itself comes out darker: draw the labels once per table drawing.
    if (!gameOver || !HandsScored() || handScoresShown) return;
    handScoresShown = true;
    SelectScreenBuffer();
    SetColor(artwork->TextColour());
    for (int r = 0; r < kSide; ++r) {
        const int cell = r * kSide;
        MoveTo(CellX(cell) - kRowScoreOffsetX, CellY(cell) + static_cast<int>(artwork->cardHeight * kRowScoreHeightShare));
        DrawRegularText(std::to_string(hands.lines[r]), 0, -1);
    }
    for (int c = 0; c < kSide; ++c) {
        MoveTo(CellX(c) + static_cast<int>(artwork->cardWidth * kColumnScoreWidthShare), CellY(c) - kColumnScoreOffsetY);
        DrawRegularText(std::to_string(hands.lines[kSide + c]), 0, -1);
    }
}

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::DrawAreas(bool present) {
    const int reservePiles = ReservePiles();
    handScoresShown = false;
    DrawStockArea(present);
    DrawPlace(Table::kCurrentPlace, present);
    for (int k = 0; k < reservePiles; ++k) DrawPlace(Table::kReservePlace + k, present);
    DrawExtraCards();
    for (int i = 0; i < kCells; ++i) play_position::DrawCardArea(*this, CellX(i), CellY(i), position.grid[i], true, present);
    DrawHandScores();
}

// ---- Moves ----

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    // A press inside an empty cell places the current card there, when the cell may take it.
    for (int i = 0; i < kCells; ++i) {
        if (position.grid[i].IsValid()) continue;
        if (!this->OnCard(x, y, CellX(i), CellY(i))) continue;
        const DropTarget* found = FindDropTargetAt(x, y);
        const Hotspot* current = this->FindPickupAt(kCurrentX, kCurrentY);
        if (!found || !current) return;
        DropTarget target = *found;
        DragRecord record = *current;
        if (CanDrop(record, target)) {
            if (ClickSavesTwice()) SaveUndo();
            LiftCards(record);
            AnimateCard(kCurrentX, kCurrentY, target.x, target.y, record.cards[0], artwork->screenBuffer, true, false, -1);
            DropCards(record, target);
        }
        return;
    }
    Game::OnLButtonDown(keys, x, y);
}

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::Landed(const PlayMove& move, int) {
    const bool turns = move.from == Table::kCurrentPlace || !position.current.IsValid();
    if (move.to >= Table::kCellPlace) {
        PlaySound("tableau.wav");
        DrawGridCell(move.to - Table::kCellPlace);
    } else {
        points -= Table::kReserveCost;
        PlaySound("reserve.wav");
        DrawPlace(move.to, true);
    }
    artwork->PresentDirty();
    // A grid filled from a reserve is scored too: the game is over, and ending it unscored would
    // throw the player's hands away.
    if (turns || GridFull()) TurnNextCard();
}

template <GridLayout L, typename Hands>
void GridHandGame<L, Hands>::ScoreHands(const std::function<int(const Line&)>& score) {
    hands.lines = ScoreLines<kSide>(position.grid, score);
    hands.total = 0;
    for (int32_t hand : hands.lines) hands.total += hand;
    finalScore = kScoreNotComputed;
    points += hands.total;
    FinishGame();
    // Playing again from the high-score table has dealt anew: nothing is left to label then.
    DrawHandScores();
    artwork->Present();
}

// ---- Game over ----

template <GridLayout L, typename Hands>
bool GridHandGame<L, Hands>::CheckGameOver() {
    // A full grid ends the game whatever the Auto Game Over preference says.
    gameOver = endedByUser || GridFull();
    position.reservePiles = ReservePiles();
    this->RegisterPlaces();
    return gameOver;
}

template <GridLayout L, typename Hands>
bool GridHandGame<L, Hands>::IsWon() {
    return gameOver && finalScore >= TenthScore(GetName());
}

// ---- Undo ----

template <GridLayout L, typename Hands>
bool GridHandGame<L, Hands>::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Card1(read.current);
    fields.Cards(read.grid);
    readHands = HandScores();
    HandPart(fields, read, fields.Reading() ? readHands : hands);
    fields.Piles(read.reserves);
    fields.Counts(read.reserveCounts, 0, kReserveSlots);
    for (int k = 0; k < kReservePiles; ++k) ClearPastCount(read.reserves[k], read.reserveCounts[k]);
    return true;
}

template class GridHandGame<kCribbageGrid, CribbageHands>;
template class GridHandGame<kPokerGrid, PokerHands>;
