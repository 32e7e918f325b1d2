// Four Seasons: five single cards dealt in a cross build down regardless of suit, cards are
// turned from the stock to a waste that may be turned over a configurable number of times, and
// four foundations in the corners build up in suit from a starting rank. Both wrap round between
// King and Ace.
#pragma once

#include "games/models/top_card_model.h"

// Places: 0 the stock, 1 the waste, 2..5 the foundations (top left, top right, bottom left,
// bottom right), 6..10 the piles of the cross (top, centre, bottom, left, right). The waste is
// turned over onto the stock.
struct FourSeasonsBuild {
    static constexpr int kPiles = 5;
    static constexpr bool kAlternateColours = false, kGatherWaste = false;
};
using FourSeasonsModel = TopCardModel<FourSeasonsBuild>;
