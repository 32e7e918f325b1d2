// Golf: a grid of face-up columns cleared onto one discard pile. A column's top card goes onto the
// pile when it is one rank above or below the pile's top card, suit regardless; when nothing fits
// the player turns the next stock card onto the pile. Cards are played by a single click.
#pragma once

#include <array>
#include <cstdint>

#include "games/play_position.h"

// The rules as a model of play; its rule values are "WrapAround" (King and Ace are neighbours
// both ways), "FlipFirst" (the deal ends by turning the first stock card) and "SevenByFive" (7
// columns of 5 cards, else 6 of 6), read whenever a rule needs them. Places: 0 the stock, 1 the discard pile (the foundation),
// 2 + c column c. A press on the stock is a kStock; a column's top card played onto the pile a
// kMove from the column to place 1, made by clicking the card.
struct GolfParts {
    static constexpr int kMaxColumns = 7, kColumnSlots = 6;
    static constexpr int kStockPlace = 0, kPilePlace = 1, kColumnPlace = 2, kPlaces = kColumnPlace + kMaxColumns;
    static constexpr int kPointsPerCard = 5;
    // Playing onto a King or a King onto an Ace is only possible round the corner, and earns less.
    static constexpr int kWrapPenalty = 3;

    struct Position {
        int32_t points = 0;
        int32_t wrapAround = 0;  // King and Ace are neighbours both ways
        int32_t stockCount = 0;
        int32_t pileCount = 0;
        std::array<int32_t, kMaxColumns> columnCount{};
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is turned next
        std::array<Card, Card::kCardsPerPack> pile{};   // bottom first
        std::array<std::array<Card, kColumnSlots>, kMaxColumns> columns{};
    };

    // A card's value in Golf's rank order, where the Ace is low: Ace 0, Two 1 .. King 12.
    static int GolfValue(Card card) { return card.Rank() == Card::kAce ? 0 : card.Rank() + 1; }
    // May card go on a pile whose top card is top?
    static bool CanPlay(Card card, Card top, bool wrapAround);
    static Card PileTop(const Position& position) {
        return position.pileCount > 0 ? position.pile[position.pileCount - 1] : Card();
    }
    // May the top card of the column go onto the pile now (any card on an empty pile)?
    static bool Playable(const Position& position, int column);
    static bool Cleared(const Position& position);
};
// Won when over with every column cleared; over once the stock is used up and no column's top card
// fits. The code holds the columns, the stock and the pile's top card (the cards under it can
// never move again), not the points, so positions reached by different paths meet in a search.
// Golf keeps every card.
using GolfModel = PlayModel<GolfParts>;

class GolfGame : public ModelTable<GolfModel, 11, kSettlesOnDraw> {
public:
    static constexpr int kStockX = 95, kStockY = 370;
    static constexpr int kFoundationX = 150, kFoundationY = 370, kFoundationStep = 10;
    static constexpr int kColumnX = 160, kColumnPitch = 80;
    static constexpr int kTableauY = 140, kTableauStep = 15;

    using ModelTable::ModelTable;

    // Five cards to each of seven columns, or six to six, and with FlipFirst the first card onto the pile.
    void Deal() override;
    // A click plays a column's top card at once when it fits; nothing is dragged.
    void OnLButtonDown(WPARAM, int x, int y) override {
        ClickToPlay(x, y, kStockX, kStockY, [this] { TurnStock(kPilePlace); });
    }
    double GetScoreFactor() override { return RuleOn("SevenByFive") ? 0.95 : 1.0; }
    bool IsWon() override { return gameOver && GolfModel::Cleared(position); }

    // The current position, with the rule value from the settings.
    GolfModel::Position ModelPosition() const override {
        GolfModel::Position now = ModelTable::ModelPosition();
        now.wrapAround = RuleOn("WrapAround");
        return now;
    }
    static int ColumnX(int column) { return kColumnX + kColumnPitch * column; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }

private:
    // The pile fans out right from its first card; an empty column shows nothing.
    void DrawPlace(int place, bool present) override;
    // The columns' top cards are picked up (by a click) and played onto the pile.
    PlaceView View(int place) const override;
    Play HowPlayed() const override { return kClicks; }
    // The pile is the foundation; once begun, cards go onto its top.
    bool StartsFoundation(int place) const override { return place == kPilePlace && position.pileCount == 0; }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
