// The deck's saved form (part of every undo record and kept deal): damaged blocks are refused
// and leave the deck as it was. Dealing itself is pinned by the games' golden traces.
#include <gtest/gtest.h>

#include <vector>

#include "cards/deck.h"

namespace {

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
