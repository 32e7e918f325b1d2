// The games whose piles show only their top card (Four Seasons, Simplicity): single cards dealt to
// the piles, four foundations built up in suit from a starting rank, a stock turned onto a waste
// one to three cards at a time. Both kinds of building wrap round between the King and the Ace.
// The model is games/models/top_card_model.h; a game gives its model's Build and where things
// lie on the table.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "games/models/top_card_model.h"
#include "games/tableau_game.h"

// The table: the game deals and keeps its undo record, the shared base does the rest from PlaceAt.
// Table gives its model's Build, kGameNumber, where things lie (kStockX/Y, kWasteX/Y, kPileX/Y, kFoundationX/Y), how
// many fan steps right of the waste's card its area reaches (kWasteFanSteps) and how the two games
// differ: kFlipOnStockDeal (a deal from the stock sounds a flip), kReturnRedrawsTable (a stack put
// back redraws the whole table), kUndoFitsFan (after an undo the waste fans out no more cards than
// it holds) and kUndoSoundFirst.
template <typename Table>
class TopCardGame : public ModelledTableauGame<TopCardModel<typename Table::Build>>, public Table {
    using Base = ModelledTableauGame<TopCardModel<typename Table::Build>>;

public:
    using Model = TopCardModel<typename Table::Build>;
    using Position = typename Model::Position;
    using Table::kPiles;
    // The waste's area reaches up and left by its layers of depth.
    static constexpr int kWasteFanStep = 10, kWasteMarginX = 20, kWasteMarginY = 10;

    explicit TopCardGame(Artwork* artwork) : Base(artwork, Table::kGameNumber) {
        // The undo sounds, if at all, before the record is read (undoSoundFirst); a drop is silent.
        this->undoSoundFirst = Table::kUndoSoundFirst;
        this->restoreSounds = false;
        this->dropSounds = false;
        this->pressDecides = true;
        if (!Table::kFlipOnStockDeal) this->dealSound = nullptr;
        this->dealtSound = "flip.wav";
    }

    // Each card is dealt from the stock with a flip.
    void NewGame(bool restart) override {
        this->BeginTableauTable(restart, 20, 25);
        this->DealShown();
        this->DrawTable(true);
        this->CheckGameOver();
        this->StartClock(0);
    }

    using Base::position;

protected:
    using Base::artwork;
    using Place = tableau::Place;
    using typename Base::Fields;

    // The record keeps where a held card came from as a pile's index, the pile count for the waste
    // or -1 for none.
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override {
        const int32_t held = this->heldSource;
        int32_t source = held == Base::kWasteSource ? kPiles : held == Base::kNoSource ? -1 : held - Model::kFirstPile;
        fields.Piles(p.piles, p.pileCount);
        fields.Cards(p.foundations);
        fields.Int(p.startRank, -1, Card::kRankCount - 1);
        fields.Pile(p.waste, p.wasteCount);
        fields.Int(source, -1, kPiles);
        fields.Clock(recordPoints, seconds);
    }
    // Every card once: stock, waste, piles, and each foundation from the starting rank up.
    bool AcceptRecord(PackTally& tally, Position& read) override {
        if (!tableau::TakePile(tally, read.waste, read.wasteCount) ||
            !tableau::TakePiles(tally, read.piles, read.pileCount) ||
            !tally.TakeFoundations(read.foundations, read.startRank) || !tally.WholePack())
            return false;
        if (Table::kUndoFitsFan) read.dealtThisTurn = std::min(read.dealtThisTurn, read.wasteCount);
        return true;
    }
    // A pile or a foundation shows its top card only, without the thickness of the cards under it.
    Place PlaceAt(int place) const override {
        const Position& p = position;
        const int f = place - Model::kFirstFoundation, pile = place - Model::kFirstPile;
        if (place == Model::kStockPlace)
            return Place::Stock(Table::kStockX, Table::kStockY, play_position::kLayerRoomX, play_position::kLayerRoomY,
                                tableau::RecycleAllowed(this->rules.recycles, p.recyclesUsed));
        if (place == Model::kWastePlace)
            return Place::WasteAt(Table::kWasteX, Table::kWasteY, p.waste.data(), p.wasteCount,
                                  this->rules.cardsDealt, p.dealtThisTurn, kWasteFanStep)
                .Drawn(kWasteMarginX, kWasteMarginY, Table::kWasteFanSteps * kWasteFanStep);
        if (f >= 0 && f < Model::kFoundations)
            return Place::Foundation(Table::kFoundationX[f], Table::kFoundationY[f], p.foundations[f]);
        if (pile >= 0 && pile < kPiles)
            return Place::Column(Table::kPileX[pile], Table::kPileY[pile], 0, p.piles[pile].data(), p.pileCount[pile]);
        return {};
    }
    // A pile offers its top card alone.
    typename Base::ColumnRuns RunsOf(int, const Place& at) const override { return {std::max(at.count - 1, 0), false}; }
    // A card lifted off the waste is one fewer of those fanned out.
    void AfterLift(int place) override {
        if (place == Model::kWastePlace) position.dealtThisTurn = std::max(position.dealtThisTurn - 1, 0);
    }
    void RedrawReturned(int source) override {
        if (Table::kReturnRedrawsTable) return this->Draw(true);
        this->DrawPlace(source == Base::kWasteSource ? Model::kWastePlace : source, true);
        artwork->PresentDirty();
    }
};
