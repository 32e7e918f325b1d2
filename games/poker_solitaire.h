// Poker Solitaire: cards drawn one at a time from a single pack fill a five-by-five grid, and
// when it is full each row and column is scored as a poker hand under the American or English
// table. Optional reserve piles hold a card for later at 3 points each. The final score is the
// points alone.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct PokerRules {
    int32_t reservePiles = 0;    // "ReservePiles", 0..3
    int32_t cardsPerPile = 1;    // "CardsPerPile", 1..5
    bool american = true;        // "Scoring": "American"; any other text selects the English table

    static PokerRules Read();
};

class PokerSolitaireGame : public Game {
public:
    static constexpr int kGameNumber = 14;
    static constexpr int kSide = 5;
    static constexpr int kCells = kSide * kSide;
    static constexpr int kReservePiles = 3;
    static constexpr int kReserveSlots = 5;
    static constexpr int kHands = 2 * kSide;
    static constexpr int kGridX = 330, kGridY = 120, kGridPitchX = 70, kGridPitchY = 82;
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kCurrentX = 170, kCurrentY = 80;
    static constexpr int kReserveX = 100, kReservePitch = 70, kReserveY = 240, kReserveStep = 15;
    static constexpr int kCurrentSource = -1;
    static constexpr int kFirstReserveSource = -3;  // -3, -4, -5 for reserve piles 0, 1, 2
    static constexpr int kNoSource = -2;
    static constexpr int kReserveKind = 4;
    // Hands in table order; Nothing scores 0.
    enum Hand { kRoyalFlush, kStraightFlush, kFourOfAKind, kFullHouse, kFlush, kStraight, kThreeOfAKind, kTwoPair,
                kOnePair, kNothing };
    static constexpr int kAmericanTable[kNothing] = {100, 75, 50, 25, 20, 15, 10, 5, 2};
    static constexpr int kEnglishTable[kNothing] = {30, 30, 16, 10, 5, 12, 6, 3, 1};
    // Size of an undo record: base part, current card, grid, hand scores and total, reserve
    // cells and counts, points, elapsed seconds.
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * (1 + kCells) + 4 * (kHands + 1) +
                                          8 * kReservePiles * kReserveSlots + 4 * kReservePiles + 8;

    explicit PokerSolitaireGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Poker Solitaire"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    // Time costs nothing and a win adds nothing: the final score is the points.
    int GetTimeAdjustment(int) override { return 0; }
    double GetWinFactor() override { return 1.0; }
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record);

    static Hand ClassifyHand(const std::array<Card, kSide>& hand);
    static int ScoreHand(const std::array<Card, kSide>& hand, bool american);
    static int CellX(int i) { return kGridX + kGridPitchX * (i % kSide); }
    static int CellY(int i) { return kGridY + kGridPitchY * (i / kSide); }
    static int ReserveX(int k) { return kReserveX + kReservePitch * k; }
    static int ReserveCardY(int index) { return kReserveY + kReserveStep * index; }
    bool GridFull() const;

    Card current;
    std::array<Card, kCells> grid{};
    Card lifted;
    std::array<int32_t, kHands> handScores{};
    int32_t handTotal = 0;
    std::array<std::array<Card, kReserveSlots>, kReservePiles> reserves{};
    std::array<int32_t, kReservePiles> reserveCounts{};
    int32_t liftSource = kNoSource;

private:
    void RegisterHotspots(const PokerRules& rules);
    void ScoreGrid();
    void DrawHandScores();
    void DrawStockArea(bool present);
    void DrawCardArea(int x, int y, Card card, bool placeholder, bool present);
    void DrawReserveArea(int k, bool present);
    static int CellAt(int x, int y);
};
