// Simple Addition on the table: the model (games/models/simple_addition.h) laid out in a row; a
// pair or a group is taken out by clicking its cards one after the other. It has no rule values
// and adds nothing to the menu.
#pragma once

#include "games/models/simple_addition.h"
#include "games/pairing_game.h"

class SimpleAdditionGame : public PairingGame {
public:
    static constexpr int kGameNumber = 17;
    static constexpr int kSlots = kSimpleAdditionRules.places;
    static constexpr int kSlotX = 45, kSlotPitch = 55, kSlotY = 180;
    static constexpr int kPairSum = kSimpleAdditionRules.pairSum;

    // Undo makes no sound here.
    explicit SimpleAdditionGame(Artwork* artwork)
        : PairingGame(artwork, kGameNumber,
                      {.left = kSlotX, .top = kSlotY, .pitchX = kSlotPitch, .columns = kSlots, .undoSound = false},
                      kSimpleAdditionRules) {}

private:
    bool MaySelect(int slot) const;
    void ClickPlace(int slot) override;
};
