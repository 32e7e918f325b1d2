// The card value every game is built from: a suit and a rank index, copied by value.
#pragma once

#include <cstdint>

class Card {
public:
    static constexpr int32_t kNoSuit = -1;
    static constexpr int32_t kNoRank = -1;
    static constexpr int kSuitCount = 4;
    static constexpr int kRankCount = 13;
    static constexpr int kCardsPerPack = kSuitCount * kRankCount;

    // Rank indices. The Ace is the highest index although its pip value is 1.
    static constexpr int32_t kTwo = 0;
    static constexpr int32_t kTen = 8;
    static constexpr int32_t kJack = 9;
    static constexpr int32_t kQueen = 10;
    static constexpr int32_t kKing = 11;
    static constexpr int32_t kAce = 12;

    // The no-card value, which marks every empty slot.
    constexpr Card() = default;
    constexpr Card(int32_t suit, int32_t rank) : suit(suit), rank(rank) {}

    constexpr int32_t Suit() const { return suit; }
    constexpr int32_t Rank() const { return rank; }

    constexpr bool operator==(const Card&) const = default;

    // True for a real card (suit 0..3, rank 0..12); false for the no-card value and any other.
    constexpr bool IsValid() const {
        return suit >= 0 && suit < kSuitCount && rank >= 0 && rank < kRankCount;
    }
    // Suits 1 and 3 are red, 0 and 2 black.
    constexpr bool IsRed() const { return suit == 1 || suit == 3; }
    // Two .. King count 2 .. 13, the Ace counts 1 (games that add card values use this).
    constexpr int PipValue() const { return rank == kAce ? 1 : rank + 2; }
    // Position in per-card tables: suit x 13 + rank. Only meaningful for a valid card.
    constexpr int Index() const { return suit * kRankCount + rank; }

    // "Two" .. "Ace" for rank indices 0..12, an empty string for anything else.
    static const char* RankName(int rank);

private:
    int32_t suit = kNoSuit;
    int32_t rank = kNoRank;
};

inline constexpr Card kNoCard{};
