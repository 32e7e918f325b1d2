// Auld Lang Syne: each stock click deals one card onto each of four piles, and only the piles'
// top cards can be played, onto four foundations that build upward from a starting rank
// regardless of suit. There is no building on the piles and no redeal.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// "FilledIn": the foundations start filled with the starting rank; "StartCard": the starting
// rank's index, or -1 for the first card of the deck.
struct AuldLangSyneRules {
    int32_t filledIn = 0, startCard = Card::kAce;
    static constexpr RuleField<AuldLangSyneRules> kFields[] = {
        OnOff(&AuldLangSyneRules::filledIn, "FilledIn"),
        Number(&AuldLangSyneRules::startCard, "StartCard", kStartCardRange)};
    double ScoreFactor() const { return filledIn ? 0.75 : 1.0; }
};

// Places: 0 the stock, 1 + f foundation f, 5 + k pile k. A press on the stock (a card onto each
// pile) is a kStock; a pile's top card played onto the first foundation it fits is a kMove.
struct AuldLangSyneParts {
    using Rules = AuldLangSyneRules;
    static constexpr int kPiles = 4, kPileSlots = 13, kFoundations = 4;
    static constexpr int kStockPlace = 0, kFoundationPlace = 1, kPilePlace = 5, kPlaces = 9;
    static constexpr int kPointsPerFoundationCard = 5;

    struct Position {
        int32_t points = 0;
        int32_t startRank = Card::kAce;
        int32_t stockCount = 0;
        std::array<int32_t, kPiles> pileCounts{};
        std::array<Card, kFoundations> foundations{};  // their top cards
        std::array<std::array<Card, kPileSlots>, kPiles> piles{};
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is dealt next
    };

    // One pack; the starting rank (with none chosen, the first card's, on foundation 0), the
    // foundations filled with it when the rules say so; then the first row dealt from the stock.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);

    // May this card go on foundation f now? Suits play no part.
    static bool Fits(const Position& position, Card card, int foundation);
    // How many cards lie on foundation f (its top counted round from the starting rank).
    static int FoundationCount(const Position& position, int foundation) {
        const Card top = position.foundations[foundation];
        return top.IsValid() ? (top.Rank() - position.startRank + Card::kRankCount) % Card::kRankCount + 1 : 0;
    }
    // The first foundation the top card of the pile fits, or -1.
    static int TargetFor(const Position& position, int pile);

    // Apply, showing each card the stock deals through the hooks (play_position::NoHooks).
    template <typename Hooks>
    static int Play(Position& position, const PlayMove& move, Hooks& hooks) {
        if (move.kind == PlayMove::kStock) {
            for (int pile = 0; pile < kPiles && position.stockCount > 0; ++pile) {
                if (position.pileCounts[pile] >= kPileSlots) continue;
                play_position::Push(position.piles[pile], position.pileCounts[pile],
                                    play_position::Pop(position.stock, position.stockCount));
                hooks.Dealt(pile);
            }
            return 0;
        }
        if (move.kind != PlayMove::kMove) return 0;
        const int pile = move.from - kPilePlace;
        position.foundations[move.to - kFoundationPlace] = play_position::Pop(position.piles[pile], position.pileCounts[pile]);
        position.points += kPointsPerFoundationCard;
        return kPointsPerFoundationCard;
    }
};
// Won with the stock and the piles empty. The code holds everything but the points, so positions
// reached by different paths meet in a search. The foundations take any suit: only their tops
// are known, counted up from the start rank.
using AuldLangSyneModel = PlayModel<AuldLangSyneParts>;
