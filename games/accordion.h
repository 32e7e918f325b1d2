// Accordion on the table: the model (games/models/accordion.h) dealt and drawn; a card is dragged
// onto the card it covers. It keeps the base class's mouse handling.
#pragma once

#include <array>

#include "games/models/accordion.h"
#include "games/play_position.h"

class AccordionGame : public ModelTable<AccordionModel, 1> {
public:
    static constexpr int kRecordCells = 55;  // the undo record keeps 55 cells; the deal fills kCells
    static constexpr int kColumns = 11;
    static constexpr int kOriginX = 100, kOriginY = 80;
    static constexpr int kPitchX = 55, kPitchY = 90;

    using ModelTable::ModelTable;

    void NewGame(bool restart) override;
    // The cards' pick-ups; while a card is lifted, its own cell and the cells it may cover are
    // the drop targets.
    bool CheckGameOver() override;

    static int CellX(int cell) { return kOriginX + kPitchX * (cell % kColumns); }
    static int CellY(int cell) { return kOriginY + kPitchY * (cell / kColumns); }

private:
    PlaceView View(int cell) const override {
        return {.x = CellX(cell), .y = CellY(cell), .cards = &position.cells[cell],
                .count = position.cells[cell].IsValid() && cell != lifted, .pickup = true};
    }
    void Landed(const PlayMove& move, int scored) override;
    void DrawPlace(int cell, bool present) override { DrawView(cell, present, false); }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
