// Simplicity: twelve piles of which only the top card shows, built down in alternating colours;
// four foundations built up in suit from a starting rank; a stock turned onto a waste one to
// three cards at a time. Both kinds of building wrap round between the King and the Ace.
#pragma once

#include "games/top_card_game.h"

// Places: 0 the stock, 1 the waste, 2..5 the foundations, 6..17 the piles (the top row from the
// left, then the bottom row). The waste goes back to the stock as it lies.
struct SimplicityBuild {
    static constexpr int kPiles = 12;
    static constexpr bool kAlternateColours = true;
    static constexpr bool kGatherWaste = true;
};
using SimplicityModel = TopCardModel<SimplicityBuild>;

class SimplicityGame : public TopCardGame<SimplicityBuild> {
public:
    static constexpr int kGameNumber = 18;
    static constexpr int kStockX = 60, kStockY = 80;
    static constexpr int kWasteX = 60, kWasteY = 190;
    // Two rows of six piles.
    static constexpr int kPileX[kPiles] = {260, 330, 400, 470, 540, 610, 260, 330, 400, 470, 540, 610};
    static constexpr int kPileY[kPiles] = {160, 160, 160, 160, 160, 160, 270, 270, 270, 270, 270, 270};
    static constexpr int kFoundationX[kFoundations] = {180, 690, 175, 690};
    static constexpr int kFoundationY[kFoundations] = {140, 140, 290, 290};
    static constexpr TopCardLayout kLayout{kStockX, kStockY, kWasteX, kWasteY, 2, kPileX, kPileY, kFoundationX,
                                           kFoundationY, false, true, true};

    explicit SimplicityGame(Artwork* artwork) : TopCardGame(artwork, kGameNumber, kLayout) { undoSoundFirst = true; }
};
