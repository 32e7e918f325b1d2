// Pyramid: pairs of cards whose pip values add up to 13, and Kings alone, are taken out of a
// triangle of overlapping face-up cards, an optional extra row below it, and the stock turned one
// card at a time. A triangle card can be taken only when no card of the next row covers it. The
// player selects cards by clicking; nothing is dragged.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "games/pairing_game.h"

// The rule values. "SevenRows" and "Recycles" are read at the deal; "ExtraCards" whenever it
// matters.
struct PyramidRules {
    static constexpr int32_t kUnlimitedRecycles = 99999;
    bool sevenRows = true;   // "SevenRows": a triangle of 7 rows, else 6
    bool extraCards = false; // "ExtraCards": an extra row dealt under the triangle
    int32_t recycles = 0;    // "Recycles": 0..4, or kUnlimitedRecycles

    static PyramidRules Read();
    static bool ExtraCardsOn();
};

class PyramidGame : public Game {
public:
    static constexpr int kGameNumber = 15;
    static constexpr int kMaxRows = 7;
    static constexpr int kTalonSlots = Card::kCardsPerPack;
    static constexpr int kStockX = 100, kStockY = 70;
    static constexpr int kWasteX = 180, kWasteY = 70;
    static constexpr int kTalonX = 180, kTalonY = 170, kTalonStep = 15;
    static constexpr int kApexX = 450, kRowShiftX = 30, kCardPitchX = 60, kRowPitchY = 50;
    // The extra row lies this far below the last triangle row.
    static constexpr int kExtraRowGap = 92;
    static constexpr int kPairSum = 13;
    // Size of an undo record: triangle, extra row, talon, waste, talon count, points, seconds.
    static constexpr size_t kRecordSize =
        kUndoGamePartOffset + 8 * (kMaxRows * kMaxRows + kMaxRows + kTalonSlots + 1) + 4 + 8;

    using Selection = CardSelection;

    explicit PyramidGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Pyramid"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void OnMouseMove(WPARAM keys, int x, int y) override;
    void Undo() override;
    double GetScoreFactor() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record) override;

    int SlotX(int row, int k) const { return kApexX - kRowShiftX * row + kCardPitchX * k; }
    int SlotY(int row) const { return topY + kRowPitchY * row; }
    int ExtraY() const { return SlotY(rows - 1) + kExtraRowGap; }
    // A triangle card no card of the next row covers.
    bool IsFree(int row, int k) const;
    bool TurnsLeft() const { return turnsLeft >= 1; }
    // Where talon card i lies.
    int TalonCardY(int index) const;

    // The position.
    int rows = kMaxRows;
    int topY = 70;
    int32_t recyclesAtDeal = 0;
    int32_t turnsLeft = 0;
    std::array<std::array<Card, kMaxRows>, kMaxRows> triangle{};
    std::array<Card, kMaxRows> extraRow{};
    Card waste;
    std::array<Card, kTalonSlots> talon{};
    int32_t talonCount = 0;
    Selection first, second;

private:
    void PressStock();
    void PressCard(int x, int y);
    bool DecideGameOver() const;
    void RegisterPickups();
    bool IsSelected(Card card) const { return card.IsValid() && (card == first.card || card == second.card); }
    // Clears a selection that no longer names a card the player can take.
    void DropStaleSelection();
    void DrawStockArea(bool present);
    void DrawTriangleArea(bool present);
    void DrawWasteArea(bool present);
    void DrawTalonArea(bool present);
    void RedrawTable();
};
