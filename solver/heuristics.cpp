// Move ordering for the solver. Every game starts from the generic order (points scored, a card
// turned face up first); some games have orders of their own (the stock-and-waste games in
// stock_games.cpp), and some mark the moves that can never be wrong (kSafeMove) or that leave a
// position no play can win (kHopeless).
#include <algorithm>
#include <array>

#include "games/agnes.h"
#include "games/calculation.h"
#include "games/cribbage_solitaire.h"
#include "games/forty_thieves.h"
#include "games/four_seasons.h"
#include "games/poker_solitaire.h"
#include "games/quadrille.h"
#include "games/simplicity.h"
#include "solver/heuristic_parts.h"
#include "solver/pairing_games.h"
#include "solver/solver.h"
#include "solver/stock_games.h"

namespace {

using heuristic::CardSentHome;
using heuristic::Generic;
using heuristic::NothingBuildsOn;
using heuristic::Order;
using heuristic::Uncovers;

int GenericScore(const void*, const PlayMove& move, int points, const void*) { return Generic(move, points); }

// Agnes: a face-down card is turned at once, and a pile's card no other card can still need goes
// home (not a reserve card: a reserve pile's size decides where the stock's next cards fall).
int AgnesScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    const Card home = CardSentHome(*static_cast<const Model::Position*>(after), move, Model::kFirstFoundation);
    if (home.IsValid() && move.from >= Model::kFirstPile && move.from < Model::kFirstReserve &&
        NothingBuildsOn(home, p.foundations, p.startRank, 1,
                        [&](Card other, Card card) { return Model::CanPlay(p, other, card, false); }))
        return kSafeMove;
    return Generic(move, points) + Uncovers(move, Model::kFirstPile, Model::kPiles, p.faceDownCount.data());
}

// Forty Thieves: the same, with both copies of every card counted; the waste turns one card at a
// time, so its card may go home too.
int FortyThievesScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = FortyThievesModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    const Card home = CardSentHome(*static_cast<const Model::Position*>(after), move, Model::kFirstFoundation);
    if (home.IsValid() && NothingBuildsOn(home, p.foundations, p.startRank, 2, [&](Card other, Card card) {
            return Model::CanPlay(p, other, card, false);
        }))
        return kSafeMove;
    int score = Generic(move, points) + Uncovers(move, Model::kFirstColumn, Model::kColumns, p.faceDownCount.data());
    // Emptying a column gives room to unpack the others.
    if (move.kind == PlayMove::kMove && move.from >= Model::kFirstColumn && move.index == 0) score += 60;
    return score;
}

// Four Seasons and Simplicity: a card no other card can still need goes home (from the waste only
// while the stock turns one card at a time).
template <typename Model>
int TopCardScore(const void* before, const PlayMove& move, int points, const void* after) {
    const auto& p = *static_cast<const typename Model::Position*>(before);
    const Card home = CardSentHome(*static_cast<const typename Model::Position*>(after), move, Model::kFirstFoundation);
    if (home.IsValid() && (move.from != Model::kWastePlace || p.cardsDealt == 1) &&
        NothingBuildsOn(home, p.foundations, p.startRank, 1,
                        [](Card other, Card card) { return Model::CanPlay(other, card, false); }))
        return kSafeMove;
    return Generic(move, points);
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
    if (MoveScore score = PairingGameScore(gameNumber)) return score;
    if (const MoveScore score = StockGameScore(gameNumber)) return score;
    switch (gameNumber) {
    case CalculationGame::kGameNumber:
        return CalculationScore;
    case QuadrilleGame::kGameNumber:
        return QuadrilleScore;
    case AgnesGame::kGameNumber:
        return AgnesScore;
    case FortyThievesGame::kGameNumber:
        return FortyThievesScore;
    case FourSeasonsGame::kGameNumber:
        return TopCardScore<FourSeasonsModel>;
    case SimplicityGame::kGameNumber:
        return TopCardScore<SimplicityModel>;
    default:
        return GenericScore;
    }
}

PositionEncoder SearchCodeFor(MoveScore score) {
    if (const PositionEncoder code = StockGameCode(score)) return code;
    return PairingGameCode(score);
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == CribbageSolitaireGame::kGameNumber || gameNumber == PokerSolitaireGame::kGameNumber;
}
