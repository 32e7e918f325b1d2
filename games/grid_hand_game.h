// The two grid games on the table, Cribbage Solitaire and Poker Solitaire: the model
// (games/models/grid_hand_model.h) drawn, each hand's score drawn beside its row or column once
// the grid is full. The final score is the points alone.
//
// The base owns the stock, the current card, the grid, the reserve piles, the held card, the
// pick-ups and drop targets, the undo record and the end of the game. A game gives its scoring
// and what sets it apart in a struct Parts, the template argument, and its number and layout in
// GridTable<Parts>.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/grid_hand_model.h"
#include "games/play_position.h"
#include "store/high_scores.h"

// Where a grid game puts its cards.
struct GridLayout {
    int32_t gridX, gridY, pitchX, pitchY;  // the top-left cell and the step to the next cell
    int32_t stockX, stockY;                // the current card lies a reserve pitch right of the stock
    int32_t reserveY;                      // the reserve piles' tops; the first pile lines up with the stock
    int32_t starterX = 0, starterY = 0;
};

// Each grid game's table header gives its number and layout:
//   static constexpr int kGameNumber;
//   static constexpr GridLayout kLayout;
template <typename Parts>
struct GridTable;

template <typename Parts>
class GridHandGame : public ModelTable<GridHandModel<Parts>, GridTable<Parts>::kGameNumber, kSettlesOnDraw> {
    using Table = ModelTable<GridHandModel<Parts>, GridTable<Parts>::kGameNumber, kSettlesOnDraw>;
    static constexpr GridLayout L = GridTable<Parts>::kLayout;

public:
    using Model = GridHandModel<Parts>;
    using typename Table::Position;
    static constexpr int kSide = Parts::kSide, kCells = kSide * kSide;
    static constexpr int kReservePitch = 70, kReserveY = L.reserveY, kReserveStep = 15;
    static constexpr int kCurrentX = L.stockX + kReservePitch, kCurrentY = L.stockY;
    static constexpr int kReserveKind = 4;

    explicit GridHandGame(Artwork* artwork) : Table(artwork) { this->endsWhenFull = true; }

    void StartDeal() override {
        this->fanDy = kReserveStep;
        hands = HandScores();
    }
    // A full grid ends the game whatever the Auto Game Over preference says.
    bool CheckGameOver() override {
        gameOver = endedByUser || GridFull();
        this->RegisterPlaces();
        return gameOver;
    }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    // Time costs nothing and a win adds nothing: the final score is the points.
    int GetTimeAdjustment(int) override { return 0; }
    double GetWinFactor() override { return 1.0; }
    bool IsWon() override { return gameOver && finalScore >= TenthScore(GetName()); }

    static int CellX(int i) { return L.gridX + L.pitchX * (i % kSide); }
    static int CellY(int i) { return L.gridY + L.pitchY * (i / kSide); }
    static int ReserveX(int k) { return L.stockX + kReservePitch * k; }
    static int ReserveCardY(int index) { return kReserveY + kReserveStep * index; }
    bool GridFull() const { return Model::GridFull(position); }

    // A click on a cell places the current card there; any other move drags.
    bool GestureFor(const PlayMove& move, MoveGesture& gesture) override {
        if (!Table::GestureFor(move, gesture)) return false;
        if (move.from == Model::kCurrentPlace && move.to >= Model::kCellPlace)
            gesture = {MoveGesture::kClick, gesture.toX, gesture.toY, gesture.toX, gesture.toY};
        return true;
    }

    // The table's own state, named here since the base depends on the game.
    using Table::position, Table::artwork, Table::deck, Table::endedByUser, Table::finalScore, Table::gameOver,
        Table::kScoreNotComputed, Table::paused, Table::points, Table::lifted;
    struct HandScores {
        std::array<int32_t, 2 * kSide> lines{};
        int32_t total = 0;
    } hands;

private:
    using Table::AnimateCard, Table::CanDrop, Table::DropCards, Table::FindDropTargetAt, Table::FinishGame,
        Table::GetName, Table::LiftCards, Table::PlaySound, Table::SaveUndo;

    // The current card and the reserve piles' tops are dragged; the empty cells and the reserve
    // piles take them.
    play_position::PlaceView View(int place) const override;
    // The fields of the undo record after its base part, for writing and reading alike; the hand
    // scores read wait in readHands until the record has proved good.
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
    void LetGo() override {
        hands = readHands;
        Table::LetGo();
    }
    HandScores readHands;
    bool handScoresShown = false;  // the labels are on the screen since the last table drawing
    void DrawAreas(bool present) override;
    // The current card or a reserve pile, the places a card is lifted from.
    void DrawPlace(int place, bool present) override {
        if (place == Model::kCurrentPlace) this->DrawView(place, present, !gameOver);
        else this->DrawView(place, present, true, ReserveCardY(Position::kReserveSlots - 1) + artwork->cardHeight);
    }
    void DrawHandScores();
    // Shows the placed card, and the card the model turned next (the starter once the grid is
    // full), taking it off the deck too; a full grid has its hands scored and ends the game.
    void Landed(const PlayMove& move, int scored) override;
};
