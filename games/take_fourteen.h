// Take Fourteen: the whole pack dealt face up into twelve fanned piles; pairs of top cards whose
// pip values add up to 14 are taken out by clicking them one after the other. It has no rule
// values and adds nothing to the menu.
#pragma once

#include "games/pairing_game.h"

class TakeFourteenGame : public PairingGame {
public:
    static constexpr int kGameNumber = 20;
    static constexpr int kPiles = 12;
    static constexpr int kPileSlots = 5;  // four rounds, and a fifth card to the first four piles
    static constexpr int kPairSum = 14;

    explicit TakeFourteenGame(Artwork* artwork)
        : PairingGame(artwork, kGameNumber,
                      {.places = kPiles, .cellsPerPlace = kPileSlots, .pairSum = kPairSum, .left = 45, .top = 180,
                       .pitchX = 60, .columns = kPiles, .fanDy = 25}) {}
};
