#include "games/grid_hand_game.h"

#include "games/cribbage_solitaire.h"
#include "games/poker_solitaire.h"

#include <numeric>
#include <string>

#include "draw/draw.h"
#include "ui/toolkit.h"

namespace {

// Hand scores stand left of each row and above each column.
constexpr int kRowScoreOffsetX = 20, kColumnScoreOffsetY = 10;
constexpr double kRowScoreHeightShare = 0.55, kColumnScoreWidthShare = 0.45;

}  // namespace

template <typename Parts>
play_position::PlaceView GridHandGame<Parts>::View(int place) const {
    if (place == Model::kStockPlace) return {.x = L.stockX, .y = L.stockY};
    if (place == Model::kCurrentPlace)
        return {.x = kCurrentX, .y = kCurrentY, .cards = &position.current,
                .count = position.current.IsValid() && lifted != place, .pickup = true};
    if (place >= Model::kCellPlace) {
        const int i = place - Model::kCellPlace;
        return {.x = CellX(i), .y = CellY(i), .cards = &position.grid[i], .count = position.grid[i].IsValid(),
                .targetKind = position.grid[i].IsValid() ? 0 : kPlainTargetKind};
    }
    const int k = place - Model::kReservePlace;
    const bool inPlay = k < position.reservePiles;
    return {.x = ReserveX(k), .y = kReserveY, .dy = kReserveStep, .cards = position.reserves[k].data(),
            .count = position.reserveCounts[k] - (lifted == place), .pickup = inPlay,
            .targetKind = inPlay ? kReserveKind : 0};
}

template <typename Parts>
void GridHandGame<Parts>::DrawHandScores() {
    // Text blended twice over itself comes out darker: draw the labels once per table drawing.
    if (!gameOver || (Parts::kStarter && !position.starter.IsValid()) || handScoresShown) return;
    handScoresShown = true;
    SelectScreenBuffer();
    SetColor(artwork->TableTextColour());
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

template <typename Parts>
void GridHandGame<Parts>::DrawAreas(bool present) {
    handScoresShown = false;
    play_position::DrawStockArea(*this, L.stockX, L.stockY, present);
    DrawPlace(Model::kCurrentPlace, present);
    for (int k = 0; k < position.reservePiles; ++k) DrawPlace(Model::kReservePlace + k, present);
    if (Parts::kStarter && gameOver)
        play_position::DrawCardArea(*this, L.starterX, L.starterY, position.starter, play_position::kBlankWhenEmpty, /*present=*/false);
    for (int i = 0; i < kCells; ++i) play_position::DrawCardArea(*this, CellX(i), CellY(i), position.grid[i], play_position::kMarkWhenEmpty, present);
    DrawHandScores();
}

template <typename Parts>
void GridHandGame<Parts>::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    // A press inside an empty cell places the current card there, when the cell may take it.
    for (int i = 0; i < kCells; ++i) {
        if (position.grid[i].IsValid() || !this->OnCard(x, y, CellX(i), CellY(i))) continue;
        const DropTarget* found = FindDropTargetAt(x, y);
        const Hotspot* current = this->FindPickupAt(kCurrentX, kCurrentY);
        if (!found || !current) return;
        DropTarget target = *found;
        DragRecord record = *current;
        if (CanDrop(record, target)) {
            // Cribbage's table saves the position here too, as well as on lifting the card.
            if (Parts::kStarter) SaveUndo();
            LiftCards(record);
            AnimateCard(kCurrentX, kCurrentY, target.x, target.y, record.cards[0]);
            DropCards(record, target);
        }
        return;
    }
    Game::OnLButtonDown(keys, x, y);
}

template <typename Parts>
void GridHandGame<Parts>::Landed(const PlayMove& move, int) {
    const bool turns = move.from == Model::kCurrentPlace || !position.current.IsValid();
    if (move.to >= Model::kCellPlace) {
        PlaySound("tableau.wav");
        // Rows of the grid overlap by a pixel, and a full redraw draws them top to bottom, so the
        // cells below the changed one are drawn again in that order.
        const int cell = move.to - Model::kCellPlace, x = CellX(cell), top = CellY(cell);
        const int bottom = CellY(kCells - kSide + cell % kSide) + artwork->cardHeight;
        artwork->RestoreBackground(x, x + artwork->cardWidth, top, bottom);
        // The cell above reaches into this one's top edge, where a full redraw lays it under
        // this card's corners: its part there goes back first (the corners show at 2x and 3x).
        if (cell >= kSide) {
            const int above = cell - kSide;
            SelectBuffer(artwork->screenBuffer);
            SetClip(x, x + artwork->cardWidth, top, CellY(above) + artwork->cardHeight);
            play_position::DrawCardArea(*this, CellX(above), CellY(above), position.grid[above], play_position::kMarkWhenEmpty, /*present=*/false);
            SetClip(0, MaxX(), 0, MaxY());
        }
        for (int i = cell; i < kCells; i += kSide)
            play_position::DrawCardArea(*this, CellX(i), CellY(i), position.grid[i], play_position::kMarkWhenEmpty, /*present=*/false);
        artwork->AddDirty({x, top, x + artwork->cardWidth, bottom});
    } else {
        points -= Model::kReserveCost;
        PlaySound("reserve.wav");
        DrawPlace(move.to, true);
    }
    artwork->PresentDirty();
    // A grid filled from a reserve is scored too: the game is over, and ending it unscored would
    // throw the player's hands away.
    const bool full = GridFull();
    if (!turns && !full) return;
    if (!full || Parts::kStarter) {
        deck.DealNext();
        play_position::DrawStockArea(*this, L.stockX, L.stockY, true);
        if (full) play_position::DrawCardArea(*this, L.starterX, L.starterY, position.starter, play_position::kBlankWhenEmpty, /*present=*/true);
        else play_position::DrawCardArea(*this, kCurrentX, kCurrentY, position.current, play_position::kMarkWhenEmpty, /*present=*/true);
        artwork->PresentDirty();
        if (Parts::kStarter) PlaySound("flip.wav");
    }
    if (!CheckGameOver() || (Parts::kStarter && !position.starter.IsValid())) return;
    hands.lines = Model::ScoreLines(position);
    hands.total = std::accumulate(hands.lines.begin(), hands.lines.end(), 0);
    finalScore = kScoreNotComputed;
    points += hands.total;
    FinishGame();
    // Playing again from the high-score table has dealt anew: nothing is left to label then.
    DrawHandScores();
    artwork->Present();
}

template <typename Parts>
bool GridHandGame<Parts>::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Card1(read.current);
    fields.Cards(read.grid);
    // Cribbage's starter; Poker's hand scores and their total.
    readHands = HandScores();
    if constexpr (Parts::kStarter) {
        fields.Card1(read.starter);
    } else {
        HandScores& scores = fields.Reading() ? readHands : hands;
        fields.Counts(scores.lines, 0, Parts::kMaxHandScore);
        fields.Int(scores.total, 0, 2 * kSide * Parts::kMaxHandScore);
    }
    fields.Piles(read.reserves);
    fields.Counts(read.reserveCounts, 0, Position::kReserveSlots);
    for (int k = 0; k < Position::kReservePiles; ++k) ClearPastCount(read.reserves[k], read.reserveCounts[k]);
    return true;
}

template class GridHandGame<CribbageParts>;
template class GridHandGame<PokerParts>;
