// Move ordering for the solver. Every game starts from the generic order (points scored, a card
// turned face up first); some games have orders of their own (the stock-and-waste games in
// stock_games.cpp), and some mark the moves that can never be wrong (kSafeMove) or that leave a
// position no play can win (kHopeless).
#include <algorithm>
#include <array>

#include "games/models/agnes.h"
#include "games/models/calculation.h"
#include "games/models/cribbage_solitaire.h"
#include "games/models/poker_solitaire.h"
#include "games/models/quadrille.h"
#include "games/models/simplicity.h"
#include "games/models/spider.h"
#include "games/models/model_registry.h"
#include "solver/build_games.h"
#include "solver/heuristic_parts.h"
#include "solver/pairing_games.h"
#include "solver/solver.h"
#include "solver/stock_games.h"
#include "solver/waste_games.h"

namespace {

using heuristic::CardSentHome;
using heuristic::Generic;
using heuristic::NothingBuildsOn;

int GenericScore(const void*, const PlayMove& move, int points, const void*) { return Generic(move, points); }

// Simplicity: a card no other card can still need goes home (from the waste only
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
    if (const MoveScore score = waste_games::Score(gameNumber)) return score;
    switch (gameNumber) {
    case game_number::kCalculation:
        return build_games::CalculationScore;
    case game_number::kQuadrille:
        return QuadrilleScore;
    case game_number::kAgnes:
        return build_games::AgnesScore;
    case game_number::kSimplicity:
        return TopCardScore<SimplicityModel>;
    case game_number::kSpider:
        return build_games::SpiderScore;
    default:
        return GenericScore;
    }
}

PositionEncoder SearchCodeFor(MoveScore score) {
    if (const PositionEncoder code = StockGameCode(score)) return code;
    if (score == build_games::CalculationScore) return build_games::CalculationCode;
    if (const PositionEncoder code = waste_games::Code(score)) return code;
    if (score == build_games::AgnesScore) return build_games::AgnesCode;
    if (score == build_games::SpiderScore) return build_games::SpiderCode;
    return PairingGameCode(score);
}

PositionTest SearchOverFor(MoveScore score) { return score == build_games::SpiderScore ? build_games::SpiderOver : nullptr; }

PositionHasher SearchHashFor(MoveScore score) {
    if (score == build_games::AgnesScore) return build_games::AgnesHash;
    if (score == build_games::CalculationScore) return build_games::CalculationHash;
    if (score == build_games::SpiderScore) return build_games::SpiderHash;
    if (const PositionHasher hash = waste_games::Hash(score)) return hash;
    return StockGameHash(score);
}

BeamGuide SearchBeamFor(MoveScore score) { return waste_games::Beam(score); }

PileHasher SearchPileHashFor(MoveScore score) {
    return score == build_games::AgnesScore ? build_games::AgnesPileHash() : StockGamePileHash(score);
}

// Measured on deals 1-1000 at one second each: the widening shake wins about one Klondike deal in
// a hundred more and leaves a tenth fewer Agnes deals unknown. Four Seasons, shaken widely, left
// half as many deals unknown again, so it stays light with the rest.
int SearchNoiseFor(MoveScore score) {
    if (score == StockGameScore(game_number::kKlondike)) return 3000;
    if (score == build_games::AgnesScore) return 10000;
    return kLightNoise;
}

// Four Seasons and Forty Thieves prove almost no deal lost in a second: they are decided by
// finding wins, and short attempts of a fixed size, each a fresh shake of the order, find far more
// of them than attempts that grow (deals 1-1000 at one second: Four Seasons 118-126 unknown
// against 300-305 with doubling, Forty Thieves 842 against 911).
AttemptSizes SearchAttemptsFor(MoveScore score) {
    if (score == waste_games::Score(game_number::kFourSeasons)) return {500, 0};
    if (score == waste_games::Score(game_number::kFortyThieves)) return {1000, 0};
    return {};
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == game_number::kCribbageSolitaire || gameNumber == game_number::kPokerSolitaire;
}
