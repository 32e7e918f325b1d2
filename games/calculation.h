// Calculation on the table: the model (games/models/calculation.h) dealt and drawn; cards are
// dragged, and a double click sends one to a foundation.
#pragma once

#include "games/models/calculation.h"
#include "games/play_position.h"

class CalculationGame : public ModelTable<CalculationModel, 5, kSettlesOnDraw> {
public:
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kCurrentX = 180, kCurrentY = 80;
    static constexpr int kFoundationY = 80;
    static constexpr int kWasteY = 170;
    static constexpr int kPileX = 270, kPilePitch = 70;
    static constexpr int kWasteFanStep = 15;

    using ModelTable::ModelTable;

    // How the waste piles fan.
    void StartDeal() override;
    void OnLButtonDown(WPARAM keys, int x, int y) override;

    static int PileX(int k) { return kPileX + kPilePitch * k; }

private:
    void DrawPlace(int place, bool present) override;
    // The current card and the waste piles' tops are dragged, onto the foundations (a double
    // click sends a card to one) and the waste piles.
    PlaceView View(int place) const override;
    // The end waits for a drag to finish.
    bool OverNow() const override;
    Rect DrawnTop(int place) const override;
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
    bool Possible(const Position& read, const Deck& stock) const override;
};
