// Simplicity: twelve piles of which only the top card shows, built down in alternating colours;
// four foundations built up in suit from a starting rank; a stock turned onto a waste one to
// three cards at a time. Both kinds of building wrap round between the King and the Ace.
#pragma once

#include "games/top_card_game.h"

// Places: 0 the stock, 1 the waste, 2..5 the foundations, 6..17 the piles (two rows of six, the
// top row from the left first). The waste goes back to the stock as it lies.
struct SimplicityTable {
    static constexpr int kGameNumber = 18, kPiles = 12;
    static constexpr bool kAlternateColours = true, kGatherWaste = true;
    static constexpr int kStockX = 60, kStockY = 80, kWasteX = 60, kWasteY = 190, kWasteFanSteps = 2;
    static constexpr int kPileX[kPiles] = {260, 330, 400, 470, 540, 610, 260, 330, 400, 470, 540, 610};
    static constexpr int kPileY[kPiles] = {160, 160, 160, 160, 160, 160, 270, 270, 270, 270, 270, 270};
    static constexpr int kFoundationX[4] = {180, 690, 175, 690};
    static constexpr int kFoundationY[4] = {140, 140, 290, 290};
    static constexpr bool kFlipOnStockDeal = false, kReturnRedrawsTable = true, kUndoFitsFan = true;
    static constexpr bool kUndoSoundFirst = true;
};
using SimplicityModel = TopCardModel<SimplicityTable>;
using SimplicityGame = TopCardGame<SimplicityTable>;
