#include "games/monte_carlo.h"

#include <algorithm>

// ---- Deal ----

void MonteCarloGame::ShowDealt(const Position& now, int cell, int) {
    position = now;
    DrawStockArea(true);
    AnimateCard(kStockX, kStockY, CellX(cell), CellY(cell), position.grid[cell], {.fast = true});
    PlaySound("deal.wav");
}

// ---- Moves ----

// What the screen shows of a pair going: each card's cell cleared, the pair sound, and after a
// close-up the stock and every cell redrawn.
struct MonteCarloGame::TableHooks {
    MonteCarloGame& game;

    void TookOut(int cell) { game.DrawPlace(cell, true); }
    void Removed() {
        game.PlaySound("pair.wav");
        game.points += Model::kPointsPerPair;
    }
    void ClosedUp(int dealt) {
        for (int i = 0; i < dealt; ++i) game.deck.DealNext();
        game.DrawStockArea(true);
        for (int cell = 0; cell < game.position.rows * Model::kColumns; ++cell) game.DrawPlace(cell, true);
    }
};

// A pair the model makes leaves through the hooks; any other click changes at most the clicked
// card's selection.
void MonteCarloGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    const Hotspot* spot = FindPickupAt(x, y);
    if (!spot) return;
    if (const std::optional<PlayMove> pair = PickForPair(*spot)) {
        SaveUndo();
        Refresh();
        TableHooks hooks{*this};
        MonteCarloModel::Play(position, *pair, hooks);
    } else {
        DrawPlace(PlaceAt(spot->x, spot->y), true);
    }
    artwork->PresentDirty();
    CheckGameOver();
}

// ---- Undo ----

bool MonteCarloGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.grid);
    const int inPlay = read.rows * Model::kColumns;
    return std::none_of(read.grid.begin() + inPlay, read.grid.end(), [](Card card) { return card.IsValid(); });
}
