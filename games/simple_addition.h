// Simple Addition: a row of thirteen face-up cards refilled from the stock. Two cards whose pip
// values add up to 10 are taken out together, and so are the Ten, Jack, Queen and King of one
// suit, by clicking them one after the other. It has no rule values and adds nothing to the menu.
#pragma once

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "games/pairing_game.h"

class SimpleAdditionGame : public PairingGame {
public:
    static constexpr int kGameNumber = 17;
    static constexpr int kSlots = 13;
    static constexpr int kSlotX = 45, kSlotPitch = 55, kSlotY = 180;
    static constexpr int kPairSum = 10;
    // The Ten, Jack, Queen and King of a suit.
    static constexpr int kGroupSize = 4;
    static constexpr size_t kRecordSize = RecordSize(kSlots);

    explicit SimpleAdditionGame(Artwork* artwork);

    const char* GetName() override { return "Simple Addition"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    Card Top(int slot) const override { return slots[slot]; }

    static int SlotX(int slot) { return kSlotX + kSlotPitch * slot; }
    // Ten, Jack, Queen and King are high; Ace to Nine are low.
    static bool IsHigh(Card card) { return PairingModel::IsHigh(card); }
    // May the card in this slot join the selection?
    bool MaySelect(int slot) const;
    bool GroupShowing() const { return PairingModel::GroupAt(ModelPosition()) >= 0; }

    std::array<Card, kSlots> slots{};

private:
    std::vector<Card> Cells() const override { return {slots.begin(), slots.end()}; }
    void SetCells(std::span<const Card> cells) override { std::copy(cells.begin(), cells.end(), slots.begin()); }
    void RemoveTop(int slot) override { slots[slot] = Card(); }
    void DrawPlace(int slot, bool present) override;
    void DealTo(int slot) override { DealCard(slots[slot], SlotX(slot), kSlotY); }
    // The group test is skipped once the game stands as over.
    bool OtherRemovalShowing() const override { return !gameOver && GroupShowing(); }
    void TryRemoval();
    void ClickPoint(int slot, int& x, int& y) const override { x = SlotX(slot) + 30, y = kSlotY + 30; }
};
