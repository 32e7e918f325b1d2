// Four Seasons: five single cards dealt in a cross build down regardless of suit, cards are
// turned from the stock to a waste that may be turned over a configurable number of times, and
// four foundations in the corners build up in suit from a starting rank. Both wrap round between
// King and Ace.
#pragma once

#include "games/top_card_game.h"

// Places: 0 the stock, 1 the waste, 2..5 the foundations (top left, top right, bottom left,
// bottom right), 6..10 the piles of the cross (top, centre, bottom, left, right). The waste is
// turned over onto the stock. Four Seasons takes back a move silently.
struct FourSeasonsTable {
    static constexpr int kGameNumber = 9, kPiles = 5;
    static constexpr bool kAlternateColours = false, kGatherWaste = false;
    static constexpr int kStockX = 80, kStockY = 80, kWasteX = 180, kWasteY = 80, kWasteFanSteps = 3;
    static constexpr int kPileX[kPiles] = {450, 450, 450, 370, 530};
    static constexpr int kPileY[kPiles] = {120, 230, 340, 230, 230};
    static constexpr int kFoundationX[4] = {345, 555, 345, 555};
    static constexpr int kFoundationY[4] = {105, 105, 335, 335};
    static constexpr bool kFlipOnStockDeal = true, kReturnRedrawsTable = false, kUndoFitsFan = false;
    static constexpr bool kUndoSoundFirst = false;
};
using FourSeasonsModel = TopCardModel<FourSeasonsTable>;
using FourSeasonsGame = TopCardGame<FourSeasonsTable>;
