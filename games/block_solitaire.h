// Block Solitaire: the forty cards Ace to Ten laid out in a block of three rows of four and
// refilled from the stock; two cards whose pip values add up to 11 are taken out by clicking them
// one after the other. It has no rule values and adds nothing to the menu.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

class BlockSolitaireGame : public Game {
public:
    static constexpr int kGameNumber = 4;
    static constexpr int kColumns = 4;
    static constexpr int kRows = 3;
    static constexpr int kSlots = kColumns * kRows;
    static constexpr int kSlotX = 200, kSlotPitch = 66;
    static constexpr int kRowY[kRows] = {130, 240, 350};
    static constexpr int kStockX = 60, kStockY = 60;
    static constexpr int kPairSum = 11;
    // Size of an undo record: the slots, one flag byte per slot, the selected count, points and
    // elapsed seconds.
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * kSlots + kSlots + 4 + 8;

    explicit BlockSolitaireGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Block Solitaire"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record);

    static int SlotX(int slot) { return kSlotX + kSlotPitch * (slot % kColumns); }
    static int SlotY(int slot) { return kRowY[slot / kColumns]; }
    bool PairAvailable() const;

    std::array<Card, kSlots> slots{};
    std::array<uint8_t, kSlots> selected{};
    int32_t selectedCount = 0;

private:
    bool TryPair();
    void Refill();
    void DrawSlot(int slot, bool present);
    void DrawStockArea(bool present);
};
