// Take Fourteen: the whole pack dealt face up into twelve fanned piles; pairs of top cards whose
// pip values add up to 14 are taken out by clicking them one after the other. It has no rule
// values and adds nothing to the menu.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

class TakeFourteenGame : public Game {
public:
    static constexpr int kGameNumber = 20;
    static constexpr int kPiles = 12;
    static constexpr int kPileSlots = 5;
    static constexpr int kPileX = 45, kPilePitch = 60, kPileY = 180, kFanStep = 25;
    static constexpr int kStockX = 60, kStockY = 60;
    static constexpr int kPairSum = 14;
    // Size of an undo record: the cells, one flag byte per pile, the selected count, points and
    // elapsed seconds.
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * kPiles * kPileSlots + kPiles + 4 + 8;

    explicit TakeFourteenGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Take Fourteen"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record);

    static int PileX(int pile) { return kPileX + kPilePitch * pile; }
    static int CardY(int index) { return kPileY + kFanStep * index; }
    // Cards in a pile: its leading occupied cells.
    int PileCount(int pile) const;
    Card Top(int pile) const;
    bool PairAvailable() const;

    std::array<std::array<Card, kPileSlots>, kPiles> piles{};
    std::array<uint8_t, kPiles> selected{};
    int32_t selectedCount = 0;

private:
    bool TryPair();
    void DrawPile(int pile, bool present);
    void DrawStockArea(bool present);
};
