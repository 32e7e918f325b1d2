// Positions set by hand: every place of a model's position emptied, a pile or the stock given
// exactly these cards. The models' own tests build positions with these; the tables' tests set
// their table's position with the same ones.
#pragma once

#include <initializer_list>

#include "cards/card.h"

namespace model_positions {

// The piles of a position: fanned (tableau) or showing their top card only (piles).
template <class P>
auto& Piles(P& p) {
    if constexpr (requires { p.tableau; }) return p.tableau;
    else return p.piles;
}

// Every pile, foundation, waste and stock of the position emptied.
template <class P>
void Clear(P& p) {
    if constexpr (requires { p.pileCount; }) {
        for (auto& pile : Piles(p)) pile.fill(Card());
        p.pileCount.fill(0);
    }
    if constexpr (requires { p.faceDownCount; }) p.faceDownCount.fill(0);
    if constexpr (requires { p.foundations; }) p.foundations.fill(Card());
    if constexpr (requires { p.waste; }) {
        p.waste.fill(Card());
        p.wasteCount = 0;
    }
    if constexpr (requires { p.stock.count; }) p.stock.count = 0;
}
// Pile `pile` holding these cards, the first `faceDown` of them face down.
template <class P>
void SetPile(P& p, int pile, std::initializer_list<Card> cards, int faceDown = 0) {
    auto& slots = Piles(p)[pile];
    slots.fill(Card());
    int k = 0;
    for (Card card : cards) slots[k++] = card;
    p.pileCount[pile] = k;
    if constexpr (requires { p.faceDownCount; }) p.faceDownCount[pile] = faceDown;
}
// A waste of these cards, the last of them on top.
template <class P>
void SetWaste(P& p, std::initializer_list<Card> cards) {
    p.waste.fill(Card());
    p.wasteCount = 0;
    for (Card card : cards) p.waste[p.wasteCount++] = card;
}
// A stock of these cards, the first of them the next one dealt.
template <class P>
void SetStock(P& p, std::initializer_list<Card> cards) {
    p.stock.count = static_cast<int32_t>(cards.size());
    int k = p.stock.count;
    for (Card card : cards) p.stock.cards[--k] = card;
}

}  // namespace model_positions
