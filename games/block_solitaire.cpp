#include "games/block_solitaire.h"

#include <algorithm>

namespace {

bool IsCourt(Card card) {
    return card.Rank() == Card::kJack || card.Rank() == Card::kQueen || card.Rank() == Card::kKing;
}

}  // namespace

BlockSolitaireGame::BlockSolitaireGame(Artwork* artwork)
    : PairingGame(artwork, kGameNumber, {.places = kSlots, .pairSum = kPairSum, .refills = true}) {}

// Ace to Ten only: forty cards. Each exclusion shuffles what is left.
void BlockSolitaireGame::ExcludeCards() {
    for (int rank : {Card::kJack, Card::kQueen, Card::kKing}) deck.ExcludeRank(rank);
}

void BlockSolitaireGame::DrawPlace(int slot, bool present) {
    DrawSlot(SlotX(slot), SlotY(slot), Top(slot), selected[slot] != 0, present);
}

// No court card either.
bool BlockSolitaireGame::CellsPossible(std::span<const Card> cells, const Deck& stock) const {
    for (int i = 0; i < stock.Remaining(); ++i)
        if (IsCourt(stock.Peek(i))) return false;
    return std::none_of(cells.begin(), cells.end(), [](Card card) { return card.IsValid() && IsCourt(card); });
}
