#include "games/poker_solitaire.h"

#include <algorithm>

namespace {

constexpr int32_t kMaxHandScore = 100;
constexpr int kStraightLength = 5;

}  // namespace

PokerSolitaireGame::PokerSolitaireGame(Artwork* artwork) : GridHandGame(artwork, kGameNumber) {}

// ---- The model's part ----

int PokerHands::ScoreFull(GridHandPosition<5>& position) {
    const bool american = position.american;
    return ScoreTotal<5>(position.grid, [american](const std::array<Card, 5>& line) {
        return PokerSolitaireGame::ScoreHand(line, american);
    });
}

PokerSolitaireGame::Position PokerSolitaireGame::ModelPosition() const {
    Position position = GridHandGame::ModelPosition();
    position.american = American();
    return position;
}

PokerSolitaireGame::Hand PokerSolitaireGame::ClassifyHand(const Line& hand) {
    const bool flush = std::all_of(hand.begin(), hand.end(), [&](Card c) { return c.Suit() == hand[0].Suit(); });
    bool four = false, three = false, straight = false;
    int pairs = 0, run = 0;
    for (int rank = 0; rank < Card::kRankCount; ++rank) {
        const int count = CountRank(hand.data(), rank, kSide);
        if (count >= 4) four = true;
        if (count == 3) three = true;
        if (count == 2) ++pairs;
        // The Ace is the highest index: Ten to Ace is a straight, Ace to Five is not.
        run = count > 0 ? run + 1 : 0;
        if (run >= kStraightLength) straight = true;
    }
    const bool ace = CountRank(hand.data(), Card::kAce, kSide) > 0;
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

int PokerSolitaireGame::ScoreHand(const Line& hand, bool american) {
    const Hand kind = ClassifyHand(hand);
    if (kind == kNothing) return 0;
    return american ? kAmericanTable[kind] : kEnglishTable[kind];
}

void PokerSolitaireGame::TurnNextCard() {
    // The grid's last cell ends the game, wherever its card came from.
    if (CheckGameOver()) {
        const bool american = American();
        ScoreHands([american](const Line& hand) { return ScoreHand(hand, american); });
    } else {
        ShowDealtCurrent();
        CheckGameOver();
    }
}

// ---- Undo ----

void PokerSolitaireGame::HandPart(play_position::RecordFields& fields, GridHandPosition<kSide>&, HandScores& scores) {
    fields.Counts(scores.lines, 0, kMaxHandScore);
    fields.Int(scores.total, 0, kHands * kMaxHandScore);
}
