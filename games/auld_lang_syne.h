// Auld Lang Syne on the table: the model (games/models/auld_lang_syne.h) dealt and drawn; cards
// move by a click.
#pragma once

#include "games/models/auld_lang_syne.h"
#include "games/play_position.h"

class AuldLangSyneGame : public ModelTable<AuldLangSyneModel, 3, kSettlesOnDraw> {
public:
    static constexpr int kStockX = 130, kStockY = 110;
    static constexpr int kColumnX = 330, kColumnPitch = 70;
    static constexpr int kFoundationY = 80;
    static constexpr int kPileY = 180, kPileStep = 20;

    using ModelTable::ModelTable;

    void StartDeal() override { fanDy = kPileStep; }
    // There is no dragging: a click on a top card that fits a foundation plays it there.
    void OnLButtonDown(WPARAM, int x, int y) override { ClickToPlay(x, y, kStockX, kStockY, [this] { DealRow(); }); }
    double GetScoreFactor() override { return rules.ScoreFactor(); }

    static int ColumnX(int k) { return kColumnX + kColumnPitch * k; }
    static int CardY(int index) { return kPileY + kPileStep * index; }

private:
    // A press on the stock: a card onto each pile, each sliding there from the stock.
    void DealRow();
    // The first row's cards slide as a press on the stock's do.
    void ShowDealt(const Position& now, int place, int index) override;
    // The card on top of the pile slides there from the stock.
    void SlideToPile(int pile);
    void DrawPlace(int place, bool present) override;
    // The piles' top cards are picked up (by a click) and played onto the foundations.
    PlaceView View(int place) const override;
    bool OverNow() const override;
    Play HowPlayed() const override { return kClicks; }
    Rect DrawnTop(int place) const override;
    bool StockDealsRow() const override { return true; }
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
};
