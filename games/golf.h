// Golf on the table: the model (games/models/golf.h) dealt and drawn; cards are played by a single
// click.
#pragma once

#include "games/models/golf.h"
#include "games/play_position.h"

class GolfGame : public ModelTable<GolfModel, 11, kSettlesOnDraw> {
public:
    static constexpr int kStockX = 95, kStockY = 370;
    static constexpr int kFoundationX = 150, kFoundationY = 370, kFoundationStep = 10;
    static constexpr int kColumnX = 160, kColumnPitch = 80;
    static constexpr int kTableauY = 140, kTableauStep = 15;

    using ModelTable::ModelTable;

    void StartDeal() override { fanDy = kTableauStep; }
    // A click plays a column's top card at once when it fits; nothing is dragged.
    void OnLButtonDown(WPARAM, int x, int y) override {
        ClickToPlay(x, y, kStockX, kStockY, [this] { TurnStock(Model::kPilePlace); });
    }
    double GetScoreFactor() override { return rules.ScoreFactor(); }
    bool IsWon() override { return gameOver && GolfModel::Cleared(position); }
    static int ColumnX(int column) { return kColumnX + kColumnPitch * column; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }

private:
    // The pile fans out right from its first card; an empty column shows nothing.
    void DrawPlace(int place, bool present) override;
    // The columns' top cards are picked up (by a click) and played onto the pile.
    PlaceView View(int place) const override;
    Play HowPlayed() const override { return kClicks; }
    // The pile is the foundation; once begun, cards go onto its top.
    bool StartsFoundation(int place) const override { return place == Model::kPilePlace && position.pileCount == 0; }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
