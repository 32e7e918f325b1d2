// Take Fourteen: the whole pack dealt face up into twelve piles of four cards, the first four
// piles taking a fifth; pairs of top cards whose pip values add up to 14 are taken out.
#pragma once

#include "games/models/pairing_model.h"

inline constexpr PairingRules kTakeFourteenRules{.places = 12, .cellsPerPlace = 5, .pairSum = 14};
