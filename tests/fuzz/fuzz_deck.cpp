// Feeds arbitrary bytes to the deck's saved-form reader. Whatever it accepts must be a deck
// that can be dealt, shuffled and saved again without going out of bounds or hanging.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cards/deck.h"

namespace {

void Exercise(std::span<const uint8_t> bytes) {
    Deck deck;
    if (!deck.ReadSavedForm(bytes)) return;
    std::vector<uint8_t> saved;
    deck.AppendSavedForm(saved);
    // What was accepted is written back byte for byte.
    if (!std::equal(saved.begin(), saved.end(), bytes.begin())) __builtin_trap();
    for (int i = -1; i < 3; ++i) deck.Peek(i);
    while (deck.Remaining() > 0) deck.DealNext();
    deck.PutBack(Card(0, 0));
    deck.Shuffle();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Exercise(std::span<const uint8_t>(data, size));

    // Random bytes rarely make a whole valid block, so the input is also read as patches
    // (two offset bytes, one value) over a real saved form, which reaches the later checks.
    Deck base;
    base.SetPacks(size % 2 == 0 ? 1 : 2);
    base.DealNext();
    std::vector<uint8_t> patched;
    base.AppendSavedForm(patched);
    for (size_t i = 0; i + 3 <= size; i += 3)
        patched[(data[i] | data[i + 1] << 8) % Deck::kSavedSize] = data[i + 2];
    Exercise(patched);
    return 0;
}
