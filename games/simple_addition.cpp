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

void SimpleAdditionGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!OnCard(x, y, SlotX(slot), kSlotY)) continue;
        if (selected[slot]) {
            SaveUndo();
            selected[slot] = 0;
            --selectedCount;
            DrawPlace(slot, true);
            artwork->PresentDirty();
        } else if (MaySelect(slot)) {
            SaveUndo();
            selected[slot] = 1;
            ++selectedCount;
            TryRemoval();
            Draw(true);
        }
    }
    Game::OnLButtonDown(keys, x, y);
    artwork->PresentDirty();
    CheckGameOver();
}

void SimpleAdditionGame::TryRemoval() {
    if (TryPair() || selectedCount != kGroupSize) return;
    int first = 0;
    while (!selected[first]) ++first;
    MakeMove({.kind = PlayMove::kSelect, .from = static_cast<int8_t>(first), .count = kGroupSize});
}
