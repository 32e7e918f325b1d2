#include "games/monte_carlo.h"

#include "games/game_rules.h"

#include <algorithm>
#include <cstdlib>

#include "framework/game_services.h"
#include "shell/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsPerPair = 5;
constexpr int32_t kMinRows = 3;

// Refresh area of the stock (inclusive): room for its layers up and to the left.
// A full pack stands ten layers high: its top card sits 20 pixels left of and 10 above the base.
constexpr int kStockMarginX = 22, kStockMarginY = 11;

}  // namespace

MonteCarloRules MonteCarloRules::Read() {
    MonteCarloRules rules;
    const RuleValues values(MonteCarloGame::kGameNumber);
    rules.rows = values["Rows"];
    rules.shiftAfterAllMoves = values.On("ShiftAfterAllMoves");
    return rules;
}

MonteCarloGame::MonteCarloGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

// ---- Deal ----

void MonteCarloGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    fanDx = kPitchX;
    fanDy = kPitchY;
    SetStandardPanel();
    first = second = Selection();
    grid.fill(Card());
    artwork->RestoreBackground(0, 799, 0, 599);
    ClearHotspots();

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->DrawGameTitle(kGameNumber);
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    const int rows = MonteCarloRules::Read().rows;
    for (int cell = 0; cell < rows * kColumns; ++cell) {
        grid[cell] = deck.DealNext();
        if (!grid[cell].IsValid()) continue;
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, CellX(cell), CellY(cell), grid[cell], artwork->screenBuffer, true, true, -1);
        PlaySound("deal.wav");
    }
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void MonteCarloGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMarginX, top = kStockY - kStockMarginY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer, false);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void MonteCarloGame::DrawCell(int cell, bool present) {
    const int x = CellX(cell), y = CellY(cell);
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    artwork->DrawCard(x, y, grid[cell], artwork->screenBuffer, IsSelected(grid[cell]));
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

void MonteCarloGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    const int rows = MonteCarloRules::Read().rows;
    for (int cell = 0; cell < rows * kColumns; ++cell) DrawCell(cell, false);
    DrawTableFrame(present);
}

// ---- Moves ----

void MonteCarloGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    const Hotspot* spot = FindPickupAt(x, y);
    if (!spot) return;
    const Selection clicked{spot->x, spot->y, spot->cards[0]};
    Selection changed;
    if (!first.Empty() && clicked.card == first.card) {
        changed = first;
        first = Selection();
    } else if (first.Empty()) {
        first = clicked;
        changed = clicked;
    } else {
        JudgePair(clicked);
        return;
    }
    const int cell = std::find(grid.begin(), grid.end(), changed.card) - grid.begin();
    if (cell < kCells) DrawCell(cell, true);
    artwork->PresentDirty();
    CheckGameOver();
}

void MonteCarloGame::JudgePair(const Selection& clicked) {
    second = clicked;
    const int columnDistance = std::abs((first.x - kGridX) / kPitchX - (second.x - kGridX) / kPitchX);
    const int rowDistance = std::abs((first.y - kGridY) / kPitchY - (second.y - kGridY) / kPitchY);
    if (first.card.Rank() != second.card.Rank() || columnDistance > 1 || rowDistance > 1) {
        second = Selection();
        PlaySound("nomatch1.wav");
        CheckGameOver();
        return;
    }
    SaveUndo();
    LiftSelection(*this, first);
    LiftSelection(*this, second);
    PlaySound("pair.wav");
    first = second = Selection();
    points += kPointsPerPair;
    const MonteCarloRules rules = MonteCarloRules::Read();
    if (!rules.shiftAfterAllMoves || !PairAvailable(rules.rows)) {
        CloseUp(rules.rows);
        DrawStockArea(true);
        for (int cell = 0; cell < rules.rows * kColumns; ++cell) DrawCell(cell, true);
    }
    CheckGameOver();
    artwork->PresentDirty();
    CheckGameOver();
}

void MonteCarloGame::LiftCards(DragRecord& drag) {
    for (int cell = 0; cell < kCells; ++cell) {
        if (!drag.cards[0].IsValid() || grid[cell] != drag.cards[0]) continue;
        grid[cell] = Card();
        DrawCell(cell, true);
        return;
    }
}

// Nothing is ever dragged: the press handler never starts a drag.
void MonteCarloGame::DropCards(DragRecord&, DropTarget&) {}
void MonteCarloGame::ReturnCards() {}
bool MonteCarloGame::CanDrop(DragRecord&, DropTarget&) { return false; }

void MonteCarloGame::CloseUp(int rows) {
    const int inPlay = rows * kColumns;
    std::array<Card, kCells> packed{};
    int filled = 0;
    for (int cell = 0; cell < inPlay; ++cell)
        if (grid[cell].IsValid()) packed[filled++] = grid[cell];
    for (int cell = filled; cell < inPlay; ++cell) packed[cell] = deck.DealNext();
    std::copy(packed.begin(), packed.begin() + inPlay, grid.begin());
}

// ---- Game over ----

bool MonteCarloGame::PairAvailable(int rows) const {
    // Looking down, right, down-right and down-left from every card covers every adjacency.
    static constexpr int kDirections[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const Card card = grid[row * kColumns + column];
            if (!card.IsValid()) continue;
            for (const auto& direction : kDirections) {
                const int r = row + direction[0], c = column + direction[1];
                if (r >= rows || c < 0 || c >= kColumns) continue;
                const Card other = grid[r * kColumns + c];
                if (other.IsValid() && other.Rank() == card.Rank()) return true;
            }
        }
    }
    return false;
}

bool MonteCarloGame::CheckGameOver() {
    const int rows = MonteCarloRules::Read().rows;
    bool full = true;
    for (int cell = 0; cell < rows * kColumns; ++cell) full = full && grid[cell].IsValid();
    gameOver = endedByUser || (!PairAvailable(rows) && (full || deck.Remaining() == 0));
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterPickups(rows);
    return gameOver;
}

void MonteCarloGame::RegisterPickups(int rows) {
    pickups.clear();
    if (paused || gameOver) return;
    for (int cell = 0; cell < rows * kColumns; ++cell)
        if (grid[cell].IsValid()) AddPickup(CellX(cell), CellY(cell), &grid[cell], 1);
}

bool MonteCarloGame::IsWon() {
    if (!gameOver) return false;
    const int rows = MonteCarloRules::Read().rows;
    for (int cell = 0; cell < rows * kColumns; ++cell)
        if (grid[cell].IsValid()) return false;
    return true;
}

double MonteCarloGame::GetScoreFactor() {
    const MonteCarloRules rules = MonteCarloRules::Read();
    double factor = rules.rows == 5 ? 1.0 : rules.rows == 4 ? 1.2 : 1.5;
    if (rules.shiftAfterAllMoves) factor *= 1.35;
    return factor;
}

// ---- Undo ----

void MonteCarloGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.Cards(grid.data(), kCells);
    writer.Int(points);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void MonteCarloGame::Undo() {
    if (paused || gameOver) return;
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool MonteCarloGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    std::array<Card, kCells> readGrid;
    int32_t readPoints = 0, elapsed = 0;
    if (!reader.Cards(readGrid.data(), kCells) || !reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints) ||
        !reader.IntIn(elapsed, 0, kMaxRecordSeconds) || !reader.AtEnd())
        return false;
    // Every card at most once, and none outside the rows in play.
    const int inPlay = MonteCarloRules::Read().rows * kColumns;
    PackTally tally;
    if (!tally.TakeStock(*reader.deck)) return false;
    for (int cell = 0; cell < kCells; ++cell) {
        const Card card = readGrid[cell];
        if (!card.IsValid()) continue;
        if (cell >= inPlay || !tally.Take(card)) return false;
    }
    CommitBaseState(reader);
    grid = readGrid;
    first = second = Selection();
    FinishUndo(readPoints, elapsed);
    return true;
}
