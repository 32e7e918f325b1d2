// Simple Addition: a row of thirteen face-up cards refilled from the stock. Two cards whose pip
// values add up to 10 are taken out together, and so are the Ten, Jack, Queen and King of one
// suit.
#pragma once

#include "games/models/pairing_model.h"

inline constexpr PairingRules kSimpleAdditionRules{.places = 13, .pairSum = 10, .refills = 1, .groups = 1};
