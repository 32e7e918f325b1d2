// The shoe every game deals from: one or two packs, shuffled by its own copy of the classic runtime
// generator (x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF, deals depend on this exact
// sequence), with some cards optionally left out. A game starts each deal with SetPacks(p), IncludeAll(),
// Shuffle(), then excludes the cards it places by rule and deals with DealNext.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cards/card.h"

class Deck {
public:
    static constexpr int kMaxPacks = 2;
    static constexpr int kMaxCards = kMaxPacks * Card::kCardsPerPack;
    // The saved form: included, placed, order (suit, rank as int32 each), next, remaining, total,
    // packs; every integer little-endian.
    static constexpr size_t kSavedSize = 2 * Card::kCardsPerPack + kMaxCards * 8 + 4 * 4;
    static_assert(kSavedSize == 952);

    // One pack, every card included, nothing shuffled yet; the generator starts from 1, as the
    // runtime's does when never seeded.
    Deck();

    // Seeds the generator: a deal number gives the same shuffle every time.
    void Seed(uint32_t seed) { randomState = seed; }
    // The generator's next value, 0..0x7FFF; a deal draws its random choices from the same sequence
    // as its shuffle.
    int Random() {
        randomState = randomState * 214013u + 2531011u;
        return static_cast<int>((randomState >> 16) & 0x7FFF);
    }

    // packs := n (held to 1..2, the room of the order); total := n x included cards; Shuffle.
    void SetPacks(int n);
    // Includes every excluded card again, then shuffles.
    void IncludeAll();
    // Includes every excluded card again without drawing from the generator: done before a deal
    // is seeded, so a deal number gives the same cards whatever the last deal left out.
    void TakeBackAll();
    // Fills order[0 .. total - 1] by rejection sampling (suit, then rank, two draws of the
    // generator per try) so that every included card occurs exactly `packs` times; then the next
    // card to deal is order[0].
    void Shuffle();
    // The next card, or the no-card value when the deck is exhausted.
    Card DealNext();
    // The card `offset` places after the next one, or the no-card value past either end.
    Card Peek(int offset) const;
    // Puts a card in front of the next one, so it is dealt again next. Putting back a waste from
    // its last card to its first restores the order in which it was dealt. The card must have
    // come from this deck: a saved form never holds more copies of a card than there are packs.
    // Does nothing when nothing has been dealt, since there is no slot in front of the order.
    void PutBack(Card card);
    // Leaves a card out of the deck (if it was in), then shuffles in every case.
    void Exclude(Card card);
    // Leaves all four cards of a rank out, then shuffles.
    void ExcludeRank(int rank);

    // Appends the kSavedSize bytes of the saved form.
    void AppendSavedForm(std::vector<uint8_t>& out) const;
    // Reads a saved form from the start of `bytes` (which may go on with other data). Refuses a
    // block that is too short or describes an impossible deck, and then leaves the deck as it was.
    bool ReadSavedForm(std::span<const uint8_t> bytes);

    int Next() const { return next; }
    int Remaining() const { return remaining; }
    int Total() const { return total; }
    bool IsIncluded(Card card) const { return card.IsValid() && included[card.Index()] != 0; }
    // Copies of a card standing between the next position and the end of the order.
    int PlacedCount(Card card) const { return card.IsValid() ? placed[card.Index()] : 0; }
    // The raw order slot i (0..kMaxCards-1), dealt or not; no-card outside the order.
    Card OrderAt(int i) const { return i >= 0 && i < kMaxCards ? order[i] : Card(); }

private:
    std::array<uint8_t, Card::kCardsPerPack> included;
    std::array<uint8_t, Card::kCardsPerPack> placed;
    std::array<Card, kMaxCards> order;
    int32_t next = 0;
    int32_t remaining = 0;
    int32_t total = Card::kCardsPerPack;
    int32_t packs = 1;
    uint32_t randomState = 1;  // not part of the saved form: only a deal draws from it
};
