// Block Solitaire: the forty cards Ace to Ten laid out in a block of three rows of four and
// refilled from the stock; two cards whose pip values add up to 11 are taken out by clicking them
// one after the other. It has no rule values and adds nothing to the menu.
#pragma once

#include "games/pairing_game.h"

class BlockSolitaireGame : public PairingGame {
public:
    static constexpr int kGameNumber = 4;
    static constexpr int kColumns = 4;
    static constexpr int kRows = 3;
    static constexpr int kSlots = kColumns * kRows;
    static constexpr int kSlotX = 200, kSlotPitch = 66;
    static constexpr int kRowY[kRows] = {130, 240, 350};
    static constexpr int kPairSum = 11;

    explicit BlockSolitaireGame(Artwork* artwork);

    static int SlotX(int slot) { return kSlotX + kSlotPitch * (slot % kColumns); }
    static int SlotY(int slot) { return kRowY[slot / kColumns]; }

private:
    bool CellsPossible(std::span<const Card> cells, const Deck& stock) const override;
    void DrawPlace(int slot, bool present) override;
    void CardOrigin(int slot, int, int& x, int& y) const override { x = SlotX(slot), y = SlotY(slot); }
    void ExcludeCards() override;
};
