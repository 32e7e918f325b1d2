// Pieces the games' move orderings share: the generic score, a card's place in its foundation's
// climb, and the tests for a card no other card can still need.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "cards/card.h"
#include "framework/play_model.h"

namespace heuristic {

// Points scored first, a card turned face up before anything else, the stock's redeal last.
inline int Generic(const PlayMove& move, int points) {
    int score = points * 16;
    if (move.kind == PlayMove::kFlip) score += 1000;
    if (move.kind == PlayMove::kDeal) score -= 80;
    return score;
}

// A card's place in its foundation's sequence (0 for the starting rank).
inline int Order(const Card& card, int startRank) {
    return (card.Rank() - startRank + Card::kRankCount) % Card::kRankCount;
}

// Whether every card that could be built on `card` in the tableau (buildsOn(other, card)) is on
// a foundation already, all `packs` copies of it. Then `card` has no use left on the table, and
// putting it home can never be wrong.
template <size_t F, typename BuildsOn>
bool NothingBuildsOn(Card card, const std::array<Card, F>& foundations, int startRank, int packs, BuildsOn buildsOn) {
    if (!card.IsValid() || startRank < 0) return false;
    for (int suit = 0; suit < Card::kSuitCount; ++suit)
        for (int rank = 0; rank < Card::kRankCount; ++rank) {
            const Card other(suit, rank);
            if (!buildsOn(other, card)) continue;
            int home = 0;
            for (Card top : foundations)
                home += top.IsValid() && top.Suit() == suit && Order(top, startRank) >= Order(other, startRank);
            if (home < packs) return false;
        }
    return true;
}

// The card a move put on foundation place `to` (the model's first foundation place is `first`),
// when the move was a single card to a foundation; else no card.
template <typename Position>
Card CardSentHome(const Position& after, const PlayMove& move, int first) {
    const int f = move.to - first;
    if (move.kind != PlayMove::kMove || move.count != 1 || f < 0 || f >= static_cast<int>(after.foundations.size()))
        return Card();
    return after.foundations[f];
}

// Uncovering a face-down card is worth more than a move between piles; more so on a deep pile.
inline int Uncovers(const PlayMove& move, int firstPile, int piles, const int32_t* faceDown) {
    const int pile = move.from - firstPile;
    if (move.kind != PlayMove::kMove || pile < 0 || pile >= piles) return 0;
    return move.index == faceDown[pile] && faceDown[pile] > 0 ? 200 + 10 * faceDown[pile] : 0;
}

// The foundations' tops as card indices in sorted order (no card last): where any suit may claim
// any foundation, positions that differ only in which foundation holds what code alike.
template <size_t F>
std::array<uint8_t, F> SortedTopIndices(const std::array<Card, F>& tops) {
    std::array<uint8_t, F> sorted{};
    for (size_t f = 0; f < F; ++f) sorted[f] = tops[f].IsValid() ? static_cast<uint8_t>(tops[f].Index()) : 0xFF;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

}  // namespace heuristic
