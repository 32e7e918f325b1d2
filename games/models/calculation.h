// Calculation: four foundations build upward by steps of one, two, three and four, modulo
// thirteen and regardless of suit. Cards come one at a time from the stock and go either to a
// foundation or onto one of four waste piles, whose top cards may later go to a foundation only.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// "StartingCard": which of the thirteen starting-card choices begins the foundations.
struct CalculationRules {
    int32_t startingCard = 12;
    static constexpr RuleField<CalculationRules> kFields[] = {
        Number(&CalculationRules::startingCard, "StartingCard", {0, 12})};
};

// Places: 0 the stock, 1 the current card, 2 + f foundation f, 6 + k waste pile k. A press on the
// stock (allowed once the current card is placed) is a kStock; the current card or a waste pile's
// top card going somewhere is a kMove.
struct CalculationParts {
    using Rules = CalculationRules;
    static constexpr int kFoundations = 4, kWastePiles = 4, kWasteSlots = 48;
    static constexpr int kStockPlace = 0, kCurrentPlace = 1, kFoundationPlace = 2, kWastePlace = 6, kPlaces = 10;
    static constexpr int kPointsPerFoundationCard = 5;
    static constexpr int kAllKingsChoice = 11;  // "K, K, K, K"

    struct Position {
        int32_t points = 0;
        int32_t stockCount = 0;
        std::array<int32_t, kFoundations> startRanks{};
        std::array<int32_t, kFoundations> foundationCounts{};
        std::array<int32_t, kWastePiles> wasteCounts{};
        Card current;
        std::array<Card, kFoundations> foundationTops{};
        std::array<std::array<Card, kWasteSlots>, kWastePiles> waste{};
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is turned next
    };

    // One pack; each foundation's starting card, of a suit drawn from the deck's generator (the
    // Kings of "K, K, K, K" have fixed suits), taken out of it; the rest the stock.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
    // The rank index foundation k starts with under a starting-card choice.
    static int StartRank(int choice, int foundation);

    // The rank that may follow `top` on foundation f (step f + 1, modulo 13).
    static int FollowingRank(int top, int foundation) {
        const int rank = top + foundation + 1;
        return rank > Card::kAce ? rank - Card::kRankCount : rank;
    }
    // May this card go on foundation f now?
    static bool Fits(const Position& position, Card card, int foundation);
    static Card WasteTop(const Position& position, int pile) {
        return position.wasteCounts[pile] > 0 ? position.waste[pile][position.wasteCounts[pile] - 1] : Card();
    }
};
// Won with the stock, the current card and the waste piles all empty; over once the stock is used
// up and neither the current card nor a waste top fits a foundation. The code holds everything
// but the points, so positions reached by different paths meet in a search. Each foundation
// shows its top and counts the cards beneath it.
using CalculationModel = PlayModel<CalculationParts>;
