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
#include "games/golf.h"
#include "games/klondike.h"
#include "games/poker_solitaire.h"
#include "games/pyramid.h"
#include "games/quadrille.h"
#include "games/simplicity.h"
#include "solver/build_games.h"
#include "solver/heuristic_parts.h"
#include "solver/solver.h"

namespace {

using heuristic::CardSentHome;
using heuristic::Generic;
using heuristic::NothingBuildsOn;
using heuristic::Order;

int GenericScore(const void*, const PlayMove& move, int points, const void*) { return Generic(move, points); }

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

// Simplicity: a card no other card can still need goes home (from the waste only while the stock
// turns one card at a time).
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

// Golf: every column card must some day go on a pile topped by a card one rank away. One whose
// neighbours are all gone (under the pile's top, or deeper in its own column, so gone before it)
// can never be played, and the deal is lost.
bool GolfHopeless(const GolfModel::Position& p) {
    using Model = GolfModel;
    if (p.pileCount == 0) return false;
    constexpr int kValues = Card::kRankCount;
    std::array<int, kValues> left{};  // cards that may still top the pile, by Golf value
    ++left[Model::GolfValue(Model::PileTop(p))];
    for (int i = 0; i < p.stockCount; ++i) ++left[Model::GolfValue(p.stock[i])];
    for (int c = 0; c < Model::kMaxColumns; ++c)
        for (int i = 0; i < p.columnCount[c]; ++i) ++left[Model::GolfValue(p.columns[c][i])];
    const int king = kValues - 1;
    for (int c = 0; c < Model::kMaxColumns; ++c) {
        std::array<int, kValues> deeper{};  // this column's cards below the one looked at
        for (int i = 0; i < p.columnCount[c]; ++i) {
            const int value = Model::GolfValue(p.columns[c][i]);
            auto usable = [&](int v) { return v >= 0 && v < kValues ? left[v] - deeper[v] : 0; };
            // Below it any card; above it anything but a King, unless ranks wrap round.
            int tops = usable(value - 1) + (value + 1 != king || p.wrapAround ? usable(value + 1) : 0);
            if (p.wrapAround && value == 0) tops += usable(king);
            if (p.wrapAround && value == king) tops += usable(0);
            if (tops == 0) return true;
            ++deeper[value];
        }
    }
    return false;
}

// Golf plays column cards while they last; a stock card is turned only when none fits.
int GolfScore(const void*, const PlayMove& move, int points, const void* after) {
    if (GolfHopeless(*static_cast<const GolfModel::Position*>(after))) return kHopeless;
    return Generic(move, points);
}

// Golf's and Pyramid's rules look at ranks only, never at suits: positions that differ only in
// the suits of their cards have the same future, so the search tells them apart by ranks alone.
void RankByte(PositionCode& out, Card card) { out.Byte(card.IsValid() ? static_cast<uint8_t>(card.Rank()) : 0xFF); }
template <typename Cards>
void RankBytes(PositionCode& out, const Cards& cards, int count) {
    out.Byte(static_cast<uint8_t>(count));
    for (int i = 0; i < count; ++i) RankByte(out, cards[static_cast<size_t>(i)]);
}
void Int(PositionCode& out, int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.Byte(static_cast<uint8_t>(value >> shift));
}

void GolfRanks(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const GolfModel::Position*>(position);
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(p.wrapAround));
    for (int c = 0; c < GolfModel::kMaxColumns; ++c) RankBytes(out, p.columns[static_cast<size_t>(c)], p.columnCount[static_cast<size_t>(c)]);
    RankByte(out, GolfModel::PileTop(p));
    RankBytes(out, p.stock, p.stockCount);
}

void PyramidRanks(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const PyramidModel::Position*>(position);
    out.bytes.clear();
    Int(out, p.rows);
    Int(out, p.extraCards);
    Int(out, p.recyclesAtDeal);
    Int(out, p.turnsLeft);
    RankBytes(out, p.triangle, PyramidModel::kTriangleSlots);
    RankBytes(out, p.extra, PyramidModel::kMaxRows);
    RankByte(out, p.waste);
    RankBytes(out, p.talon, p.talonCount);
    RankBytes(out, p.stock, p.stockCount);
}

// Pyramid: every triangle card must leave in a pair with a card of the complementary value (or
// alone, a King). The deal is lost when a value has more triangle cards than partners left, or a
// triangle card's only partners lie below it, covering it (they must go first).
bool PyramidHopeless(const PyramidModel::Position& p) {
    using Model = PyramidModel;
    constexpr int kValues = Model::kPairSum + 1;
    std::array<int, kValues> all{}, triangle{};
    auto count = [&](Card card) {
        if (card.IsValid()) ++all[card.PipValue()];
    };
    for (int i = 0; i < p.stockCount; ++i) count(p.stock[i]);
    for (int i = 0; i < p.talonCount; ++i) count(p.talon[i]);
    count(p.waste);
    if (p.extraCards)
        for (int c = 0; c < p.rows; ++c) count(p.extra[c]);
    for (Card card : p.triangle) {
        count(card);
        if (card.IsValid()) ++triangle[card.PipValue()];
    }
    for (int value = 1; value < Model::kPairSum; ++value)
        if (triangle[value] > all[Model::kPairSum - value]) return true;
    for (int row = 0; row + 1 < p.rows; ++row)
        for (int k = 0; k <= row; ++k) {
            const Card card = p.triangle[Model::TrianglePlace(row, k) - Model::kTrianglePlace];
            if (!card.IsValid() || card.Rank() == Card::kKing) continue;
            const int partner = Model::kPairSum - card.PipValue();
            int below = 0;
            for (int r = row + 1; r < p.rows; ++r)
                for (int j = k; j <= k + r - row; ++j) {
                    const Card under = p.triangle[Model::TrianglePlace(r, j) - Model::kTrianglePlace];
                    below += under.IsValid() && under.PipValue() == partner;
                }
            if (below == all[partner]) return true;
        }
    return false;
}

// Pyramid clears the triangle first: the stock's cards need not all go.
int PyramidScore(const void*, const PlayMove& move, int points, const void* after) {
    using Model = PyramidModel;
    if (PyramidHopeless(*static_cast<const Model::Position*>(after))) return kHopeless;
    int score = Generic(move, points);
    for (int place : {static_cast<int>(move.from), static_cast<int>(move.to)})
        if (move.kind != PlayMove::kStock && place >= Model::kTrianglePlace && place < Model::kExtraPlace) score += 40;
    return score;
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
        return build_games::CalculationScore;
    case QuadrilleGame::kGameNumber:
        return QuadrilleScore;
    case CanfieldGame::kGameNumber:
        return CanfieldScore;
    case AgnesGame::kGameNumber:
        return build_games::AgnesScore;
    case FortyThievesGame::kGameNumber:
        return build_games::FortyThievesScore;
    case FourSeasonsGame::kGameNumber:
        return build_games::FourSeasonsScore;
    case SimplicityGame::kGameNumber:
        return TopCardScore<SimplicityModel>;
    case GolfGame::kGameNumber:
        return GolfScore;
    case PyramidGame::kGameNumber:
        return PyramidScore;
    default:
        return GenericScore;
    }
}

PositionEncoder SearchCodeFor(MoveScore score) {
    if (score == GolfScore) return GolfRanks;
    if (score == PyramidScore) return PyramidRanks;
    if (score == build_games::CalculationScore) return build_games::CalculationCode;
    if (score == build_games::FortyThievesScore) return build_games::FortyThievesCode;
    if (score == build_games::AgnesScore) return build_games::AgnesCode;
    if (score == build_games::FourSeasonsScore) return build_games::FourSeasonsCode;
    return nullptr;
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == CribbageSolitaireGame::kGameNumber || gameNumber == PokerSolitaireGame::kGameNumber;
}
