// Four Seasons' table: it draws the model's position (games/models/four_seasons.h) and turns the
// player's gestures into its moves. Four Seasons takes back a move silently.
#pragma once

#include "games/models/four_seasons.h"
#include "games/top_card_game.h"

// The piles in a cross, the foundations in its corners.
struct FourSeasonsTable : FourSeasonsBuild {
    using Build = FourSeasonsBuild;
    static constexpr int kGameNumber = 9;
    static constexpr int kStockX = 80, kStockY = 80, kWasteX = 180, kWasteY = 80, kWasteFanSteps = 3;
    static constexpr int kPileX[kPiles] = {450, 450, 450, 370, 530};
    static constexpr int kPileY[kPiles] = {120, 230, 340, 230, 230};
    static constexpr int kFoundationX[4] = {345, 555, 345, 555};
    static constexpr int kFoundationY[4] = {105, 105, 335, 335};
    static constexpr bool kFlipOnStockDeal = true, kReturnRedrawsTable = false, kUndoFitsFan = false;
    static constexpr bool kUndoSoundFirst = false;
};
using FourSeasonsGame = TopCardGame<FourSeasonsTable>;
