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

    // Undo makes no sound here.
    explicit SimpleAdditionGame(Artwork* artwork)
        : PairingGame(artwork, kGameNumber,
                      {.places = kSlots, .pairSum = kPairSum, .left = kSlotX, .top = kSlotY, .pitchX = kSlotPitch,
                       .columns = kSlots, .refills = true, .undoSound = false, .groups = true}) {}

private:
    bool MaySelect(int slot) const;
    void ClickPlace(int slot) override;
};
