// Forty Thieves' table: it draws the model's position (games/models/forty_thieves.h) and turns
// the player's gestures into its moves.
#pragma once

#include "cards/card_images.h"
#include "games/models/forty_thieves.h"
#include "games/tableau_game.h"

class FortyThievesGame : public ModelledTableauGame<FortyThievesModel> {
public:
    static constexpr int kGameNumber = 8;
    static constexpr int kStockX = 80, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kFoundationX = 250, kFoundationY = 80, kFoundationPitch = 60;
    // Column c of n in play lies at kColumnCentre - n x kColumnPitch / 2 + c x kColumnPitch.
    static constexpr int kColumnCentre = 430, kColumnPitch = 60, kColumnY = 180, kColumnStep = 15;

    explicit FortyThievesGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
        checkAfterPickUp = false;
        soundPerCard = true;
    }

    void NewGame(bool restart) override;

    static int ColumnX(int column, int columnsInPlay) {
        return kColumnCentre - kColumnPitch / 2 * columnsInPlay + kColumnPitch * column;
    }
    static int CardY(int index) { return kColumnY + kColumnStep * index; }
    static int FoundationX(int f) { return kFoundationX + kFoundationPitch * f; }

private:
    void OnStock() override;
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    // A column offers its top card and, with MovePartial, every longer face-up run.
    ColumnRuns RunsOf(int, const Place& at) const override {
        return {rules.movePartial ? at.faceDown : at.count - 1, true};
    }
};
