// Four Seasons: five single cards dealt in a cross build down regardless of suit, cards are
// turned from the stock to a waste that may be turned over a configurable number of times, and
// four foundations in the corners build up in suit from a starting rank. Both wrap round between
// King and Ace.
#pragma once

#include "games/top_card_game.h"

// Places: 0 the stock, 1 the waste, 2..5 the foundations (top left, top right, bottom left,
// bottom right), 6..10 the piles of the cross (top, centre, bottom, left, right). The waste is
// turned over onto the stock.
struct FourSeasonsBuild {
    static constexpr int kPiles = 5;
    static constexpr bool kAlternateColours = false;
    static constexpr bool kGatherWaste = false;
};
using FourSeasonsModel = TopCardModel<FourSeasonsBuild>;

class FourSeasonsGame : public TopCardGame<FourSeasonsBuild> {
public:
    static constexpr int kGameNumber = 9;
    static constexpr int kStockX = 80, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kPileX[kPiles] = {450, 450, 450, 370, 530};
    static constexpr int kPileY[kPiles] = {120, 230, 340, 230, 230};
    static constexpr int kFoundationX[kFoundations] = {345, 555, 345, 555};
    static constexpr int kFoundationY[kFoundations] = {105, 105, 335, 335};
    static constexpr TopCardLayout kLayout{kStockX, kStockY, kWasteX, kWasteY, 3, kPileX, kPileY, kFoundationX,
                                           kFoundationY, true, false, false};

    // Four Seasons takes back a move silently: the penalty and the redraw, but no sound.
    explicit FourSeasonsGame(Artwork* artwork) : TopCardGame(artwork, kGameNumber, kLayout) {}
};
