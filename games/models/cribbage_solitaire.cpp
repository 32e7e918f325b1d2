#include "games/models/cribbage_solitaire.h"

#include <algorithm>

namespace {

constexpr int kFifteen = 15;
constexpr int kFaceCardValue = 10;

int CountingValue(Card card) { return std::min(card.PipValue(), kFaceCardValue); }

// Subsets of cards[from..] that bring `sum` to exactly fifteen.
int Fifteens(const std::array<Card, 5>& cards, int from, int sum) {
    int found = 0;
    for (int i = from; i < static_cast<int>(cards.size()); ++i) {
        const int next = sum + CountingValue(cards[i]);
        if (next == kFifteen) ++found;
        else if (next < kFifteen) found += Fifteens(cards, i + 1, next);
    }
    return found;
}

}  // namespace

int CribbageParts::ScoreHand(const std::array<Card, 4>& hand, Card starter) {
    const std::array<Card, 5> all = {hand[0], hand[1], hand[2], hand[3], starter};
    int score = 0;
    for (Card card : hand)
        if (card.Rank() == Card::kJack && card.Suit() == starter.Suit()) {
            score += 1;  // his nobs
            break;
        }
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 5; ++j)
            if (all[i].Rank() == all[j].Rank()) score += 2;
    if (std::all_of(hand.begin(), hand.end(), [&](Card c) { return c.Suit() == hand[0].Suit(); }))
        score += starter.Suit() == hand[0].Suit() ? 5 : 4;
    score += 2 * Fifteens(all, 0, 0);

    // Runs with the Ace low: walk Ace .. King keeping the length and how many ways it can be made.
    std::array<int, Card::kRankCount + 1> perPip{};
    for (Card card : all) ++perPip[card.PipValue()];
    int length = perPip[1] > 0 ? 1 : 0;
    int ways = perPip[1] == 2 || perPip[1] == 3 ? perPip[1] : 1;
    for (int pip = 2; pip <= Card::kRankCount; ++pip) {
        const int n = perPip[pip];
        if (n == 0) {
            if (length >= 3) score += length * ways;
            length = 0;
            ways = 1;
            continue;
        }
        ++length;
        if (n == 2) ways = ways == 1 ? ways + 1 : ways + 2;
        else if (n == 3) ways += 2;
    }
    if (length >= 3) score += length * ways;
    return score;
}

bool CribbageParts::Accepts(const std::array<Card, 16>& grid, int i) {
    if (i < 0 || i >= kSide * kSide) return false;
    if (std::none_of(grid.begin(), grid.end(), [](Card c) { return c.IsValid(); })) return true;
    if (grid[i].IsValid()) return false;
    const int row = i / kSide, column = i % kSide;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc) {
            const int r = row + dr, c = column + dc;
            if (r >= 0 && r < kSide && c >= 0 && c < kSide && grid[r * kSide + c].IsValid()) return true;
        }
    return false;
}
