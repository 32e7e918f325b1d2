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
#include "games/golf.h"
#include "games/poker_solitaire.h"
#include "games/pyramid.h"
#include "games/quadrille.h"
#include "games/simplicity.h"
#include "solver/heuristic_parts.h"
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
    case GolfGame::kGameNumber:
        return GolfScore;
    case PyramidGame::kGameNumber:
        return PyramidScore;
    default:
        return GenericScore;
    }
}

PositionEncoder SearchCodeFor(MoveScore score) {
    if (const PositionEncoder code = StockGameCode(score)) return code;
    if (score == GolfScore) return GolfRanks;
    if (score == PyramidScore) return PyramidRanks;
    return nullptr;
}

bool PlayedForPoints(int gameNumber) {
    return gameNumber == CribbageSolitaireGame::kGameNumber || gameNumber == PokerSolitaireGame::kGameNumber;
}
