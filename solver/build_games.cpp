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
// the code is of ranks, with the waste piles in sorted order. The stock is only ever dealt from
// its top, so within one search its size tells it. Built in fixed buffers: the search codes every
// position it meets.
void CalculationCode(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const Calc::Position*>(position);
    const auto rank = [](Card card) { return static_cast<uint8_t>(card.IsValid() ? card.Rank() : 0xFF); };
    std::array<std::array<uint8_t, Calc::kWasteSlots + 1>, Calc::kWastePiles> piles{};
    for (int k = 0; k < Calc::kWastePiles; ++k) {
        auto& code = piles[static_cast<size_t>(k)];
        code[0] = static_cast<uint8_t>(p.wasteCounts[k]);
        for (int i = 0; i < p.wasteCounts[k]; ++i) code[static_cast<size_t>(i) + 1] = rank(p.waste[k][i]);
    }
    std::sort(piles.begin(), piles.end());
    std::array<uint8_t, 16 + Calc::kWastePiles * (Calc::kWasteSlots + 1)> bytes;
    size_t size = 0;
    for (int f = 0; f < Calc::kFoundations; ++f) {
        bytes[size++] = static_cast<uint8_t>(p.startRanks[f]);
        bytes[size++] = static_cast<uint8_t>(p.foundationCounts[f]);
        bytes[size++] = rank(p.foundationTops[f]);
    }
    bytes[size++] = rank(p.current);
    bytes[size++] = static_cast<uint8_t>(p.stockCount);
    for (const auto& pile : piles) {
        std::copy_n(pile.begin(), pile[0] + 1, bytes.begin() + static_cast<ptrdiff_t>(size));
        size += pile[0] + 1u;
    }
    out.bytes.assign(reinterpret_cast<const char*>(bytes.data()), size);
}

// ---- Agnes ----

namespace {

// Whether the events 0..n-1 (at most two successors each, -1 for none: next[e] must come after e)
// contain a cycle. Kahn's order: events with no predecessor left are taken away one by one; a
// cycle is what remains.
template <size_t N>
bool HasCycle(const std::array<std::array<int8_t, 2>, N>& next, int n) {
    std::array<int8_t, N> waiting{};
    for (int e = 0; e < n; ++e)
        for (int8_t to : next[static_cast<size_t>(e)])
            if (to >= 0) ++waiting[static_cast<size_t>(to)];
    std::array<int8_t, N> ready;
    int readyCount = 0, taken = 0;
    for (int e = 0; e < n; ++e)
        if (waiting[static_cast<size_t>(e)] == 0) ready[static_cast<size_t>(readyCount++)] = static_cast<int8_t>(e);
    while (readyCount > 0) {
        const int e = ready[static_cast<size_t>(--readyCount)];
        ++taken;
        for (int8_t to : next[static_cast<size_t>(e)])
            if (to >= 0 && --waiting[static_cast<size_t>(to)] == 0) ready[static_cast<size_t>(readyCount++)] = to;
    }
    return taken < n;
}

}  // namespace

// Some events must come in order: a card leaves the card under it no later than it goes home, a
// card goes home after the lower cards of its suit, and in a stack whose cards leave from the top
// only (a pile's face-down cards with the face-up card on them, a reserve pile: the stock only
// ever deals on top) a card leaves before the card under it. A card that may not start an empty
// pile, and whose places in the tableau are all home or below it in its stack, leaves only to go
// home. A cycle in these orders means no play wins: the simplest is such a card above a lower
// card of its suit.
bool AgnesHopeless(const void* position) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    constexpr int kCards = Card::kCardsPerPack;
    // With any card allowed into an empty pile no card is stuck, and without a cycle through a
    // stuck card there is none.
    if (p.startRank < 0 || !p.rules.tableauStart) return false;
    std::array<int, Card::kSuitCount> home{};
    for (Card top : p.foundations)
        if (top.IsValid()) home[top.Suit()] = heuristic::Order(top, p.startRank) + 1;
    std::array<int8_t, kCards> stack, height{}, under;
    stack.fill(-1);
    under.fill(-1);
    const auto lay = [&](const Card* cards, int count, int in) {
        for (int i = 0; i < count; ++i) {
            stack[cards[i].Index()] = static_cast<int8_t>(in);
            height[cards[i].Index()] = static_cast<int8_t>(i);
            if (i > 0) under[cards[i].Index()] = static_cast<int8_t>(cards[i - 1].Index());
        }
    };
    for (int pile = 0; pile < Model::kPiles; ++pile)
        lay(p.tableau[pile].data(), std::min(p.pileCount[pile], p.faceDownCount[pile] + 1), pile);
    for (int pile = 0; pile < Model::kReservePiles; ++pile)
        lay(p.reserve[pile].data(), p.reserveCount[pile], Model::kPiles + pile);
    std::array<bool, kCards> stuck{};
    bool anyStuck = false;
    for (int c = 0; c < kCards; ++c) {
        if (under[c] < 0) continue;
        const Card card(c / Card::kRankCount, c % Card::kRankCount);
        const int hostRank = tableau::NextRank(card.Rank());
        if (hostRank == p.startRank) continue;  // it may start an empty pile
        bool free = false;
        for (int suit = 0; suit < Card::kSuitCount && !free && card.Rank() != p.startRank; ++suit) {
            const Card host(suit, hostRank);
            const int h = host.Index();
            if (host.IsRed() == card.IsRed()) continue;
            const bool below = stack[h] >= 0 && stack[h] == stack[c] && height[h] < height[c];
            free = heuristic::Order(host, p.startRank) >= home[suit] && !below;
        }
        stuck[c] = !free;
        anyStuck |= !free;
    }
    if (!anyStuck) return false;
    // Events: leaving of card c is c, going home kCards + c; a stuck card's two are one, c.
    std::array<std::array<int8_t, 2>, 2 * kCards> next;
    for (auto& n : next) n = {-1, -1};
    const auto homeEvent = [&](int c) { return stuck[c] ? c : kCards + c; };
    for (int c = 0; c < kCards; ++c) {
        const Card card(c / Card::kRankCount, c % Card::kRankCount);
        const int order = heuristic::Order(card, p.startRank);
        if (order < home[card.Suit()]) continue;
        if (!stuck[c]) next[c][0] = static_cast<int8_t>(kCards + c);
        if (under[c] >= 0) next[c][1] = under[c];
        if (order + 1 < Card::kRankCount)
            next[homeEvent(c)][stuck[c] ? 0 : 1] = static_cast<int8_t>(
                homeEvent(Card(card.Suit(), (p.startRank + order + 1) % Card::kRankCount).Index()));
    }
    return HasCycle(next, 2 * kCards);
}

// A face-down card is turned at once, and a pile's card no other card can still need goes home
// (not a reserve card: a reserve pile's size decides where the stock's next cards fall). A move
// into a position no play can win is dropped.
int AgnesScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    // Only a card gone home (a host lost) or a deal (reserve piles grown) can close a cycle.
    if ((move.kind == PlayMove::kStock || move.to < Model::kFirstPile) && AgnesHopeless(after)) return kHopeless;
    const Card home = CardSentHome(*static_cast<const Model::Position*>(after), move, Model::kFirstFoundation);
    if (home.IsValid() && move.from >= Model::kFirstPile && move.from < Model::kFirstReserve &&
        NothingBuildsOn(home, p.foundations, p.startRank, 1,
                        [&](Card other, Card card) { return Model::CanPlay(p, other, card, false); }))
        return kSafeMove;
    return Generic(move, points) + Uncovers(move, Model::kFirstPile, Model::kPiles, p.faceDownCount.data());
}

// The tableau piles (nothing is ever dealt onto them) and the foundations in sorted order; the
// reserve piles keep theirs, since the stock deals to them in turn. The stock only ever deals from
// its top, so within one search its size tells it. Built in fixed buffers: the search codes every
// position it meets.
void AgnesCode(const void* position, PositionCode& out) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    constexpr size_t kPileBytes = Model::kPileSlots + 2;
    std::array<std::array<uint8_t, kPileBytes>, Model::kPiles> piles{};
    std::array<uint8_t, Model::kPiles> order{};
    for (int k = 0; k < Model::kPiles; ++k) {
        auto& code = piles[static_cast<size_t>(k)];
        code[0] = static_cast<uint8_t>(p.faceDownCount[k]);
        code[1] = static_cast<uint8_t>(p.pileCount[k]);
        for (int i = 0; i < p.pileCount[k]; ++i) code[static_cast<size_t>(i) + 2] = static_cast<uint8_t>(p.tableau[k][i].Index());
        order[static_cast<size_t>(k)] = static_cast<uint8_t>(k);
    }
    std::sort(order.begin(), order.end(), [&](uint8_t a, uint8_t b) { return piles[a] < piles[b]; });
    std::array<uint8_t, 256> bytes;
    size_t size = 0;
    bytes[size++] = static_cast<uint8_t>(p.stock.count);
    for (uint8_t top : heuristic::SortedTopIndices(p.foundations)) bytes[size++] = top;
    for (uint8_t k : order) {
        const size_t n = static_cast<size_t>(piles[k][1]) + 2;
        std::copy_n(piles[k].begin(), n, bytes.begin() + static_cast<ptrdiff_t>(size));
        size += n;
    }
    for (int pile = 0; pile < Model::kReservePiles; ++pile) {
        bytes[size++] = static_cast<uint8_t>(p.reserveCount[pile]);
        for (int i = 0; i < p.reserveCount[pile]; ++i) bytes[size++] = static_cast<uint8_t>(p.reserve[pile][i].Index());
    }
    bytes[size++] = static_cast<uint8_t>(p.startRank);
    const AgnesRules& r = p.rules;
    bytes[size++] = static_cast<uint8_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3);
    out.bytes.assign(reinterpret_cast<const char*>(bytes.data()), size);
}

}  // namespace build_games
