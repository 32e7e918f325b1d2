#include "games/models/poker_solitaire.h"

#include <algorithm>

namespace {

int CountRank(const PokerParts::Line& hand, int rank) {
    return static_cast<int>(std::count_if(hand.begin(), hand.end(), [rank](Card c) { return c.Rank() == rank; }));
}

}  // namespace

PokerParts::Hand PokerParts::ClassifyHand(const Line& hand) {
    const bool flush = std::all_of(hand.begin(), hand.end(), [&](Card c) { return c.Suit() == hand[0].Suit(); });
    bool four = false, three = false, straight = false;
    int pairs = 0, run = 0;
    for (int rank = 0; rank < Card::kRankCount; ++rank) {
        const int count = CountRank(hand, rank);
        if (count >= 4) four = true;
        if (count == 3) three = true;
        if (count == 2) ++pairs;
        // Five ranks in a row: the Ace is the highest index, so Ten to Ace is a straight, Ace to Five is not.
        run = count > 0 ? run + 1 : 0;
        if (run >= kSide) straight = true;
    }
    const bool ace = CountRank(hand, Card::kAce) > 0;
    if (flush && straight && ace) return kRoyalFlush;
    if (flush && straight) return kStraightFlush;
    if (four) return kFourOfAKind;
    if (three && pairs >= 1) return kFullHouse;
    if (flush) return kFlush;
    if (straight) return kStraight;
    if (three) return kThreeOfAKind;
    if (pairs >= 2) return kTwoPair;
    if (pairs == 1) return kOnePair;
    return kNothing;
}

int PokerParts::ScoreHand(const Line& hand, bool american) {
    const Hand kind = ClassifyHand(hand);
    if (kind == kNothing) return 0;
    return american ? kAmericanTable[kind] : kEnglishTable[kind];
}
