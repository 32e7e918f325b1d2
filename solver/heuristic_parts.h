// Pieces the games' move orderings share: the generic score, a card's place in its foundation's
// climb, and the tests for a card no other card can still need.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// A strong 64-bit mix: every input bit flips about half the output bits.
inline uint64_t Mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

// The hash of a run of cards after a leading byte, eight bytes mixed at a time. Hashes of places
// the rules treat alike are summed, so their order plays no part, as in a sorted code.
inline uint64_t RunHash(uint64_t seed, int lead, const Card* cards, int count) {
    uint64_t hash = seed, word = static_cast<uint64_t>(lead & 0xFF) | static_cast<uint64_t>(count & 0xFF) << 8;
    int bytes = 2;
    for (int i = 0; i < count; ++i) {
        word |= static_cast<uint64_t>(cards[i].Index() + 1) << (8 * bytes);
        if (++bytes == 8) {
            hash = Mix(hash ^ word);
            word = 0;
            bytes = 0;
        }
    }
    return Mix(hash ^ word);
}

// The foundations' top cards hashed as a set (summed), as CodeBuffer::SortedTops codes them.
template <typename Tops>
uint64_t TopsHash(const Tops& tops) {
    uint64_t hash = 0;
    for (const Card& top : tops)
        if (top.IsValid()) hash += Mix(0x100 | static_cast<uint64_t>(top.Index()));
    return hash;
}

// The first `count` piles hashed as a set (summed), each with how many of its cards lie face down
// (none without `faceDown`), as CodeBuffer::SortedPiles codes them.
template <typename Piles, typename Counts>
uint64_t PilesHash(const Piles& tableau, const Counts& pileCount, int count, const Counts* faceDown = nullptr) {
    uint64_t hash = 0;
    for (int pile = 0; pile < count; ++pile)
        hash += RunHash(2, faceDown ? (*faceDown)[pile] : 0, tableau[pile].data(), pileCount[pile]);
    return hash;
}

// Each of the first `count` piles' hashes, as PilesHash sums them.
template <class P>
void PileHashes(const P& p, int count, bool faceDown, uint64_t* out) {
    for (int pile = 0; pile < count; ++pile)
        out[pile] = RunHash(2, faceDown ? p.faceDownCount[pile] : 0, p.tableau[pile].data(), p.pileCount[pile]);
}
// PilesHash of `after`, a child of `before` (whose pile hashes are `known`), hashing again only
// the piles the move changed. A move changes a pile only at its top (cards taken off or put on,
// the top card turned), so a pile with its size, face-down count and top card as before is as
// before; a pile emptied and filled again in the same move has a new top card.
template <class P>
uint64_t PilesHashFrom(const P& before, const uint64_t* known, const P& after, int count, bool faceDown) {
    uint64_t hash = 0;
    for (int pile = 0; pile < count; ++pile) {
        const int n = after.pileCount[pile];
        if (n == before.pileCount[pile] && after.faceDownCount[pile] == before.faceDownCount[pile] &&
            (n == 0 || after.tableau[pile][n - 1] == before.tableau[pile][n - 1]))
            hash += known[pile];
        else
            hash += RunHash(2, faceDown ? after.faceDownCount[pile] : 0, after.tableau[pile].data(), n);
    }
    return hash;
}

// A position's code built in a fixed buffer (no allocation and no per-byte growth while
// searching), with the places the rules treat alike (tableau piles, foundations) sorted, so
// positions that differ only in which pile or foundation holds what are searched once.
class CodeBuffer {
public:
    void Byte(int value) { bytes[size++] = static_cast<uint8_t>(value); }
    void CardByte(Card card) { Byte(card.IsValid() ? card.Index() : 0xFF); }
    void Run(const Card* cards, int count) {
        Byte(count);
        for (int i = 0; i < count; ++i) CardByte(cards[i]);
    }
    template <size_t F>
    void SortedTops(const std::array<Card, F>& tops) {
        for (uint8_t top : SortedTopIndices(tops)) Byte(top);
    }
    // The first `used` piles (all by default), the first faceDown[i] cards of pile i face down
    // (faceDown may be null).
    template <size_t Piles, size_t Slots>
    void SortedPiles(const std::array<std::array<Card, Slots>, Piles>& piles, const std::array<int32_t, Piles>& counts,
                     const int32_t* faceDown, size_t used = Piles) {
        std::array<std::array<uint8_t, Slots + 2>, Piles> codes{};
        std::array<uint64_t, Piles> keys{};
        std::array<uint8_t, Piles> order{};
        for (size_t i = 0; i < used; ++i) {
            codes[i][0] = static_cast<uint8_t>(faceDown ? faceDown[i] : 0);
            codes[i][1] = static_cast<uint8_t>(counts[i]);
            for (int k = 0; k < counts[i]; ++k) codes[i][static_cast<size_t>(k) + 2] = static_cast<uint8_t>(piles[i][k].Index());
            // Sorted on their first eight bytes, the rest only on a tie.
            for (size_t b = 0; b < 8; ++b) keys[i] = keys[i] << 8 | codes[i][b];
            order[i] = static_cast<uint8_t>(i);
        }
        std::sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(used), [&](uint8_t a, uint8_t b) {
            return keys[a] != keys[b] ? keys[a] < keys[b] : codes[a] < codes[b];
        });
        for (size_t k = 0; k < used; ++k) {
            const auto& code = codes[order[k]];
            std::memcpy(bytes.data() + size, code.data(), static_cast<size_t>(code[1]) + 2);
            size += static_cast<size_t>(code[1]) + 2;
        }
    }
    void Into(PositionCode& out) const { out.bytes.assign(reinterpret_cast<const char*>(bytes.data()), size); }

private:
    std::array<uint8_t, 512> bytes;  // only the first `size` bytes are read
    size_t size = 0;
};

}  // namespace heuristic
