// Spider's table: it draws the model's position (games/models/spider.h) and turns the
// player's gestures into its moves.
#pragma once

#include <string>

#include "cards/card_images.h"
#include "games/models/spider.h"
#include "games/tableau_game.h"

class SpiderGame : public ModelledTableauGame<SpiderModel> {
public:
    static constexpr int kGameNumber = 19;
    static constexpr int kStockX = 130, kStockY = 80;
    static constexpr int kFoundationX = 220, kFoundationY = 80, kPitch = 60;
    static constexpr int kColumnX = 100, kColumnY = 170, kColumnStep = 12;

    explicit SpiderGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) { checkAfterPickUp = false; }

    void NewGame(bool restart) override;

    static int ColumnX(int column) { return kColumnX + kPitch * column; }
    static int CardY(int index) { return kColumnY + kColumnStep * index; }
    static int FoundationX(int f) { return kFoundationX + kPitch * f; }

private:
    void OnStock() override;
    bool Fits(const Position& p, int place, const DragRecord& drag) const override {
        if (place >= SpiderModel::kFirstPile)
            return SpiderModel::FitsPile(p, place - SpiderModel::kFirstPile, drag.cards[0], drag.count);
        return SpiderModel::FitsFoundation(p, place - SpiderModel::kFirstFoundation, drag.cards.data(), drag.count);
    }
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    // The game-over decision runs several times per move: the model's search is made again only
    // when the position changed.
    bool ModelOver() const override {
        const Position p = CurrentPosition();
        PositionCode code;
        SpiderModel::Encode(p, code);
        if (code.bytes != lastSearchInput) {
            lastSearchInput = std::move(code.bytes);
            lastSearchResult = SpiderModel::Over(p);
        }
        return lastSearchResult;
    }
    mutable std::string lastSearchInput;
    mutable bool lastSearchResult = false;
    // A column offers its top card and every longer run of its suit.
    ColumnRuns RunsOf(int place, const Place& at) const override {
        return {at.count - SpiderModel::RunLength(position, place - SpiderModel::kFirstPile, at.faceDown), true};
    }
};
