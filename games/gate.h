// Gate's table: it draws the model's position (games/models/gate.h) and turns the
// player's gestures into its moves.
#pragma once

#include "cards/card_images.h"
#include "games/models/gate.h"
#include "games/tableau_game.h"

class GateGame : public ModelledTableauGame<GateModel> {
public:
    static constexpr int kGameNumber = 10;
    static constexpr int kStockX = 60, kStockY = 60;
    static constexpr int kWasteX = 60, kWasteY = 180;
    static constexpr int kFoundationX = 320, kFoundationY = 80, kPitch = 65;
    static constexpr int kLeftPostX = 120, kRightPostX = 705, kPostY = 60, kPostStep = 90;
    static constexpr int kColumnX = 185, kColumnY = 200, kColumnStep = 20;
    static constexpr int kWasteFanStep = 10;

    explicit GateGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {
        undoSoundFirst = true;
        liftSavesUndo = false;
        pressDecides = true;
        dealtSound = "flip.wav";
    }

    void NewGame(bool restart) override;
    void OnLButtonDown(WPARAM keys, int x, int y) override;

    static int ColumnX(int column) { return kColumnX + kPitch * column; }
    static int CardY(int index) { return kColumnY + kColumnStep * index; }
    static int FoundationX(int f) { return kFoundationX + kPitch * f; }
    static int PostX(int post) { return post == 0 ? kLeftPostX : kRightPostX; }
    static int PostSlotY(int slot) { return kPostY + kPostStep * slot; }
    // Where post 0 (left) or 1 (right) offers its last card.
    int PostTopY(int post) const {
        return PostSlotY(std::max(position.postCount[post] - 1, 0)) - position.postCount[post] / kCardsPerLayer;
    }
    // A post's last card is drawn at its slot, below where its pick-up stands.
    bool PlacesOf(const PlayMove& move, MovePlaces& places) override {
        if (!ModelledTableauGame::PlacesOf(move, places)) return false;
        const int post = move.from - GateModel::kFirstPost;
        if (move.kind == PlayMove::kMove && (post == 0 || post == 1))
            places.source = artwork->CardRect(PostX(post), PostSlotY(std::max(position.postCount[post] - 1, 0)));
        return true;
    }

private:
    // Lifted for a drag, a post's card is no longer on its post: an empty column still takes it.
    bool Fits(const Position& p, int place, const DragRecord& drag) const override {
        const bool postHeld = heldSource == GateModel::kFirstPost || heldSource == GateModel::kFirstPost + 1;
        const int pile = place - GateModel::kFirstPile;
        if (pile < 0 || !postHeld) return ModelledTableauGame::Fits(p, place, drag);
        return GateModel::FitsPile(p, pile, drag.cards[0], drag.count, true);
    }
    // A post's card is dealt to its own slot, not to the raised pick-up.
    void DealtOrigin(int place, int index, int& x, int& y) const override {
        const int post = place - GateModel::kFirstPost;
        if (post != 0 && post != 1) return ModelledTableauGame::DealtOrigin(place, index, x, y);
        x = PostX(post);
        y = PostSlotY(index);
    }
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    void RedrawReturned(int source) override;
    void DrawOwnPlace(int place, bool present) override;
};
