// Block Solitaire: the forty cards Ace to Ten laid out in a block of three rows of four and
// refilled from the stock; two cards whose pip values add up to 11 are taken out together.
#pragma once

#include "games/models/pairing_model.h"

inline constexpr PairingRules kBlockSolitaireRules{.places = 12, .pairSum = 11, .refills = 1, .courts = 0};
