#include "games/take_fourteen.h"

#include <algorithm>

#include "artwork/artwork.h"

namespace {

// Four rounds to every pile, then a fifth card to the first four: 52 cards.
constexpr int kFullRounds = 4;
constexpr int kPilesInLastRound = 4;
constexpr int kPileAreaBottom = TakeFourteenGame::kPileY + TakeFourteenGame::kFanStep * 4 + 82;

}  // namespace

TakeFourteenGame::TakeFourteenGame(Artwork* artwork)
    : PairingGame(artwork, kGameNumber,
                  {.places = kPiles, .cellsPerPlace = kPileSlots, .pairSum = kPairSum, .fanDx = kPilePitch,
                   .fanDy = kFanStep}) {}

bool TakeFourteenGame::CellsPossible(std::span<const Card> cells, const Deck& stock) const {
    for (int pile = 0; pile < kPiles; ++pile) {
        const auto pileCells = cells.subspan(pile * kPileSlots, kPileSlots);
        if (!std::is_partitioned(pileCells.begin(), pileCells.end(), [](Card card) { return card.IsValid(); }))
            return false;
    }
    return PairingGame::CellsPossible(cells, stock);
}

// ---- Deal ----

void TakeFourteenGame::Deal() {
    for (int round = 0; round <= kFullRounds; ++round) {
        const int pilesThisRound = round < kFullRounds ? kPiles : kPilesInLastRound;
        for (int pile = 0; pile < pilesThisRound; ++pile) DealTo(pile);
    }
    DrawStockArea(true);
    artwork->PresentDirty();
}

void TakeFourteenGame::ClickPoint(int pile, int& x, int& y) const {
    x = PileX(pile) + 20;
    y = CardY(std::max(Count(pile) - 1, 0)) + 30;
}

// ---- Drawing ----

void TakeFourteenGame::DrawPlace(int pile, bool present) {
    const int x = PileX(pile), right = x + artwork->cardWidth;
    if (present) artwork->RestoreBackground(x, right, kPileY, kPileAreaBottom);
    const int screen = artwork->screenBuffer;
    const int count = Count(pile);
    if (count == 0) artwork->DrawPlaceholder(x, kPileY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int k = 0; k < count; ++k)
        artwork->DrawCard(x, CardY(k), Cell(pile, k), screen, k == count - 1 && selected[pile]);
    if (present) artwork->AddDirty({x, kPileY, right, kPileAreaBottom});
}

// ---- Moves ----

void TakeFourteenGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    for (int pile = 0; pile < kPiles; ++pile) {
        const int count = Count(pile);
        if (count > 0 && OnCard(x, y, PileX(pile), CardY(count - 1))) ClickPlace(pile);
    }
    Game::OnLButtonDown(keys, x, y);
    if (selectedCount > 2) {
        std::fill(selected.begin(), selected.end(), 0);
        selectedCount = 0;
    }
    artwork->PresentDirty();
    CheckGameOver();
}
