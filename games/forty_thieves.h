// Forty Thieves: two packs, up to ten columns dealt in rows and built down in suit, a stock turned
// one card at a time onto a waste that may be recycled a configurable number of times, and eight
// foundations built up in suit from a starting rank, wrapping round from the Ace to the Two.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "cards/card_images.h"
#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct FortyThievesRules {
    static constexpr int32_t kUnlimitedRecycles = 99999;
    bool movePartial = false;   // "MovePartial": several face-up cards of a column may move together
    bool autoFlip = false;      // "AutoFlip"
    bool filledIn = false;      // "FilledIn"
    int32_t rowsFaceDown = 0;   // "RowsFaceDown", 0..rows - 1
    int32_t rows = 4;           // "Rows", 1..5
    int32_t columns = 10;       // "Columns", 5..10
    int32_t recycle = 0;        // "Recycle", 0..4 or kUnlimitedRecycles
    int32_t startCard = 12;     // "StartCard", -1 (the first card of the deck) or a rank index

    static FortyThievesRules Read();
    bool RecycleAllowed(int used) const { return recycle == kUnlimitedRecycles || used < recycle; }
};

class FortyThievesGame : public Game {
public:
    static constexpr int kGameNumber = 8;
    static constexpr int kFoundations = 8;
    static constexpr int kColumns = 10;
    static constexpr int kColumnSlots = 16;
    static constexpr int kWasteSlots = 65;
    static constexpr int kStockX = 80, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kFoundationX = 250, kFoundationY = 80, kFoundationPitch = 60;
    // Column c of n in play lies at kColumnCentre - n x kColumnPitch / 2 + c x kColumnPitch.
    static constexpr int kColumnCentre = 430, kColumnPitch = 60, kColumnY = 180, kColumnStep = 15;
    static constexpr int kNoSource = -3;
    static constexpr int kWasteSource = -1;
    static constexpr int kMaxCandidates = 129;
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * (kFoundations + kWasteSlots) + 4 +
                                          8 * kColumns * kColumnSlots + 4 * 2 * kColumns + 8;

    explicit FortyThievesGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void AfterMove() override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Forty Thieves"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    double GetScoreFactor() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record) override;

    static int ColumnX(int column, int columnsInPlay) {
        return kColumnCentre - kColumnPitch / 2 * columnsInPlay + kColumnPitch * column;
    }
    static int CardY(int index) { return kColumnY + kColumnStep * index; }
    static int FoundationX(int f) { return kFoundationX + kFoundationPitch * f; }
    static int NextRank(int rank) { return (rank + 1) % Card::kRankCount; }
    // May card go on top (the no-card value for an empty pile)? Foundations build up in suit from
    // the starting rank, columns down in suit; the starting rank goes on no card.
    bool CanPlay(Card card, Card top, bool toFoundation) const;
    // Where the waste's top card lies (and is picked up).
    void WasteTopPosition(int& x, int& y) const;
    static int FoundationAt(int x, int y);
    // Which column in play takes its next card at (x, y), or -1.
    int ColumnDropAt(int x, int y, int columnsInPlay) const;

    // The position. Foundations hold only their top card.
    int32_t startRank = Card::kAce;
    std::array<Card, kFoundations> foundations{};
    std::array<Card, kWasteSlots> waste{};
    int32_t wasteCount = 0;
    std::array<std::array<Card, kColumnSlots>, kColumns> columns{};
    std::array<int32_t, kColumns> columnCount{};
    std::array<int32_t, kColumns> faceDownCount{};
    std::array<Card, kMaxStackCards> held{};
    int32_t heldCount = 0;
    int32_t heldSource = kNoSource;
    int32_t recyclesUsed = 0;

private:
    bool FaceUpTop(int column) const { return columnCount[column] > faceDownCount[column]; }
    bool AllFaceDown(int column) const { return columnCount[column] > 0 && faceDownCount[column] == columnCount[column]; }
    bool DecideGameOver(const FortyThievesRules& rules) const;
    bool ProgressBySingleMoves(int column, int columnsInPlay) const;
    bool FitsFoundation(Card card) const;
    void RegisterHotspots(const FortyThievesRules& rules);
    void DrawStockArea(bool present);
    void DrawWasteArea(bool present);
    void DrawFoundationArea(int f, bool present);
    void DrawColumnArea(int column, bool present);
    void TurnColumnTop(int column);
    void ClearHeld();
};
