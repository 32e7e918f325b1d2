#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "cards/deck.h"
#include "platform/crt.h"

namespace {

// Cards of the order that are still to be dealt, counted per card.
std::map<int, int> CountOrder(const Deck& deck) {
    std::map<int, int> counts;
    for (int i = 0; i < deck.Total(); ++i) ++counts[deck.OrderAt(i).Index()];
    return counts;
}

std::vector<uint8_t> Saved(const Deck& deck) {
    std::vector<uint8_t> bytes;
    deck.AppendSavedForm(bytes);
    return bytes;
}

void PutInt32(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

constexpr size_t kPlacedAt = 52, kOrderAt = 104, kNextAt = 936, kRemainingAt = 940, kTotalAt = 944,
                 kPacksAt = 948;

}  // namespace

struct DeckCase {
    int packs;
    std::vector<Card> excluded;
    int excludedRank;  // -1 for none
};

class DeckConservationTest : public testing::TestWithParam<DeckCase> {};

TEST_P(DeckConservationTest, EveryIncludedCardExactlyPacksTimes) {
    const DeckCase& c = GetParam();
    Deck deck;
    crt::srand(7);
    deck.SetPacks(c.packs);
    deck.IncludeAll();
    deck.Shuffle();
    for (const Card& card : c.excluded) deck.Exclude(card);
    if (c.excludedRank >= 0) deck.ExcludeRank(c.excludedRank);

    const auto counts = CountOrder(deck);
    int included = 0;
    for (int suit = 0; suit < 4; ++suit) {
        for (int rank = 0; rank < 13; ++rank) {
            const Card card(suit, rank);
            const bool out = std::find(c.excluded.begin(), c.excluded.end(), card) != c.excluded.end() ||
                             rank == c.excludedRank;
            EXPECT_EQ(deck.IsIncluded(card), !out);
            const auto it = counts.find(card.Index());
            EXPECT_EQ(it == counts.end() ? 0 : it->second, out ? 0 : c.packs) << suit << "," << rank;
            EXPECT_EQ(deck.PlacedCount(card), out ? 0 : c.packs);
            included += out ? 0 : 1;
        }
    }
    EXPECT_EQ(deck.Total(), included * c.packs);
    EXPECT_EQ(deck.Remaining(), deck.Total());

    for (int i = 0; i < deck.Total(); ++i) EXPECT_TRUE(deck.DealNext().IsValid());
    EXPECT_EQ(deck.DealNext(), Card());
    EXPECT_EQ(deck.Remaining(), 0);
    for (int i = 0; i < 52; ++i) EXPECT_EQ(deck.PlacedCount(Card(i / 13, i % 13)), 0);
}

INSTANTIATE_TEST_SUITE_P(Decks, DeckConservationTest,
                         testing::Values(DeckCase{1, {}, -1}, DeckCase{2, {}, -1},
                                         DeckCase{1, {{0, 0}, {1, 5}, {2, 12}, {3, 11}}, -1},
                                         DeckCase{2, {{3, 3}}, Card::kAce}, DeckCase{1, {}, 4}));

TEST(DeckTest, ExcludingTwiceLowersTotalOnceButReshuffles) {
    Deck deck;
    deck.SetPacks(2);
    deck.Exclude(Card(0, 3));
    EXPECT_EQ(deck.Total(), 102);
    deck.DealNext();
    deck.DealNext();
    deck.Exclude(Card(0, 3));
    EXPECT_EQ(deck.Total(), 102);
    EXPECT_EQ(deck.Next(), 0);
    EXPECT_EQ(deck.Remaining(), 102);
    deck.IncludeAll();
    EXPECT_EQ(deck.Total(), 104);
}

TEST(DeckTest, DealPeekAndPutBackKeepTheBooks) {
    Deck deck;
    deck.SetPacks(1);
    const Card first = deck.Peek(0), second = deck.Peek(1);
    EXPECT_EQ(deck.Peek(-1), Card());
    EXPECT_EQ(deck.Peek(52), Card());
    EXPECT_EQ(deck.Peek(51), deck.OrderAt(51));

    // Three cards go to the waste, then come back from the last to the first.
    std::vector<Card> waste;
    for (int i = 0; i < 3; ++i) waste.push_back(deck.DealNext());
    EXPECT_EQ(waste[0], first);
    EXPECT_EQ(waste[1], second);
    EXPECT_EQ(deck.Remaining(), 49);
    EXPECT_EQ(deck.PlacedCount(first), 0);
    EXPECT_EQ(deck.Peek(deck.Remaining()), Card());
    for (auto it = waste.rbegin(); it != waste.rend(); ++it) deck.PutBack(*it);
    EXPECT_EQ(deck.Remaining(), 52);
    EXPECT_EQ(deck.Next(), 0);
    EXPECT_EQ(deck.PlacedCount(first), 1);
    EXPECT_EQ(deck.DealNext(), first);
    EXPECT_EQ(deck.DealNext(), second);

    // Putting back in front of the whole order has nowhere to go.
    deck.Shuffle();
    const auto before = Saved(deck);
    deck.PutBack(Card(0, 0));
    EXPECT_EQ(Saved(deck), before);

    // An exhausted deck deals nothing and its counts stay put.
    while (deck.Remaining() > 0) deck.DealNext();
    EXPECT_EQ(deck.DealNext(), Card());
    EXPECT_EQ(deck.Peek(0), Card());
    EXPECT_EQ(deck.Next(), 52);
    EXPECT_EQ(deck.Remaining(), 0);
}

TEST(DeckSavedFormTest, RoundTripRestoresTheDealToCome) {
    Deck deck;
    deck.SetPacks(2);
    deck.ExcludeRank(5);
    Card last;
    for (int i = 0; i < 10; ++i) last = deck.DealNext();
    deck.PutBack(last);
    std::vector<uint8_t> bytes = Saved(deck);
    bytes.push_back(0x77);  // a longer block: the game's own record follows the deck

    Deck restored;
    restored.SetPacks(1);
    ASSERT_TRUE(restored.ReadSavedForm(bytes));
    EXPECT_EQ(Saved(restored), Saved(deck));
    while (deck.Remaining() > 0) EXPECT_EQ(restored.DealNext(), deck.DealNext());
    EXPECT_EQ(restored.DealNext(), Card());

    // A deck never shuffled can be saved and read too.
    Deck fresh;
    EXPECT_TRUE(restored.ReadSavedForm(Saved(fresh)));
    EXPECT_EQ(restored.Remaining(), 0);
}

TEST(DeckSavedFormTest, RefusesShortOrImpossibleBlocksLeavingTheDeck) {
    Deck source;
    source.SetPacks(1);
    source.DealNext();
    const std::vector<uint8_t> good = Saved(source);

    using Corrupt = void (*)(std::vector<uint8_t>&);
    const Corrupt corruptions[] = {
        [](std::vector<uint8_t>& b) { b.pop_back(); },
        [](std::vector<uint8_t>& b) { b.clear(); },
        [](std::vector<uint8_t>& b) { b[7] = 2; },                  // included neither 0 nor 1
        [](std::vector<uint8_t>& b) { b[kPlacedAt + 3] = 2; },      // more copies than packs
        [](std::vector<uint8_t>& b) { PutInt32(b, kOrderAt + 8, 4); },       // suit 4
        [](std::vector<uint8_t>& b) { PutInt32(b, kOrderAt + 12, 13); },     // rank 13
        [](std::vector<uint8_t>& b) { PutInt32(b, kOrderAt, -1); },          // half a no-card
        [](std::vector<uint8_t>& b) { PutInt32(b, kPacksAt, 0); },
        [](std::vector<uint8_t>& b) { PutInt32(b, kPacksAt, 3); },
        [](std::vector<uint8_t>& b) { PutInt32(b, kTotalAt, 53); },          // more than one pack holds
        [](std::vector<uint8_t>& b) { PutInt32(b, kTotalAt, -1); },
        [](std::vector<uint8_t>& b) { PutInt32(b, kNextAt, -1); },
        [](std::vector<uint8_t>& b) { PutInt32(b, kRemainingAt, 52); },      // next + remaining > total
        [](std::vector<uint8_t>& b) { PutInt32(b, kRemainingAt, -1); },
        [](std::vector<uint8_t>& b) { PutInt32(b, kNextAt, INT32_MAX); },
        [](std::vector<uint8_t>& b) { b[0] = 0; },                  // total now above packs x included
    };
    for (size_t i = 0; i < std::size(corruptions); ++i) {
        std::vector<uint8_t> bad = good;
        corruptions[i](bad);
        Deck deck;
        deck.SetPacks(2);
        deck.DealNext();
        const auto before = Saved(deck);
        EXPECT_FALSE(deck.ReadSavedForm(bad)) << "corruption " << i;
        EXPECT_EQ(Saved(deck), before) << "corruption " << i;
    }
}
