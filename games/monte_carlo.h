// Monte Carlo: pairs of equal rank that touch (across, down or diagonally) are taken out of a
// grid five cards wide; the grid then closes up in reading order and is refilled from the stock.
// Cards are selected by clicking; nothing is dragged.
#pragma once

#include <array>
#include <cstdint>

#include "games/play_position.h"

// The rules as a model of play. Places: the grid's cells, row * 5 + column, row 0 at the top.
// A pair is a kMove from the earlier cell to the later one, made by clicking both cards.
struct MonteCarloParts {
    static constexpr int kColumns = 5;
    static constexpr int kMaxRows = 5;
    static constexpr int kCells = kColumns * kMaxRows, kPlaces = kCells;
    static constexpr int kPointsPerPair = 5;

    struct Position {
        int32_t points = 0;
        int32_t rows = kMaxRows;
        int32_t shiftAfterAllMoves = 1;  // close up only when no pair is left
        int32_t stockCount = 0;
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is dealt next
        std::array<Card, kCells> grid{};
    };

    // Two cards of equal rank in touching cells (across, down or diagonally).
    static bool Pairs(const Position& position, int a, int b);
    static bool PairAvailable(const Position& position);
    // Moves the cards up and left in reading order and fills the gaps at the end from the stock.
    static void CloseUp(Position& position);

    // Apply, showing its steps through the hooks (play_position::NoHooks).
    template <typename Hooks>
    static int Play(Position& position, const PlayMove& move, Hooks& hooks) {
        if (move.kind != PlayMove::kMove) return 0;
        position.grid[move.from] = Card();
        hooks.TookOut(move.from);
        position.grid[move.to] = Card();
        hooks.TookOut(move.to);
        hooks.Removed();
        position.points += kPointsPerPair;
        if (!position.shiftAfterAllMoves || !PairAvailable(position)) {
            const int stockBefore = position.stockCount;
            CloseUp(position);
            hooks.ClosedUp(stockBefore - position.stockCount);
        }
        return kPointsPerPair;
    }
};
// The code holds the grid and the stock, not the points, so positions reached by different paths
// meet in a search. Pairs leave the position.
using MonteCarloModel = PlayModel<MonteCarloParts>;

class MonteCarloGame : public ModelTable<MonteCarloModel, 13> {
public:
    static constexpr int kGridX = 180, kGridY = 80, kPitchX = 60, kPitchY = 90;
    static constexpr int kStockX = 100, kStockY = 80;

    using ModelTable::ModelTable;

    // A card to each cell of the rows in play.
    void Deal() override;
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    double GetScoreFactor() override {
        const double factor = Rule("Rows") == 5 ? 1.0 : Rule("Rows") == 4 ? 1.2 : 1.5;
        return RuleOn("ShiftAfterAllMoves") ? factor * 1.35 : factor;
    }

    static int CellX(int cell) { return kGridX + kPitchX * (cell % kColumns); }
    static int CellY(int cell) { return kGridY + kPitchY * (cell / kColumns); }
    // The current position, with the rule values "Rows" and "ShiftAfterAllMoves" from the
    // settings, read whenever a rule needs them.
    MonteCarloModel::Position ModelPosition() const override;

private:
    struct TableHooks;
    // The cards of the rows in play are picked up by a click, two to a pair.
    PlaceView View(int cell) const override {
        return {.x = CellX(cell), .y = CellY(cell), .cards = &position.grid[cell],
                .count = cell < position.rows * kColumns && position.grid[cell].IsValid(), .pickup = true};
    }
    Play HowPlayed() const override { return kPairs; }
    void DrawAreas(bool present) override {
        DrawStockArea(present);
        ModelTable::DrawAreas(present);
    }
    void DrawPlace(int cell, bool present) override { DrawView(cell, present, false, 0, 0, first.card); }
    void DrawStockArea(bool present) { play_position::DrawStockArea(*this, kStockX, kStockY, present); }
    // The grid; false when a card lies outside the rows in play.
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
