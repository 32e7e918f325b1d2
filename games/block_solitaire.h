// Block Solitaire: the forty cards Ace to Ten laid out in a block of three rows of four and
// refilled from the stock; two cards whose pip values add up to 11 are taken out by clicking them
// one after the other. It has no rule values and adds nothing to the menu.
#pragma once

#include "games/pairing_game.h"

class BlockSolitaireGame : public PairingGame {
public:
    static constexpr int kGameNumber = 4;
    static constexpr int kSlots = 12;
    static constexpr int kPairSum = 11;

    explicit BlockSolitaireGame(Artwork* artwork)
        : PairingGame(artwork, kGameNumber,
                      {.places = kSlots, .pairSum = kPairSum, .left = 200, .top = 130, .pitchX = 66, .pitchY = 110,
                       .columns = 4, .refills = true, .courts = false}) {}
};
