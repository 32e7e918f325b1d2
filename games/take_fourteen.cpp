#include "games/take_fourteen.h"

#include <algorithm>

namespace {

constexpr int kPileAreaBottom = TakeFourteenGame::kPileY + TakeFourteenGame::kFanStep * 4 + 82;

}  // namespace

TakeFourteenGame::TakeFourteenGame(Artwork* artwork)
    : PairingGame(artwork, kGameNumber,
                  {.places = kPiles, .cellsPerPlace = kPileSlots, .pairSum = kPairSum, .fanDx = kPilePitch,
                   .fanDy = kFanStep}) {}

bool TakeFourteenGame::CellsPossible(std::span<const Card> cells, const Deck&) const {
    for (int pile = 0; pile < kPiles; ++pile) {
        const auto pileCells = cells.subspan(pile * kPileSlots, kPileSlots);
        if (!std::is_partitioned(pileCells.begin(), pileCells.end(), [](Card card) { return card.IsValid(); }))
            return false;
    }
    return true;
}

// ---- Deal ----

// A card to each pile in turn while the pack lasts: four rounds, and a fifth card to the first four.
void TakeFourteenGame::Deal() {
    for (int round = 0; round < kPileSlots; ++round)
        for (int pile = 0; pile < kPiles; ++pile) DealTo(pile);
    DrawStockArea(true);
    artwork->PresentDirty();
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
