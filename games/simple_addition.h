// Simple Addition: a row of thirteen face-up cards refilled from the stock. Two cards whose pip
// values add up to 10 are taken out together, and so are the Ten, Jack, Queen and King of one
// suit, by clicking them one after the other. It has no rule values and adds nothing to the menu.
#pragma once

#include "games/pairing_game.h"

class SimpleAdditionGame : public PairingGame {
public:
    static constexpr int kGameNumber = 17;
    static constexpr int kSlots = 13;
    static constexpr int kSlotX = 45, kSlotPitch = 55, kSlotY = 180;
    static constexpr int kPairSum = 10;
    // The Ten, Jack, Queen and King of a suit.
    static constexpr int kGroupSize = 4;

    explicit SimpleAdditionGame(Artwork* artwork);

    static int SlotX(int slot) { return kSlotX + kSlotPitch * slot; }
    // May the card in this slot join the selection?
    bool MaySelect(int slot) const;

private:
    void DrawPlace(int slot, bool present) override;
    void CardOrigin(int slot, int, int& x, int& y) const override { x = SlotX(slot), y = kSlotY; }
    void ClickPlace(int slot) override;
    // A pair, or else a whole group of high cards, one card after the other.
    void TryRemoval();
    void ClickPoint(int slot, int& x, int& y) const override { x = SlotX(slot) + 30, y = kSlotY + 30; }
};
