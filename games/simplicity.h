// Simplicity's table: it draws the model's position (games/models/simplicity.h) and turns the
// player's gestures into its moves.
#pragma once

#include "games/models/simplicity.h"
#include "games/top_card_game.h"

// Two rows of six piles between the foundations.
struct SimplicityTable : SimplicityBuild {
    using Build = SimplicityBuild;
    static constexpr int kGameNumber = 18;
    static constexpr int kStockX = 60, kStockY = 80, kWasteX = 60, kWasteY = 190, kWasteFanSteps = 2;
    static constexpr int kPileX[kPiles] = {260, 330, 400, 470, 540, 610, 260, 330, 400, 470, 540, 610};
    static constexpr int kPileY[kPiles] = {160, 160, 160, 160, 160, 160, 270, 270, 270, 270, 270, 270};
    static constexpr int kFoundationX[4] = {180, 690, 175, 690};
    static constexpr int kFoundationY[4] = {140, 140, 290, 290};
    static constexpr bool kFlipOnStockDeal = false, kReturnRedrawsTable = true, kUndoFitsFan = true;
    static constexpr bool kUndoSoundFirst = true;
};
using SimplicityGame = TopCardGame<SimplicityTable>;
