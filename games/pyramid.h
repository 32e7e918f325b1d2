// Pyramid on the table: the model (games/models/pyramid.h) dealt and drawn; the player selects
// cards by clicking, two to a pair or a King alone; nothing is dragged.
#pragma once

#include "games/models/pyramid.h"
#include "games/play_position.h"

class PyramidGame : public ModelTable<PyramidModel, 15> {
public:
    static constexpr int kStockX = 100, kStockY = 70;
    static constexpr int kWasteX = 180, kWasteY = 70;
    static constexpr int kTalonX = 180, kTalonY = 170, kTalonStep = 15;
    static constexpr int kApexX = 450, kRowShiftX = 30, kCardPitchX = 60, kRowPitchY = 50;
    static constexpr int kLowestTopY = 150, kTopLift = 40;
    // The extra row lies this far below the last triangle row.
    static constexpr int kExtraRowGap = 92;

    using ModelTable::ModelTable;

    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    double GetScoreFactor() override;
    // Won with the triangle cleared, however the game ended.
    bool IsWon() override { return gameOver && PyramidModel::Cleared(position); }

    int SlotX(int row, int k) const { return kApexX - kRowShiftX * row + kCardPitchX * k; }
    int SlotY(int row) const { return topY + kRowPitchY * row; }
    int ExtraY() const { return SlotY(position.rows - 1) + kExtraRowGap; }
    Card& TriangleCard(int row, int k) { return position.triangle[PyramidModel::TriangleIndex(row, k)]; }
    // The current position, with the waiting card's place.
    PyramidModel::Position ModelPosition() const override;
    bool TurnsLeft() const { return position.turnsLeft >= 1; }

    int topY = 70;

private:
    // Where the triangle stands, before the table is drawn.
    void ShowLaidOut(const Position& now) override;
    // A card dealt slides from the stock, shown as it could be turned.
    void ShowDealt(const Position& now, int place, int index) override;
    void PressStock();
    // The waste's, the talon's and the free cards are picked up by a click, two to a pair or a
    // King alone.
    PlaceView View(int place) const override;
    Play HowPlayed() const override { return kPairs; }
    int Waiting() const override { return ModelPosition().selected; }
    // A selection the table no longer shows still holds off the end until it is dropped.
    bool OverNow() const override;
    void DrawAreas(bool present) override;
    // The waste, or the talon down to the bottom of the screen.
    void DrawPlace(int place, bool present) override {
        const int bottom = place == Model::kTalonPlace ? play_position::kScreenBottom : 0;
        DrawView(place, present, place == Model::kWastePlace, bottom, 0, first.card);
    }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
