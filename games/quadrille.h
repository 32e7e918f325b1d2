// Quadrille's table: it draws the model's position (games/models/quadrille.h) and turns the
// player's gestures into its moves.
#pragma once

#include "games/models/quadrille.h"
#include "games/tableau_game.h"

class QuadrilleGame : public ModelledTableauGame<QuadrilleModel> {
public:
    static constexpr int kGameNumber = 16;
    // The down piles, then the up piles.
    static constexpr int kPileX[QuadrilleModel::kPiles] = {370, 510, 370, 230, 280, 460, 460, 280};
    static constexpr int kPileY[QuadrilleModel::kPiles] = {80, 240, 400, 240, 120, 120, 360, 360};
    static constexpr int kCentreX = 370, kCentreY = 240;
    static constexpr int kStockX = 70, kStockY = 60;
    static constexpr int kWasteX = 145, kWasteY = 60;
    static constexpr int kWasteFanStep = 10;

    explicit QuadrilleGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
        undoSoundFirst = true;
        pressDecides = true;
    }

    void NewGame(bool restart) override;

private:
    // A card lifted off the waste is one fewer of those dealt this turn.
    void AfterLift(int) override { --position.dealtThisTurn; }
    bool Fits(const Position& p, int place, const DragRecord& drag) const override {
        return drag.count == 1 && QuadrilleModel::Fits(p, drag.cards[0], place);
    }
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    void DrawOwnPlace(int place, bool present) override;
};
