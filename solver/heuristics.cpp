// Move ordering for the solver. Every game starts from the generic order (points scored, a card
// turned face up first); the Klondike family adds what its players know: uncovering a face-down
// card is worth more than any shuffle between piles, a King moved from one empty place to
// another gains nothing, and cards taken back from a foundation rarely help. A few other games
// have orders of their own below.
#include "games/calculation.h"
#include "games/cribbage_solitaire.h"
#include "games/klondike.h"
#include "games/poker_solitaire.h"
#include "games/quadrille.h"
#include "solver/solver.h"

namespace {

int Generic(const PlayMove& move, int points) {
    int score = points * 16;
    if (move.kind == PlayMove::kFlip) score += 1000;
    if (move.kind == PlayMove::kDeal) score -= 80;
    return score;
}

int GenericScore(const void*, const PlayMove& move, int points, const void*) { return Generic(move, points); }

// A card's place in its foundation's sequence (0 for the starting rank).
int Order(const Card& card, int startRank) { return (card.Rank() - startRank + Card::kRankCount) % Card::kRankCount; }

// A card may go home safely when no card that could still be placed on it is left off the
// foundations: both cards of the other colour one below it are home already.
bool SafeHome(const KlondikeModel::Position& p, Card card) {
    const int order = Order(card, p.startRank);
    if (order <= 1) return true;
    int otherColourHome = 0;
    for (const Card& top : p.foundations)
        if (top.IsValid() && top.IsRed() != card.IsRed() && Order(top, p.startRank) >= order - 1) ++otherColourHome;
    return otherColourHome == 2;
}

int KlondikeScore(const void* before, const PlayMove& move, int points, const void*) {
    using Model = KlondikeModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    int score = Generic(move, points);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    if (move.kind != PlayMove::kMove) return score;
    if (move.to >= Model::kFirstFoundation && move.to < Model::kFirstPile) {
        const Card card = move.from == Model::kWastePlace ? p.waste[p.wasteCount - 1]
                                                           : p.tableau[move.from - Model::kFirstPile][move.index];
        if (move.count == 1 && SafeHome(p, card)) return kSafeMove;
    }
    if (move.from >= Model::kFirstPile) {
        const int pile = move.from - Model::kFirstPile;
        const int faceDown = p.faceDownCount[pile];
        if (move.index == faceDown && faceDown > 0) score += 200 + 10 * faceDown;
        if (move.index == 0 && move.to >= Model::kFirstPile && p.tableau[pile][0].Rank() == Card::kKing) score -= 300;
    } else if (move.from >= Model::kFirstFoundation) {
        score -= 150;
    } else if (move.from == Model::kWastePlace) {
        score += 30;
    }
    return score;
}

// Calculation: how many more cards a foundation must take before this card fits one (99: never).
int CardsBefore(const CalculationModel::Position& p, Card card) {
    if (!card.IsValid()) return 99;
    int best = 99;
    for (int f = 0; f < CalculationModel::kFoundations; ++f) {
        int rank = p.foundationTops[f].Rank();
        for (int k = 0; k < Card::kRankCount - p.foundationCounts[f] && k < best; ++k) {
            rank = CalculationModel::FollowingRank(rank, f);
            if (rank == card.Rank()) best = k;
        }
    }
    return best;
}

// A card laid on a waste pile should be wanted no later than the card it covers, and not much
// sooner either, so the piles stay in the order the foundations will call for them.
int CalculationScore(const void* before, const PlayMove& move, int points, const void*) {
    using Model = CalculationModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    int score = Generic(move, points);
    if (move.kind != PlayMove::kMove || move.to < Model::kWastePlace) return score;
    const int covered = CardsBefore(p, Model::WasteTop(p, move.to - Model::kWastePlace));
    const int wanted = CardsBefore(p, p.current);
    if (p.wasteCounts[move.to - Model::kWastePlace] == 0) return score + 100;
    return score + (covered >= wanted ? 300 - 10 * (covered - wanted) : -20 * (wanted - covered));
}

// Quadrille only ever plays the waste's top card home, and each card fits one place. Turning one
// card at a time, playing it at once never loses anything: the stock's order stays the same.
int QuadrilleScore(const void* before, const PlayMove& move, int points, const void*) {
    const auto& p = *static_cast<const QuadrilleModel::Position*>(before);
    if (move.kind == PlayMove::kMove && p.cardsDealt == 1) return kSafeMove;
    return Generic(move, points);
}

}  // namespace

MoveScore MoveScoreFor(int gameNumber) {
    switch (gameNumber) {
    case KlondikeGame::kGameNumber:
        return KlondikeScore;
    case CalculationGame::kGameNumber:
        return CalculationScore;
    case QuadrilleGame::kGameNumber:
        return QuadrilleScore;
    default:
        return GenericScore;
    }
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == CribbageSolitaireGame::kGameNumber || gameNumber == PokerSolitaireGame::kGameNumber;
}
