#include "games/calculation.h"

// ---- The game ----

CalculationGame::PlaceView CalculationGame::View(int place) const {
    if (place == Model::kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place == Model::kCurrentPlace)
        return {.x = kCurrentX, .y = kCurrentY, .cards = &position.current,
                .count = position.current.IsValid() && lifted != place, .pickup = true};
    if (place < Model::kWastePlace) {
        const int k = place - Model::kFoundationPlace;
        return {.x = PileX(k), .y = kFoundationY, .cards = &position.foundationTops[k], .count = 1, .targetKind = kAutoMoveKind};
    }
    const int k = place - Model::kWastePlace;
    return {.x = PileX(k), .y = kWasteY, .dy = kWasteFanStep, .cards = position.waste[k].data(),
            .count = position.wasteCounts[k] - (lifted == place), .pickup = true, .targetKind = kPlainTargetKind};
}

void CalculationGame::StartDeal() {
    fanDy = kWasteFanStep;
}

void CalculationGame::DrawPlace(int place, bool present) {
    const int k = place - Model::kFoundationPlace;
    if (place == Model::kStockPlace) play_position::DrawStockArea(*this, kStockX, kStockY, present);
    else if (place == Model::kCurrentPlace) DrawView(place, present, false);
    else if (place >= Model::kWastePlace) DrawView(place, present, true, play_position::kScreenBottom);
    else play_position::DrawFoundationArea(*this, PileX(k), kFoundationY, position.foundationTops[k],
                                           position.startRanks[k], position.foundationCounts[k], present);
}

// A foundation shows its top on the layers of its count.
Rect CalculationGame::DrawnTop(int place) const {
    const int k = place - Model::kFoundationPlace;
    if (place == Model::kStockPlace || place == Model::kCurrentPlace || place >= Model::kWastePlace) return ModelTable::DrawnTop(place);
    return artwork->CardRect(artwork->FoundationTopPosition(PileX(k), kFoundationY, position.foundationTops[k],
                                                            position.startRanks[k], position.foundationCounts[k]));
}

void CalculationGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    if (OnStockTop(x, y, kStockX, kStockY)) {
        // The next card comes only once the one showing has been placed.
        if (position.current.IsValid()) return;
        SaveUndo();
        return TurnStock(Model::kCurrentPlace);
    }
    Game::OnLButtonDown(keys, x, y);
}

bool CalculationGame::OverNow() const { return !dragging && CalculationModel::Over(position); }

// The foundation tops, the waste piles and their counts, the current card, the foundation counts.
bool CalculationGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.foundationTops);
    fields.Piles(read.waste);
    fields.Counts(read.wasteCounts, 0, Model::kWasteSlots);
    fields.Card1(read.current);
    fields.Counts(read.foundationCounts, 1, Card::kRankCount);
    for (int k = 0; k < Model::kWastePiles; ++k) ClearPastCount(read.waste[k], read.wasteCounts[k]);
    return true;
}

// Each foundation's top must be where its steps from the starting rank lead, and every card must
// be in play exactly once.
bool CalculationGame::Possible(const Position& read, const Deck& stock) const {
    for (int k = 0; k < Model::kFoundations; ++k) {
        int rank = read.startRanks[k];
        for (int i = 1; i < read.foundationCounts[k]; ++i) rank = Model::FollowingRank(rank, k);
        if (read.foundationTops[k].Rank() != rank) return false;
    }
    return ModelTable::Possible(read, stock);
}
