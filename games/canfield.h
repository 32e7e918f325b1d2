// Canfield's table: it draws the model's position (games/models/canfield.h) and turns the
// player's gestures into its moves.
#pragma once

#include "cards/card_images.h"
#include "games/models/canfield.h"
#include "games/tableau_game.h"

class CanfieldGame : public ModelledTableauGame<CanfieldModel> {
public:
    static constexpr int kGameNumber = 6;
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kWasteX = 170, kWasteY = 80;
    static constexpr int kReserveX = 100, kReserveY = 170;
    static constexpr int kRowX = 330, kRowPitch = 70;
    static constexpr int kFoundationY = 80;
    static constexpr int kTableauY = 170, kTableauStep = 15;
    static constexpr int kWasteFanStep = 10, kReserveSource = CanfieldModel::kReservePlace;

    explicit CanfieldGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
        checkAfterPickUp = false;
        // The reserve's card that may follow a drop is a move of its own (AfterMove).
        dropApply = &CanfieldModel::Step;
    }

    void NewGame(bool restart) override;
    void AfterMove() override;

    static int ColumnX(int k) { return kRowX + kRowPitch * k; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }
    // Where the top card of a squared pile of n cards lies.
    static int LayerX(int x, int n) { return x + kLayerStepX * (n / kCardsPerLayer); }
    static int LayerY(int y, int n) { return y + kLayerStepY * (n / kCardsPerLayer); }

private:
    void OnStock() override;
    bool Fits(const Position& p, int place, const DragRecord& drag) const override {
        const int pile = place - CanfieldModel::kFirstPile;
        if (pile >= 0) return CanfieldModel::FitsPile(p, pile, drag.cards[0], drag.count, heldSource == kReserveSource);
        return drag.count == 1 && CanfieldModel::BuildsUp(p, drag.cards[0], place - CanfieldModel::kFirstFoundation);
    }
    // The reserve is drawn again after every drop: its card may follow the move (AfterMove).
    void AfterDrop() override { DrawPlace(CanfieldModel::kReservePlace, true); }
    // The reserve's cards fly to the layer each makes, face down but the last.
    bool DealtFaceDown(const Place& at, int place, int index) const override {
        if (place != CanfieldModel::kReservePlace) return ModelledTableauGame::DealtFaceDown(at, place, index);
        return index < CanfieldModel::kReserveSlots - 1;
    }
    void DealtOrigin(int place, int index, int& x, int& y) const override {
        if (place != CanfieldModel::kReservePlace) return ModelledTableauGame::DealtOrigin(place, index, x, y);
        x = LayerX(kReserveX, index + 1);
        y = LayerY(kReserveY, index + 1);
    }
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    // A card lifted off the waste is one fewer of those turned last.
    void AfterLift(int place) override {
        if (place == CanfieldModel::kWastePlace) position.turnedCount = std::max(position.turnedCount - 1, 0);
    }
    void DrawOwnPlace(int place, bool present) override;
};
