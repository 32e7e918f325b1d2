// Monte Carlo: pairs of equal rank that touch (across, down or diagonally) are taken out of a
// grid five cards wide; the grid then closes up in reading order and is refilled from the stock.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// "ShiftAfterAllMoves": the grid closes up only when no pair is left; "Rows": the rows in play.
struct MonteCarloRules {
    int32_t shiftAfterAllMoves = 1, rows = 5;
    static constexpr RuleField<MonteCarloRules> kFields[] = {
        OnOff(&MonteCarloRules::shiftAfterAllMoves, "ShiftAfterAllMoves"),
        Number(&MonteCarloRules::rows, "Rows", {3, 5})};
    // Fewer rows pay more, and closing up after every pair more again.
    double ScoreFactor() const {
        const double factor = rows == 5 ? 1.0 : rows == 4 ? 1.2 : 1.5;
        return shiftAfterAllMoves ? factor * 1.35 : factor;
    }
};

// Places: the grid's cells, row * 5 + column, row 0 at the top. A pair is a kMove from the earlier
// cell to the later one.
struct MonteCarloParts {
    using Rules = MonteCarloRules;
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

    // One pack; a card to each cell of the rows in play, the rest the stock.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);

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
