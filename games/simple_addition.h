// Simple Addition: a row of thirteen face-up cards refilled from the stock. Two cards whose pip
// values add up to 10 are taken out together, and so are the Ten, Jack, Queen and King of one
// suit, by clicking them one after the other. It has no rule values and adds nothing to the menu.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

class SimpleAdditionGame : public Game {
public:
    static constexpr int kGameNumber = 17;
    static constexpr int kSlots = 13;
    static constexpr int kSlotX = 45, kSlotPitch = 55, kSlotY = 180;
    static constexpr int kStockX = 60, kStockY = 60;
    static constexpr int kPairSum = 10;
    // The Ten, Jack, Queen and King of a suit.
    static constexpr int kGroupSize = 4;
    // Size of an undo record: the slots, one flag byte per slot, the selected count, points and
    // elapsed seconds.
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * kSlots + kSlots + 4 + 8;

    explicit SimpleAdditionGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Simple Addition"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record);

    static int SlotX(int slot) { return kSlotX + kSlotPitch * slot; }
    // Ten, Jack, Queen and King are high; Ace to Nine are low.
    static bool IsHigh(Card card) { return card.PipValue() >= 10; }
    // May the card in this slot join the selection?
    bool MaySelect(int slot) const;
    bool PairAvailable() const;
    bool GroupShowing() const;

    std::array<Card, kSlots> slots{};
    std::array<uint8_t, kSlots> selected{};
    int32_t selectedCount = 0;

private:
    void TryRemoval();
    void Refill();
    void EmptySlot(int slot);
    void DrawSlot(int slot, bool present);
    void DrawStockArea(bool present);
};
