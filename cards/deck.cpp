#include "cards/deck.h"

#include <algorithm>


namespace {

void AppendInt32(std::vector<uint8_t>& out, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

int32_t ReadInt32(const uint8_t* at) {
    const uint32_t bits = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                          static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
    return static_cast<int32_t>(bits);
}

}  // namespace

Deck::Deck() {
    included.fill(1);
    placed.fill(0);
    order.fill(Card());
}

void Deck::SetPacks(int n) {
    packs = std::clamp(n, 1, kMaxPacks);
    total = packs * static_cast<int>(std::count(included.begin(), included.end(), 1));
    Shuffle();
}

void Deck::IncludeAll() {
    for (uint8_t& in : included) {
        if (in == 0) {
            in = 1;
            total += packs;
        }
    }
    Shuffle();
}

void Deck::TakeBackAll() {
    included.fill(1);
    total = packs * Card::kCardsPerPack;
}

void Deck::Shuffle() {
    placed.fill(0);
    // Every operation keeps total within what the included cards can fill; holding it there
    // once more means the sampling below always ends, whatever state was read back.
    const int capacity = packs * static_cast<int>(std::count(included.begin(), included.end(), 1));
    total = std::clamp(total, 0, std::min(capacity, kMaxCards));
    for (int i = 0; i < total; ++i) {
        Card card;
        do {
            // Suit first, then rank: deals must follow the generator exactly as it always has.
            const int suit = Random() % Card::kSuitCount;
            const int rank = Random() % Card::kRankCount;
            card = Card(suit, rank);
        } while (included[card.Index()] == 0 || placed[card.Index()] >= packs);
        ++placed[card.Index()];
        order[i] = card;
    }
    remaining = total;
    next = 0;
}

Card Deck::DealNext() {
    if (remaining <= 0) return Card();
    --remaining;
    const Card card = order[next++];
    if (card.IsValid() && placed[card.Index()] > 0) --placed[card.Index()];
    return card;
}

Card Deck::Peek(int offset) const {
    const int64_t at = static_cast<int64_t>(next) + offset;
    if (offset < 0 || at >= total) return Card();
    return order[at];
}

void Deck::PutBack(Card card) {
    if (next <= 0) return;
    --next;
    ++remaining;
    order[next] = card;
    if (card.IsValid() && placed[card.Index()] < UINT8_MAX) ++placed[card.Index()];
}

void Deck::Exclude(Card card) {
    if (card.IsValid() && included[card.Index()] != 0) {
        included[card.Index()] = 0;
        total -= packs;
    }
    Shuffle();
}

void Deck::ExcludeRank(int rank) {
    for (int suit = 0; suit < Card::kSuitCount; ++suit) {
        const Card card(suit, rank);
        if (card.IsValid() && included[card.Index()] != 0) {
            included[card.Index()] = 0;
            total -= packs;
        }
    }
    Shuffle();
}

void Deck::AppendSavedForm(std::vector<uint8_t>& out) const {
    out.reserve(out.size() + kSavedSize);
    out.insert(out.end(), included.begin(), included.end());
    out.insert(out.end(), placed.begin(), placed.end());
    for (const Card& card : order) {
        AppendInt32(out, card.Suit());
        AppendInt32(out, card.Rank());
    }
    AppendInt32(out, next);
    AppendInt32(out, remaining);
    AppendInt32(out, total);
    AppendInt32(out, packs);
}

bool Deck::ReadSavedForm(std::span<const uint8_t> bytes) {
    if (bytes.size() < kSavedSize) return false;
    const uint8_t* at = bytes.data();

    // Decode into a scratch deck and adopt it only when every field is possible, so a refused
    // block never leaves a half-read deck behind.
    Deck read(*this);
    std::copy_n(at, Card::kCardsPerPack, read.included.begin());
    at += Card::kCardsPerPack;
    std::copy_n(at, Card::kCardsPerPack, read.placed.begin());
    at += Card::kCardsPerPack;
    for (Card& card : read.order) {
        card = Card(ReadInt32(at), ReadInt32(at + 4));
        at += 8;
        if (card != Card() && !card.IsValid()) return false;
    }
    read.next = ReadInt32(at);
    read.remaining = ReadInt32(at + 4);
    read.total = ReadInt32(at + 8);
    read.packs = ReadInt32(at + 12);

    if (read.packs < 1 || read.packs > kMaxPacks) return false;
    int includedCount = 0;
    for (int i = 0; i < Card::kCardsPerPack; ++i) {
        if (read.included[i] > 1 || read.placed[i] > read.packs) return false;
        includedCount += read.included[i];
    }
    if (read.total < 0 || read.total > read.packs * includedCount) return false;
    if (read.next < 0 || read.remaining < 0) return false;
    // Dealing and putting back keep next + remaining == total; a deck never shuffled has dealt
    // nothing and holds nothing yet.
    const bool unshuffled = read.next == 0 && read.remaining == 0;
    if (!unshuffled && static_cast<int64_t>(read.next) + read.remaining != read.total) return false;

    *this = read;
    return true;
}
