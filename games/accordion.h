// Accordion: the whole deck dealt face up in a row that wraps over five lines of eleven cells. A
// card may cover the nearest card to its left or the third card to its left when they share a
// suit or a rank; the game is won when one pile is left. It keeps the base class's mouse handling.
#pragma once

#include <array>
#include <cstdint>

#include "games/play_position.h"

// The rules as a model of play. Places: the cells 0 .. 51 in dealing order (eleven to a line). A
// move is a kMove of the card in one cell onto the first or third card left of it, made by
// dragging it there. Cells do not close up: an emptied cell stays empty.
struct AccordionParts {
    static constexpr int kCells = 52, kPlaces = kCells;
    static constexpr int kPointsPerMove = 5;

    struct Position {
        int32_t points = 0;
        std::array<Card, kCells> cells{};
    };

    static bool Matches(Card a, Card b) { return a.Suit() == b.Suit() || a.Rank() == b.Rank(); }
    // The cells a card in `from` may cover: the nearest card left of it and the third.
    static int Neighbours(const Position& position, int from, std::array<int, 2>& cells);
};
// Won with one pile left. The code holds the cells alone, so positions reached by different paths
// meet in a search; covered cards leave the position.
using AccordionModel = PlayModel<AccordionParts>;

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
