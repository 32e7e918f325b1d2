// The row pairing games on the table: PairingGame is the base of the games that lay out rows of
// places (slots or piles), mark a place with a flag when its top card is clicked and never drag:
// Block Solitaire, Simple Addition and Take Fourteen. It keeps the selection, the stock, the
// drawing, the end of the game and the undo record and shows the model's deal
// (games/models/pairing_model.h); a game gives its rules (the model's shape) and their layout.
#pragma once

#include <cstdint>
#include <vector>

#include "games/models/pairing_model.h"
#include "games/play_position.h"

class PairingGame : public ModelTable<PairingModel> {
public:
    static constexpr int kStockX = 60, kStockY = 60;

    // A click on a place's top card selects it or lets it go; a pair selected leaves the table.
    void OnLButtonDown(WPARAM keys, int x, int y) override;

    // The card a click on the place selects (no card when the place is empty).
    Card Top(int place) const { return PairingModel::Top(position, place); }
    // Cell k of the place, bottom first.
    Card& Cell(int place, int k = 0) { return position.cells[place * rules.cellsPerPlace + k]; }

    // The model's moves one gesture can finish from the current selection: those whose cards
    // include every selected one and leave at most two to click.
    void PlayMoves(MoveList& out) override;
    bool GestureFor(const PlayMove& move, MoveGesture& gesture) override;
    // Two top cards paired, or a group's first card.
    bool PlacesOf(const PlayMove& move, MovePlaces& places) override {
        if (!ModelTable::PlacesOf(move, places)) return false;
        if (move.kind == PlayMove::kMove) places.kind = MovePlaces::kPartner;
        return true;
    }

    std::vector<uint8_t> selected;  // a flag per place
    int32_t selectedCount = 0;

protected:
    // Where a game lays out the places its rules give (`rules`, fixed for the game; a removal
    // waits a moment where the stock refills, and groups let up to four cards be selected). The
    // places lie in rows of `columns`, `pitchX` and `pitchY` apart from (left, top); a place's
    // cards fan down by fanDy.
    struct Shape {
        int left = 0, top = 0, pitchX = 0, pitchY = 0, columns = 1, fanDy = 0;
        bool undoSound = true;
    };
    // A short pause lets the player see the last card of a removal selected before it goes.
    static constexpr uint32_t kRemovalPauseMs = 200;

    PairingGame(Artwork* artwork, int gameNumber, const Shape& layout, const PairingRules& gameRules);

    // Where a place's cards lie, as the shape lays them out; drawn with the top card darkened
    // while selected.
    PlaceView View(int place) const override;
    void DrawPlace(int place, bool present) override;
    void DrawAreas(bool present) override;
    // The game's rules are its own, fixed when it is made, and every deal plays by them.
    Rules ReadDealRules() const override { return rules; }
    // A card dealt slides from the stock onto its place with the flip sound; after the deal's last
    // card the stock is drawn as the deal leaves it.
    void ShowDealt(const Position& now, int place, int index) override;
    // The top card of the place, just dealt from the deck, slides there from the stock.
    void SlideDealt(int place);
    void DrawStockArea(bool present) { play_position::DrawStockArea(*this, kStockX, kStockY, present); }
    // A click on a place: deselects it, or selects its card; a second card is let go again unless
    // the two make a pair.
    virtual void ClickPlace(int place);
    // Takes out the two selected places when their top cards make the sum.
    bool TryPair();
    // Plays the move through the model, showing each card go and each card dealt.
    void MakeMove(const PlayMove& move);

    const Shape shape;

private:
    struct TableHooks;
    // Nothing selected.
    void StartDeal() override {
        selected.assign(static_cast<size_t>(rules.places), 0);
        selectedCount = 0;
    }
    // The places of a move's cards that are still to be clicked; false when a selected place is
    // not among its cards.
    bool PlacesToClick(const PairingModel::Position& position, const PlayMove& move, std::vector<int>& places) const;
    // The places' cells, a flag a place for the selection and how many are set; false when the
    // flags read stand on empty places or disagree with the count.
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
    // Every card at most once, piles without holes, and no court card in a game without them.
    bool Possible(const Position& read, const Deck& stock) const override;
    // A group showing keeps the game going, unless the game already stands as over.
    bool OverNow() const override {
        return !PairingModel::PairAvailable(position) &&
               !(rules.groups && !gameOver && PairingModel::GroupAt(position) >= 0);
    }
    void LetGo() override {
        selected = readSelected;
        selectedCount = readCount;
    }
    std::vector<uint8_t> readSelected;
    int32_t readCount = 0;
};
