// Move ordering for the solver. Every game starts from the generic order (points scored, a card
// turned face up first); the Klondike family adds what its players know: uncovering a face-down
// card is worth more than any shuffle between piles, a King moved from one empty place to
// another gains nothing, and cards taken back from a foundation rarely help. A few other games
// have orders of their own below, and some mark the moves that can never be wrong (kSafeMove) or
// that leave a position no play can win (kHopeless).
#include <algorithm>
#include <array>

#include "games/agnes.h"
#include "games/calculation.h"
#include "games/canfield.h"
#include "games/cribbage_solitaire.h"
#include "games/forty_thieves.h"
#include "games/four_seasons.h"
#include "games/klondike.h"
#include "games/poker_solitaire.h"
#include "games/quadrille.h"
#include "games/simplicity.h"
#include "solver/pairing_games.h"
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

// Whether every card that could be built on `card` in the tableau (buildsOn(other, card)) is on
// a foundation already, all `packs` copies of it. Then `card` has no use left on the table, and
// putting it home can never be wrong.
template <size_t F, typename BuildsOn>
bool NothingBuildsOn(Card card, const std::array<Card, F>& foundations, int startRank, int packs, BuildsOn buildsOn) {
    if (!card.IsValid() || startRank < 0) return false;
    for (int suit = 0; suit < Card::kSuitCount; ++suit)
        for (int rank = 0; rank < Card::kRankCount; ++rank) {
            const Card other(suit, rank);
            if (!buildsOn(other, card)) continue;
            int home = 0;
            for (Card top : foundations)
                home += top.IsValid() && top.Suit() == suit && Order(top, startRank) >= Order(other, startRank);
            if (home < packs) return false;
        }
    return true;
}

// The card a move put on foundation place `to` (the model's first foundation place is `first`),
// when the move was a single card to a foundation; else no card.
template <typename Position>
Card CardSentHome(const Position& after, const PlayMove& move, int first) {
    const int f = move.to - first;
    if (move.kind != PlayMove::kMove || move.count != 1 || f < 0 || f >= static_cast<int>(after.foundations.size()))
        return Card();
    return after.foundations[f];
}

// Uncovering a face-down card is worth more than a move between piles; more so on a deep pile.
int Uncovers(const PlayMove& move, int firstPile, int piles, const int32_t* faceDown) {
    const int pile = move.from - firstPile;
    if (move.kind != PlayMove::kMove || pile < 0 || pile >= piles) return 0;
    return move.index == faceDown[pile] && faceDown[pile] > 0 ? 200 + 10 * faceDown[pile] : 0;
}

// Canfield: a card no other card can still need goes home, unless the move empties a pile the
// reserve would fill (which changes more than the card's place) or takes the waste's card while
// the stock turns several cards at a time (which regroups the cards the stock can reach). The
// reserve is what blocks a deal, so its card comes first among the rest.
int CanfieldScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = CanfieldModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    const auto& q = *static_cast<const Model::Position*>(after);
    const Card home = CardSentHome(q, move, Model::kFirstFoundation);
    const bool fromReserve = move.from == Model::kReservePlace;
    if (home.IsValid() && q.reserveCount == p.reserveCount - (fromReserve ? 1 : 0) &&
        (move.from != Model::kWastePlace || p.cardsDealt == 1) &&
        NothingBuildsOn(home, q.foundations, p.baseCard.Rank(), 1, Model::BuildsDown))
        return kSafeMove;
    int score = Generic(move, points);
    if (fromReserve) score += 100;
    if (move.kind == PlayMove::kMove && move.from >= Model::kFirstFoundation && move.from < Model::kFirstPile)
        score -= 150;
    return score;
}

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
    switch (gameNumber) {
    case KlondikeGame::kGameNumber:
        return KlondikeScore;
    case CalculationGame::kGameNumber:
        return CalculationScore;
    case QuadrilleGame::kGameNumber:
        return QuadrilleScore;
    case CanfieldGame::kGameNumber:
        return CanfieldScore;
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
    return PairingGameCode(score);
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == CribbageSolitaireGame::kGameNumber || gameNumber == PokerSolitaireGame::kGameNumber;
}
