#include "games/models/monte_carlo.h"

#include <algorithm>
#include <cstdlib>

MonteCarloParts::Position MonteCarloParts::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    Position position;
    position.rows = rules.rows;
    position.shiftAfterAllMoves = rules.shiftAfterAllMoves;
    position.stockCount = play_position::CopyStock(deck, position.stock);
    if (show) show->Shown(position);
    for (int cell = 0; cell < position.rows * kColumns; ++cell) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) continue;
        position.grid[cell] = card;
        position.stockCount = play_position::CopyStock(deck, position.stock);
        if (show) show->Dealt(position, cell, 0);
    }
    return position;
}

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
