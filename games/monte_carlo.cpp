#include "games/monte_carlo.h"

#include <algorithm>
#include <cstdlib>

// ---- The model ----

bool MonteCarloParts::Pairs(const Position& position, int a, int b) {
    const Card first = position.grid[a], second = position.grid[b];
    return a != b && first.IsValid() && second.IsValid() && first.Rank() == second.Rank() &&
           std::abs(a % kColumns - b % kColumns) <= 1 && std::abs(a / kColumns - b / kColumns) <= 1;
}

// Every neighbour of a cell lies at most a row and a column further on in reading order.
bool MonteCarloParts::PairAvailable(const Position& position) {
    const int inPlay = position.rows * kColumns;
    for (int a = 0; a < inPlay; ++a)
        for (int b = a + 1; b < inPlay && b <= a + kColumns + 1; ++b)
            if (Pairs(position, a, b)) return true;
    return false;
}

void MonteCarloParts::CloseUp(Position& position) {
    const int inPlay = position.rows * kColumns;
    std::array<Card, kCells> packed{};
    int filled = 0;
    for (int cell = 0; cell < inPlay; ++cell)
        if (position.grid[cell].IsValid()) packed[filled++] = position.grid[cell];
    for (int cell = filled; cell < inPlay; ++cell) packed[cell] = play_position::Pop(position.stock, position.stockCount);
    std::copy(packed.begin(), packed.begin() + inPlay, position.grid.begin());
}

template <>
void MonteCarloModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    const int inPlay = position.rows * kColumns;
    for (int a = 0; a < inPlay; ++a)
        for (int b = a + 1; b < inPlay && b <= a + kColumns + 1; ++b)
            if (Pairs(position, a, b))
                out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(a), .to = static_cast<int8_t>(b)});
}

template <>
bool MonteCarloModel::Won(const Position& position) {
    return std::none_of(position.grid.begin(), position.grid.begin() + position.rows * kColumns,
                        [](Card card) { return card.IsValid(); });
}

template <>
bool MonteCarloModel::Over(const Position& position) {
    const bool full = std::all_of(position.grid.begin(), position.grid.begin() + position.rows * kColumns,
                                  [](Card card) { return card.IsValid(); });
    return !PairAvailable(position) && (full || position.stockCount == 0);
}

template <>
void MonteCarloModel::Encode(const Position& position, PositionCode& out) {
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(position.rows));
    out.Byte(static_cast<uint8_t>(position.shiftAfterAllMoves));
    play_position::EncodeCards(out, position.grid, kCells);
    play_position::EncodePile(out, position.stock, position.stockCount);
}

template <>
void MonteCarloModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    for (Card card : position.grid) out.Add(card);
    out.RestUnnamed();
}

MonteCarloModel::Position MonteCarloGame::ModelPosition() const {
    MonteCarloModel::Position now = ModelTable::ModelPosition();
    now.rows = Rule("Rows");
    now.shiftAfterAllMoves = RuleOn("ShiftAfterAllMoves");
    return now;
}

// ---- Deal ----

void MonteCarloGame::Deal() {
    const int rows = Rule("Rows");
    for (int cell = 0; cell < rows * kColumns; ++cell)
        DealFaceUp(position.grid[cell], kStockX, kStockY, CellX(cell), CellY(cell));
}

// ---- Moves ----

// What the screen shows of a pair going: each card's cell cleared, the pair sound, and after a
// close-up the stock and every cell redrawn.
struct MonteCarloGame::TableHooks {
    MonteCarloGame& game;

    void TookOut(int cell) { game.DrawPlace(cell, true); }
    void Removed() {
        game.PlaySound("pair.wav");
        game.points += kPointsPerPair;
    }
    void ClosedUp(int dealt) {
        for (int i = 0; i < dealt; ++i) game.deck.DealNext();
        game.DrawStockArea(true);
        for (int cell = 0; cell < game.position.rows * kColumns; ++cell) game.DrawPlace(cell, true);
    }
};

// A pair the model makes leaves through the hooks; any other click changes at most the clicked
// card's selection.
void MonteCarloGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    const Hotspot* spot = FindPickupAt(x, y);
    if (!spot) return;
    if (const std::optional<PlayMove> pair = PickForPair(*spot)) {
        SaveUndo();
        Refresh();
        TableHooks hooks{*this};
        MonteCarloModel::Play(position, *pair, hooks);
    } else {
        DrawPlace(PlaceAt(spot->x, spot->y), true);
    }
    artwork->PresentDirty();
    CheckGameOver();
}

// ---- Undo ----

bool MonteCarloGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.grid);
    const int inPlay = Rule("Rows") * kColumns;
    return std::none_of(read.grid.begin() + inPlay, read.grid.end(), [](Card card) { return card.IsValid(); });
}
