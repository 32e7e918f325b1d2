// Take Fourteen on the table: the model (games/models/take_fourteen.h) dealt into twelve fanned
// piles; a pair of top cards is taken out by clicking them one after the other. It has no rule
// values and adds nothing to the menu.
#pragma once

#include "games/models/take_fourteen.h"
#include "games/pairing_game.h"

class TakeFourteenGame : public PairingGame {
public:
    static constexpr int kGameNumber = 20;
    static constexpr int kPiles = kTakeFourteenRules.places;
    static constexpr int kPileSlots = kTakeFourteenRules.cellsPerPlace;
    static constexpr int kPairSum = kTakeFourteenRules.pairSum;

    explicit TakeFourteenGame(Artwork* artwork)
        : PairingGame(artwork, kGameNumber,
                      {.left = 45, .top = 180, .pitchX = 60, .columns = kPiles, .fanDy = 25}, kTakeFourteenRules) {}
};
