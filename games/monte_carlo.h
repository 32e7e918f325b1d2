// Monte Carlo on the table: the model (games/models/monte_carlo.h) dealt and drawn; cards are
// selected by clicking, two to a pair; nothing is dragged.
#pragma once

#include "games/models/monte_carlo.h"
#include "games/play_position.h"

class MonteCarloGame : public ModelTable<MonteCarloModel, 13> {
public:
    static constexpr int kGridX = 180, kGridY = 80, kPitchX = 60, kPitchY = 90;
    static constexpr int kStockX = 100, kStockY = 80;

    using ModelTable::ModelTable;

    void OnLButtonDown(WPARAM keys, int x, int y) override;
    double GetScoreFactor() override { return rules.ScoreFactor(); }

    static int CellX(int cell) { return kGridX + kPitchX * (cell % Model::kColumns); }
    static int CellY(int cell) { return kGridY + kPitchY * (cell / Model::kColumns); }

private:
    struct TableHooks;
    // The cards of the rows in play are picked up by a click, two to a pair.
    PlaceView View(int cell) const override {
        return {.x = CellX(cell), .y = CellY(cell), .cards = &position.grid[cell],
                .count = cell < position.rows * Model::kColumns && position.grid[cell].IsValid(), .pickup = true};
    }
    Play HowPlayed() const override { return kPairs; }
    // A card dealt slides from the stock, which is not one of the model's places.
    void ShowDealt(const Position& now, int cell, int index) override;
    void DrawAreas(bool present) override {
        DrawStockArea(present);
        ModelTable::DrawAreas(present);
    }
    void DrawPlace(int cell, bool present) override { DrawView(cell, present, false, 0, 0, first.card); }
    void DrawStockArea(bool present) { play_position::DrawStockArea(*this, kStockX, kStockY, present); }
    // The grid; false when a card lies outside the rows in play.
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
