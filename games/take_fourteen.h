// Take Fourteen: the whole pack dealt face up into twelve fanned piles; pairs of top cards whose
// pip values add up to 14 are taken out by clicking them one after the other. It has no rule
// values and adds nothing to the menu.
#pragma once

#include "games/pairing_game.h"

class TakeFourteenGame : public PairingGame {
public:
    static constexpr int kGameNumber = 20;
    static constexpr int kPiles = 12;
    static constexpr int kPileSlots = 5;
    static constexpr int kPileX = 45, kPilePitch = 60, kPileY = 180, kFanStep = 25;
    static constexpr int kPairSum = 14;

    explicit TakeFourteenGame(Artwork* artwork);

    static int PileX(int pile) { return kPileX + kPilePitch * pile; }
    static int CardY(int index) { return kPileY + kFanStep * index; }

private:
    // Piles without holes too.
    bool CellsPossible(std::span<const Card> cells, const Deck&) const override;
    void DrawPlace(int pile, bool present) override;
    void CardOrigin(int pile, int k, int& x, int& y) const override { x = PileX(pile), y = CardY(k); }
    void Deal() override;
};
