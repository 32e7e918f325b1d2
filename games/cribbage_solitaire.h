// Cribbage Solitaire: sixteen cards turned one at a time from the stock fill a four-by-four grid,
// each new card next to (or diagonally next to) one already placed. When the grid is full a
// starter is turned and each row and column is scored as a cribbage hand with it. Optional
// reserve piles hold a card for later at 3 points each. The final score is the points alone.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct CribbageRules {
    int32_t reservePiles = 0;  // "ReservePiles", 0..3
    int32_t cardsPerPile = 1;  // "CardsPerPile", 1..5

    static CribbageRules Read();
};

class CribbageSolitaireGame : public Game {
public:
    static constexpr int kGameNumber = 7;
    static constexpr int kSide = 4;
    static constexpr int kCells = kSide * kSide;
    static constexpr int kReservePiles = 3;
    static constexpr int kReserveSlots = 5;
    static constexpr int kHands = 2 * kSide;
    static constexpr int kGridX = 400, kGridY = 110, kGridPitchX = 70, kGridPitchY = 100;
    static constexpr int kStockX = 130, kStockY = 110;
    static constexpr int kCurrentX = 200, kCurrentY = 110;
    static constexpr int kStarterX = 130, kStarterY = 210;
    static constexpr int kReserveX = 130, kReservePitch = 70, kReserveY = 310, kReserveStep = 15;
    static constexpr int kCurrentSource = -1;
    static constexpr int kFirstReserveSource = -3;  // -3, -4, -5 for reserve piles 0, 1, 2
    static constexpr int kNoSource = -2;
    static constexpr int kReserveKind = 4;
    // Size of an undo record: base part, current card, grid, starter, reserve cells and counts,
    // points, elapsed seconds.
    static constexpr size_t kRecordSize =
        kUndoGamePartOffset + 8 * (1 + kCells + 1 + kReservePiles * kReserveSlots) + 4 * kReservePiles + 8;

    explicit CribbageSolitaireGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Cribbage Solitaire"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    // Time costs nothing and a win adds nothing: the final score is the points.
    int GetTimeAdjustment(int) override { return 0; }
    double GetWinFactor() override { return 1.0; }
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record);

    // The cribbage score of four hand cards with the starter.
    static int ScoreHand(const std::array<Card, 4>& hand, Card starter);
    static int CellX(int i) { return kGridX + kGridPitchX * (i % kSide); }
    static int CellY(int i) { return kGridY + kGridPitchY * (i / kSide); }
    static int ReserveX(int k) { return kReserveX + kReservePitch * k; }
    static int ReserveCardY(int index) { return kReserveY + kReserveStep * index; }
    // May a card go into cell i: anywhere on an empty grid, else an empty cell touching a card.
    bool CellAccepts(int i) const;
    bool GridFull() const;

    Card current;
    std::array<Card, kCells> grid{};
    Card starter;
    std::array<std::array<Card, kReserveSlots>, kReservePiles> reserves{};
    std::array<int32_t, kReservePiles> reserveCounts{};
    Card dragged;
    int32_t dragSource = kNoSource;
    std::array<int32_t, kHands> handScores{};
    int32_t handTotal = 0;

private:
    void RegisterHotspots(const CribbageRules& rules);
    void TurnNextCard();
    void ScoreGame();
    void DrawHandScores();
    void DrawStockArea(bool present);
    void DrawCardArea(int x, int y, Card card, bool placeholder, bool present);
    void DrawReserveArea(int k, bool present);
    static int CellAt(int x, int y);
};
