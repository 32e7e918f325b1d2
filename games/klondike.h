// Klondike's table: it draws the model's position (games/models/klondike.h) and turns the
// player's gestures into its moves.
#pragma once

#include "games/models/klondike.h"
#include "games/tableau_game.h"

class KlondikeGame : public ModelledTableauGame<KlondikeModel> {
public:
    static constexpr int kGameNumber = 12;
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kFoundationY = 80;
    static constexpr int kFoundationX[KlondikeModel::kFoundations] = {330, 400, 470, 540};
    static constexpr int kTableauX = 230, kTableauPitch = 70, kTableauY = 170, kTableauStep = 15;
    static constexpr int kWasteFanStep = 10;

    explicit KlondikeGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
        recycleSound = "shuffle.wav";
    }

    void NewGame(bool restart) override;

    static int PileX(int pile) { return kTableauX + kTableauPitch * pile; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }

private:
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    // A card lifted off the waste is one fewer of those dealt this turn.
    void AfterLift(int place) override {
        if (place == KlondikeModel::kWastePlace) --position.dealtThisTurn;
    }
};
