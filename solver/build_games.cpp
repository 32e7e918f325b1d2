// Calculation and Agnes: which moves the search tries first, which it tries alone (a card nothing
// can still need, sent home) or drops (Calculation's blocked ranks), and codes that let positions
// differing only in the order of like places meet.
#include "solver/build_games.h"

#include <algorithm>
#include <array>
#include <string>

#include "games/agnes.h"
#include "games/calculation.h"
#include "solver/heuristic_parts.h"
#include "solver/solver.h"

namespace build_games {
namespace {

using heuristic::CardSentHome;
using heuristic::Generic;
using heuristic::NothingBuildsOn;
using heuristic::Uncovers;

// Appends the codes of `count` places of one kind in sorted order: where the rules treat every
// such place alike (columns any card may fill, foundations any suit may claim), positions that
// differ only in which place holds what get the same code. encodeOne(i, code) codes place i.
template <size_t N, typename EncodeOne>
void SortedPlaces(PositionCode& out, int count, EncodeOne encodeOne) {
    thread_local std::array<PositionCode, N> places;
    std::array<int, N> order{};
    for (int i = 0; i < count; ++i) {
        places[static_cast<size_t>(i)].bytes.clear();
        encodeOne(i, places[static_cast<size_t>(i)]);
        order[static_cast<size_t>(i)] = i;
    }
    std::sort(order.begin(), order.begin() + count,
              [](int a, int b) { return places[static_cast<size_t>(a)].bytes < places[static_cast<size_t>(b)].bytes; });
    for (int i = 0; i < count; ++i) out.bytes += places[static_cast<size_t>(order[static_cast<size_t>(i)])].bytes;
}

template <size_t F>
void SortedTops(PositionCode& out, const std::array<Card, F>& tops) {
    for (uint8_t top : heuristic::SortedTopIndices(tops)) out.Byte(top);
}

// ---- Calculation ----

using Calc = CalculationModel;

// How many more cards foundation f must take before it takes `rank` (-1: it has taken it).
int StepsTo(const Calc::Position& p, int f, int rank) {
    int top = p.foundationTops[f].Rank();
    for (int k = 0; k < Card::kRankCount - p.foundationCounts[f]; ++k) {
        top = Calc::FollowingRank(top, f);
        if (top == rank) return k;
    }
    return -1;
}

// How many more cards a foundation must take before this card fits one (99: never).
int CardsBefore(const Calc::Position& p, Card card) {
    if (!card.IsValid()) return 99;
    int best = 99;
    for (int f = 0; f < Calc::kFoundations; ++f) {
        const int steps = StepsTo(p, f, card.Rank());
        if (steps >= 0) best = std::min(best, steps);
    }
    return best;
}

void RankByte(PositionCode& out, Card card) { out.Byte(card.IsValid() ? static_cast<uint8_t>(card.Rank()) : 0xFF); }

// Where a stock card is laid: a good pile keeps its cards in the order the foundations will call
// for them, best of all with the card laid just before the covered one on some foundation's climb,
// so the foundation takes both in turn. Cards put home score their points.
int CalculationOrder(const Calc::Position& p, const PlayMove& move, int points) {
    int score = Generic(move, points);
    if (move.kind != PlayMove::kMove || move.to < Calc::kWastePlace) return score;
    const int pile = move.to - Calc::kWastePlace;
    if (p.wasteCounts[pile] == 0) return score + 100;
    const Card top = Calc::WasteTop(p, pile);
    // Each foundation takes one card of every rank: every foundation that wants the covered card
    // before the laid one will have to wait for another copy.
    int early = 0;
    bool next = false;
    for (int f = 0; f < Calc::kFoundations; ++f) {
        const int laid = StepsTo(p, f, p.current.Rank()), covered = StepsTo(p, f, top.Rank());
        early += covered >= 0 && laid >= 0 && covered < laid;
        next |= laid >= 0 && covered == laid + 1;
    }
    const int covered = CardsBefore(p, top), wanted = CardsBefore(p, p.current);
    score += covered >= wanted ? 300 - 10 * (covered - wanted) : -20 * (wanted - covered);
    return score - 30 * early + (next ? 400 : 0);
}

}  // namespace

// Waste cards only ever go home, so a card under others leaves only once all of them have. The
// test lets every foundation climb as far as it could if no other foundation ever took a card
// from it: a foundation takes its next rank while some card of that rank can be reached (in the
// stock, in hand, or on a waste pile under cards each of which some foundation can climb to),
// and each climb may reach more cards. A foundation that cannot complete even so never will.
bool CalculationHopeless(const void* position) {
    const auto& p = *static_cast<const Calc::Position*>(position);
    constexpr int kRanks = Card::kRankCount;
    std::array<std::array<int, kRanks>, Calc::kFoundations> climb{};  // the ranks each still takes
    std::array<std::array<int, kRanks>, Calc::kFoundations> step{};   // and when (-1: never)
    std::array<int, Calc::kFoundations> left{}, reached{};
    for (int f = 0; f < Calc::kFoundations; ++f) {
        step[f].fill(-1);
        if (!p.foundationTops[f].IsValid()) return false;
        left[f] = Card::kRankCount - p.foundationCounts[f];
        for (int k = 0, rank = p.foundationTops[f].Rank(); k < left[f]; ++k) {
            rank = Calc::FollowingRank(rank, f);
            climb[f][k] = rank;
            step[f][rank] = k;
        }
    }
    std::array<bool, kRanks> loose{};  // ranks held by a card that never waits under another
    for (int i = 0; i < p.stockCount; ++i) loose[p.stock[i].Rank()] = true;
    if (p.current.IsValid()) loose[p.current.Rank()] = true;
    const auto leaves = [&](Card card) {
        for (int f = 0; f < Calc::kFoundations; ++f)
            if (step[f][card.Rank()] >= 0 && step[f][card.Rank()] <= reached[f]) return true;
        return false;
    };
    for (bool climbed = true; climbed;) {
        climbed = false;
        std::array<bool, kRanks> reachable = loose;
        for (int k = 0; k < Calc::kWastePiles; ++k)
            for (int i = p.wasteCounts[k] - 1; i >= 0; --i) {
                reachable[p.waste[k][i].Rank()] = true;
                if (!leaves(p.waste[k][i])) break;
            }
        for (int f = 0; f < Calc::kFoundations; ++f)
            while (reached[f] < left[f] && reachable[climb[f][reached[f]]]) ++reached[f], climbed = true;
    }
    for (int f = 0; f < Calc::kFoundations; ++f)
        if (reached[f] < left[f]) return true;
    return false;
}

// A card going home that no other foundation still wants (every other card of its rank is home):
// it must go there some day, and nothing else can go there first.
bool LastOfRank(const Calc::Position& p, const PlayMove& move) {
    if (move.kind != PlayMove::kMove || move.to >= Calc::kWastePlace) return false;
    const Card card = move.from == Calc::kCurrentPlace ? p.current : Calc::WasteTop(p, move.from - Calc::kWastePlace);
    for (int f = 0; f < Calc::kFoundations; ++f)
        if (f != move.to - Calc::kFoundationPlace && StepsTo(p, f, card.Rank()) >= 0) return false;
    return true;
}

int CalculationScore(const void* before, const PlayMove& move, int points, const void* after) {
    const auto& p = *static_cast<const Calc::Position*>(before);
    if (LastOfRank(p, move)) return kSafeMove;
    if (move.kind == PlayMove::kMove && CalculationHopeless(after)) return kHopeless;
    return CalculationOrder(p, move, points);
}

// Calculation builds by rank alone, whatever the suit, and a stock card may go on any waste pile:
// the code is of ranks, with the waste piles in sorted order.
void CalculationCode(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const Calc::Position*>(position);
    out.bytes.clear();
    for (int f = 0; f < Calc::kFoundations; ++f) {
        out.Byte(static_cast<uint8_t>(p.startRanks[f]));
        out.Byte(static_cast<uint8_t>(p.foundationCounts[f]));
        RankByte(out, p.foundationTops[f]);
    }
    RankByte(out, p.current);
    SortedPlaces<Calc::kWastePiles>(out, Calc::kWastePiles, [&](int k, PositionCode& code) {
        code.Byte(static_cast<uint8_t>(p.wasteCounts[k]));
        for (int i = 0; i < p.wasteCounts[k]; ++i) RankByte(code, p.waste[k][i]);
    });
    out.Byte(static_cast<uint8_t>(p.stockCount));
    for (int i = 0; i < p.stockCount; ++i) RankByte(out, p.stock[i]);
}

// ---- Agnes ----

// A face-down card is turned at once, and a pile's card no other card can still need goes home
// (not a reserve card: a reserve pile's size decides where the stock's next cards fall).
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

// The tableau piles (nothing is ever dealt onto them) and the foundations in sorted order; the
// reserve piles keep theirs, since the stock deals to them in turn.
void AgnesCode(const void* position, PositionCode& out) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    out.bytes.clear();
    p.stock.Encode(out);
    SortedTops(out, p.foundations);
    SortedPlaces<Model::kPiles>(out, Model::kPiles, [&](int pile, PositionCode& code) {
        code.Byte(static_cast<uint8_t>(p.faceDownCount[pile]));
        tableau::EncodePile(code, p.tableau[pile].data(), p.pileCount[pile]);
    });
    for (int pile = 0; pile < Model::kReservePiles; ++pile)
        tableau::EncodePile(out, p.reserve[pile].data(), p.reserveCount[pile]);
    out.Byte(static_cast<uint8_t>(p.startRank));
    const AgnesRules& r = p.rules;
    out.Byte(static_cast<uint8_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3));
}

}  // namespace build_games
