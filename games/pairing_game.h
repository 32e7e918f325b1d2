// What the row pairing games share: the player selects two cards whose pip values make a sum,
// and both leave the table. PairingGame is the base of the games that lay out rows of places
// (slots or piles), mark a place with a flag when its top card is clicked and never drag: Block
// Solitaire, Simple Addition and Take Fourteen. It keeps the selection, the stock, the deal, the
// drawing, the end of the game and the undo record; a game gives its shape: its places, their
// layout and its sum.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "games/play_position.h"

// The rules of the row pairing games (Block Solitaire, Simple Addition, Take Fourteen) as a
// model of play. Places 0 .. places - 1 are the table's places, numbered as the undo record
// lists them; the stock is no place, since the game deals from it by itself.
//
// Moves: a pair is a kMove from one place to the other (lower place first), made by clicking
// both top cards; Simple Addition's group of four high cards of a suit is a kSelect of the
// group's first place with count 4, made by clicking its cards one after the other (the table
// offers it once at most two are left to click).
struct PairingParts {
    static constexpr int kMaxCells = 60;
    static constexpr int kPointsPerPair = 10;
    static constexpr int kPointsPerGroupCard = 5;
    static constexpr int kGroupSize = 4;

    struct Position {
        int32_t points = 0;
        int32_t places = 0;
        int32_t cellsPerPlace = 1;
        int32_t pairSum = 0;
        int32_t refills = 0;  // the stock fills the emptied places, first to last, after a removal
        int32_t groups = 0;   // the Ten, Jack, Queen and King of a suit go out together
        int32_t stockCount = 0;
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is dealt next
        std::array<Card, kMaxCells> cells{};            // place after place, bottom card first
    };

    static Card Top(const Position& position, int place);
    static bool MakesPair(const Position& position, Card a, Card b) {
        return a.IsValid() && b.IsValid() && a.PipValue() + b.PipValue() == position.pairSum;
    }
    // Ten, Jack, Queen and King are high.
    static bool IsHigh(Card card) { return card.PipValue() >= 10; }
    static bool PairAvailable(const Position& position);
    // The first place of a suit's whole group of high cards showing, or -1.
    static int GroupAt(const Position& position);
    // How many cards the place holds: its leading occupied cells.
    static int Count(const Position& position, int place);

    // The next stock card onto the top of the place, when it has room.
    template <typename Hooks>
    static void DealOnto(Position& position, int place, Hooks& hooks) {
        const int count = Count(position, place);
        if (position.stockCount == 0 || count == position.cellsPerPlace) return;
        position.cells[place * position.cellsPerPlace + count] = play_position::Pop(position.stock, position.stockCount);
        hooks.Dealt(place);
    }
    // Apply, showing its steps through the hooks (play_position::NoHooks).
    template <typename Hooks>
    static int Play(Position& position, const PlayMove& move, Hooks& hooks);
};
// Won with the stock and the table empty; over when no pair (and no group) is left. The code holds
// the cards of the places and the stock, not the points, so positions reached by different paths
// meet in a search. Pairs leave the position.
using PairingModel = PlayModel<PairingParts>;

template <typename Hooks>
int PairingParts::Play(Position& position, const PlayMove& move, Hooks& hooks) {
    auto takeTop = [&](int place) {
        Card* cells = &position.cells[place * position.cellsPerPlace];
        cells[Count(position, place) - 1] = Card();
        hooks.TookOut(place);
    };
    int scored = 0;
    if (move.kind == PlayMove::kMove) {
        takeTop(move.from);
        takeTop(move.to);
        scored = kPointsPerPair;
    } else if (move.kind == PlayMove::kSelect) {
        const int suit = Top(position, move.from).Suit();
        for (int place = 0; place < position.places; ++place) {
            const Card card = Top(position, place);
            if (card.IsValid() && IsHigh(card) && card.Suit() == suit) {
                takeTop(place);
                scored += kPointsPerGroupCard;
            }
        }
    } else {
        return 0;
    }
    hooks.Removed();
    // The stock fills the empty places, first to last, while it lasts.
    if (position.refills || move.kind == PlayMove::kSelect)
        for (int place = 0; place < position.places; ++place)
            if (!Top(position, place).IsValid()) DealOnto(position, place, hooks);
    position.points += scored;
    return scored;
}

class PairingGame : public ModelTable<PairingModel> {
public:
    static constexpr int kStockX = 60, kStockY = 60;

    // A click on a place's top card selects it or lets it go; a pair selected leaves the table.
    void OnLButtonDown(WPARAM keys, int x, int y) override;

    // The card a click on the place selects (no card when the place is empty).
    Card Top(int place) const { return PairingModel::Top(position, place); }
    // Cell k of the place, bottom first.
    Card& Cell(int place, int k = 0) { return position.cells[place * shape.cellsPerPlace + k]; }

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
    // What sets the games apart here. The places lie in rows of `columns`, `pitchX` and `pitchY`
    // apart from (left, top); a place's cards fan down by fanDy.
    struct Shape {
        int places = 0;
        int cellsPerPlace = 1;  // the most cards a place holds, as the undo record lists them
        int pairSum = 0;
        int left = 0, top = 0, pitchX = 0, pitchY = 0, columns = 1, fanDy = 0;
        bool refills = false;   // a removal waits a moment, and the stock then fills the emptied places
        bool undoSound = true;
        bool groups = false;    // groups of four high cards, so up to four cards selected
        bool courts = true;     // Jack, Queen and King are dealt
    };
    // A short pause lets the player see the last card of a removal selected before it goes.
    static constexpr uint32_t kRemovalPauseMs = 200;

    PairingGame(Artwork* artwork, int gameNumber, const Shape& layout);

    // Where a place's cards lie, as the shape lays them out; drawn with the top card darkened
    // while selected.
    PlaceView View(int place) const override;
    void DrawPlace(int place, bool present) override;
    void DrawAreas(bool present) override;
    // The deal after the empty table is drawn: a card to each place in turn, round after round,
    // while the stock lasts.
    void Deal() override;
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
    // The position's shape, nothing selected, and a pack without court cards when the game
    // plays none.
    void StartDeal() override;
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
               !(shape.groups && !gameOver && PairingModel::GroupAt(position) >= 0);
    }
    void LetGo() override {
        selected = readSelected;
        selectedCount = readCount;
    }
    std::vector<uint8_t> readSelected;
    int32_t readCount = 0;
};
