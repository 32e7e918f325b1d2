// Move ordering for the solver. Every game starts from the generic order (points scored, a card
// turned face up first); the Klondike family adds what its players know: uncovering a face-down
// card is worth more than any shuffle between piles, a King moved from one empty place to
// another gains nothing, and cards taken back from a foundation rarely help.
#include "games/cribbage_solitaire.h"
#include "games/klondike.h"
#include "games/poker_solitaire.h"
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

}  // namespace

MoveScore MoveScoreFor(int gameNumber) {
    switch (gameNumber) {
    case KlondikeGame::kGameNumber:
        return KlondikeScore;
    default:
        return GenericScore;
    }
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == CribbageSolitaireGame::kGameNumber || gameNumber == PokerSolitaireGame::kGameNumber;
}
