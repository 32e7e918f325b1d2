// Block Solitaire on the table: the model (games/models/block_solitaire.h) laid out in a block;
// a pair is taken out by clicking its cards one after the other. It has no rule values and adds
// nothing to the menu.
#pragma once

#include "games/models/block_solitaire.h"
#include "games/pairing_game.h"

class BlockSolitaireGame : public PairingGame {
public:
    static constexpr int kGameNumber = 4;
    static constexpr int kSlots = kBlockSolitaireRules.places;
    static constexpr int kPairSum = kBlockSolitaireRules.pairSum;

    explicit BlockSolitaireGame(Artwork* artwork)
        : PairingGame(artwork, kGameNumber,
                      {.left = 200, .top = 130, .pitchX = 66, .pitchY = 110, .columns = 4}, kBlockSolitaireRules) {}
};
