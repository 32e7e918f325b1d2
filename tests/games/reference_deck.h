// The classic generator and the deck's shuffle modelled again, plainly, from their description,
// with what each game does to the deck at its default rules: tests compare a game's dealt order
// with this model, so a change to the generator, the shuffle or a game's use of them shows.
#pragma once

#include <functional>
#include <set>
#include <vector>

#include "cards/card.h"

namespace reference_deck {

// The classic generator and the rejection-sampling shuffle, written from their description.
class ReferenceDeck {
public:
    explicit ReferenceDeck(uint32_t seed) : state(seed) {}
    int Rand() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFF);
    }
    // One shuffle of `packs` copies of every card not excluded: suit first, then rank, per try.
    void Shuffle() {
        int placed[4][13] = {};
        const int total = packs * (52 - static_cast<int>(excluded.size()));
        order.clear();
        while (static_cast<int>(order.size()) < total) {
            const int suit = Rand() % 4;
            const int rank = Rand() % 13;
            if (excluded.count(suit * 13 + rank) || placed[suit][rank] >= packs) continue;
            ++placed[suit][rank];
            order.emplace_back(suit, rank);
        }
    }
    // SetPacks, IncludeAll and Shuffle: three shuffles, only the last one dealt.
    void StartDeal(int packCount) {
        packs = packCount;
        excluded.clear();
        for (int i = 0; i < 3; ++i) Shuffle();
    }
    // Exclusion shuffles again whether or not the card was still in the deck.
    void Exclude(Card card) {
        excluded.insert(card.Index());
        Shuffle();
    }

    // A whole rank goes in one step, with one shuffle.
    void ExcludeRank(int rank) {
        for (int suit = 0; suit < 4; ++suit) excluded.insert(suit * 13 + rank);
        Shuffle();
    }

    std::vector<Card> order;

private:
    uint32_t state;
    int packs = 1;
    std::set<int> excluded;
};

using DealModel = std::function<void(ReferenceDeck&)>;

inline DealModel OnePack() {
    return [](ReferenceDeck& deck) { deck.StartDeal(1); };
}

// What each game does to the deck at its default rules.
inline DealModel ModelFor(int number) {
    switch (number) {
    case 4:  // Block Solitaire: Ace to Ten only, one exclusion shuffle per rank removed.
        return [](ReferenceDeck& deck) {
            deck.StartDeal(1);
            for (int rank : {Card::kJack, Card::kQueen, Card::kKing}) deck.ExcludeRank(rank);
        };
    case 5:  // Calculation: an Ace, Two, Three and Four of random suits start the foundations.
        return [](ReferenceDeck& deck) {
            deck.StartDeal(1);
            std::vector<Card> starts;
            for (int k = 0; k < 4; ++k) starts.emplace_back(deck.Rand() % 4, k == 0 ? Card::kAce : k - 1);
            for (Card start : starts) deck.Exclude(start);
        };
    case 8:   // Forty Thieves
    case 19:  // Spider
        return [](ReferenceDeck& deck) { deck.StartDeal(2); };
    default:
        return OnePack();
    }
}

}  // namespace reference_deck
