// Simplicity: twelve piles of which only the top card shows, built down in alternating colours;
// four foundations built up in suit from a starting rank; a stock turned onto a waste one to
// three cards at a time. Both kinds of building wrap round between the King and the Ace.
#pragma once

#include "games/models/top_card_model.h"

// Places: 0 the stock, 1 the waste, 2..5 the foundations, 6..17 the piles (two rows of six, the
// top row from the left first). The waste goes back to the stock as it lies.
struct SimplicityBuild {
    static constexpr int kPiles = 12;
    static constexpr bool kAlternateColours = true, kGatherWaste = true;
};
using SimplicityModel = TopCardModel<SimplicityBuild>;
