#include "games/simple_addition.h"

// Undo makes no sound here.
SimpleAdditionGame::SimpleAdditionGame(Artwork* artwork)
    : PairingGame(artwork, kGameNumber,
                  {.places = kSlots, .pairSum = kPairSum, .maxSelected = kGroupSize, .refills = true,
                   .undoSound = false, .groups = true}) {}

void SimpleAdditionGame::DrawPlace(int slot, bool present) {
    DrawSlot(SlotX(slot), kSlotY, Top(slot), selected[slot] != 0, present);
}

// ---- Moves ----

bool SimpleAdditionGame::MaySelect(int slot) const {
    const Card card = Top(slot);
    if (!card.IsValid()) return false;
    if (selected[slot] || selectedCount == 0) return true;
    if (selectedCount >= kGroupSize) return false;
    // Every card selected so far must go with this one: all low, or all high of one suit.
    for (int other = 0; other < kSlots; ++other) {
        if (!selected[other]) continue;
        const Card chosen = Top(other);
        const bool high = PairingModel::IsHigh(chosen);
        if (selectedCount == 1 && !high && !PairingModel::IsHigh(card)) continue;
        if (!high || !PairingModel::IsHigh(card) || chosen.Suit() != card.Suit()) return false;
    }
    return true;
}

// A card that may join the selection joins it, and a removal it completes is made.
void SimpleAdditionGame::ClickPlace(int slot) {
    if (selected[slot]) return PairingGame::ClickPlace(slot);
    if (!MaySelect(slot)) return;
    SaveUndo();
    selected[slot] = 1;
    ++selectedCount;
    TryRemoval();
    Draw(true);
}

void SimpleAdditionGame::TryRemoval() {
    if (TryPair() || selectedCount != kGroupSize) return;
    int first = 0;
    while (!selected[first]) ++first;
    MakeMove({.kind = PlayMove::kSelect, .from = static_cast<int8_t>(first), .count = kGroupSize});
}
