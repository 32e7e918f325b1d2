// The deal against a second, deliberately plain implementation of the generator and the shuffle
// written from their description.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "cards/deck.h"
#include "platform/crt.h"

namespace {

// The generator and the shuffle in their simplest form: draw suit, then rank, until the card
// is in the deck and not yet placed `packs` times.
std::vector<Card> ReferenceOrder(uint32_t seed, int packs, const std::vector<Card>& excluded) {
    uint32_t state = seed;
    auto next = [&state] {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    };
    int placed[4][13] = {};
    bool out[4][13] = {};
    for (const Card& card : excluded) out[card.Suit()][card.Rank()] = true;
    const int total = packs * (52 - static_cast<int>(excluded.size()));
    std::vector<Card> order;
    while (static_cast<int>(order.size()) < total) {
        const int suit = next() % 4;
        const int rank = next() % 13;
        if (out[suit][rank] || placed[suit][rank] >= packs) continue;
        ++placed[suit][rank];
        order.emplace_back(suit, rank);
    }
    return order;
}

TEST(ShuffleReference, WholeDealsMatchAPlainReimplementation) {
    struct Case {
        uint32_t seed;
        int packs;
        std::vector<Card> excluded;
    };
    const Case cases[] = {{1, 1, {}}, {1777, 2, {}}, {424242, 1, {Card(0, 12), Card(1, 12), Card(2, 0)}}};
    for (const Case& c : cases) {
        Deck deck;
        deck.SetPacks(c.packs);
        for (const Card& card : c.excluded) deck.Exclude(card);
        crt::srand(c.seed);
        deck.Shuffle();
        const std::vector<Card> expected = ReferenceOrder(c.seed, c.packs, c.excluded);
        ASSERT_EQ(deck.Total(), static_cast<int>(expected.size())) << c.seed;
        for (int i = 0; i < deck.Total(); ++i) {
            const Card dealt = deck.DealNext();
            ASSERT_EQ(dealt, expected[i]) << "seed " << c.seed << " position " << i;
        }
        EXPECT_EQ(deck.DealNext(), kNoCard);
    }
}

}  // namespace
