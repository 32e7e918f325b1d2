#include "games/simple_addition.h"

#include "artwork/artwork.h"

// Undo makes no sound here.
SimpleAdditionGame::SimpleAdditionGame(Artwork* artwork)
    : PairingGame(artwork, kGameNumber,
                  {.places = kSlots, .pairSum = kPairSum, .maxSelected = kGroupSize, .refills = true,
                   .undoSound = false, .groups = true}) {}

void SimpleAdditionGame::DrawPlace(int slot, bool present) {
    DrawSlot(SlotX(slot), kSlotY, slots[slot], selected[slot] != 0, present);
}

// ---- Moves ----

bool SimpleAdditionGame::MaySelect(int slot) const {
    const Card card = slots[slot];
    if (!card.IsValid()) return false;
    if (selected[slot] || selectedCount == 0) return true;
    if (selectedCount >= kGroupSize) return false;
    // Every card selected so far must go with this one: all low, or all high of one suit.
    for (int other = 0; other < kSlots; ++other) {
        if (!selected[other]) continue;
        const Card chosen = slots[other];
        if (selectedCount == 1 && !IsHigh(chosen) && !IsHigh(card)) continue;
        if (!IsHigh(chosen) || !IsHigh(card) || chosen.Suit() != card.Suit()) return false;
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

// A pair, or else a whole group of high cards, one card after the other.
void SimpleAdditionGame::TryRemoval() {
    if (TryPair() || selectedCount != kGroupSize) return;
    int removed = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!selected[slot]) continue;
        PauseBriefly(kRemovalPauseMs);
        TakeOutTop(slot);
        artwork->PresentDirty();
        ++removed;
    }
    points += PairingModel::kPointsPerGroupCard * removed;
    selectedCount = 0;
    Refill();
}

