#include "games/simple_addition.h"

// Every card selected so far must go with this one: all low, or all high of one suit.
bool SimpleAdditionGame::MaySelect(int slot) const {
    const Card card = Top(slot);
    if (!card.IsValid()) return false;
    if (selected[slot] || selectedCount == 0) return true;
    if (selectedCount >= Model::kGroupSize) return false;
    for (int other = 0; other < kSlots; ++other) {
        if (!selected[other]) continue;
        const Card chosen = Top(other);
        const bool high = PairingModel::IsHigh(chosen);
        if (selectedCount == 1 && !high && !PairingModel::IsHigh(card)) continue;
        if (!high || !PairingModel::IsHigh(card) || chosen.Suit() != card.Suit()) return false;
    }
    return true;
}

// A card that may join the selection joins it, and a pair, or else a whole group of high cards,
// it completes is taken out.
void SimpleAdditionGame::ClickPlace(int slot) {
    if (selected[slot]) return PairingGame::ClickPlace(slot);
    if (!MaySelect(slot)) return;
    SaveUndo();
    selected[slot] = 1;
    ++selectedCount;
    if (!TryPair() && selectedCount == Model::kGroupSize) {
        int from = 0;
        while (!selected[from]) ++from;
        MakeMove({.kind = PlayMove::kSelect, .from = static_cast<int8_t>(from), .count = Model::kGroupSize});
    }
    Draw(true);
}
