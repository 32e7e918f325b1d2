#include "cards/card.h"

const char* Card::RankName(int rank) {
    static constexpr const char* kNames[kRankCount] = {"Two",   "Three", "Four", "Five", "Six",
                                                       "Seven", "Eight", "Nine", "Ten",  "Jack",
                                                       "Queen", "King",  "Ace"};
    return rank >= 0 && rank < kRankCount ? kNames[rank] : "";
}
