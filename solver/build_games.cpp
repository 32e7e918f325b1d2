// Calculation, Agnes and Spider: which moves the search tries first, which it tries alone (a card nothing
// can still need, sent home) or drops (positions no play can win), which hasty attempts try alone
// or leave out, and codes that let positions differing only in the order of like places meet.
#include "solver/build_games.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "games/models/agnes.h"
#include "games/models/calculation.h"
#include "games/models/spider.h"
#include "solver/heuristic_parts.h"
#include "solver/solver.h"

namespace build_games {
namespace {

using heuristic::CardSentHome;
using heuristic::Generic;
using heuristic::NothingBuildsOn;
using heuristic::Uncovers;

// A doubtful move's score, still ordered among the doubtful ones.
int Doubtful(int score) { return kDoubtful - 4096 + std::clamp(score, -2048, 2048); }

// ---- Calculation ----

using Calc = CalculationModel;

// The rank foundation f takes after `rank` (the model's rule, inline: the search asks it often).
int Following(int rank, int f) {
    rank += f + 1;
    return rank > Card::kAce ? rank - Card::kRankCount : rank;
}

// How many more cards each foundation must take before it takes each rank (-1: it has taken it,
// or never will).
struct Climbs {
    std::array<std::array<int8_t, Card::kRankCount>, Calc::kFoundations> steps;

    explicit Climbs(const Calc::Position& p) {
        for (int f = 0; f < Calc::kFoundations; ++f) {
            steps[f].fill(-1);
            if (!p.foundationTops[f].IsValid()) continue;
            int rank = p.foundationTops[f].Rank();
            for (int k = 0; k < Card::kRankCount - p.foundationCounts[f]; ++k) {
                rank = Following(rank, f);
                steps[f][rank] = static_cast<int8_t>(k);
            }
        }
    }
    // How many more cards a foundation must take before this card fits one (99: never).
    int Before(Card card) const {
        int best = 99;
        if (!card.IsValid()) return best;
        for (const auto& climb : steps)
            if (climb[card.Rank()] >= 0) best = std::min<int>(best, climb[card.Rank()]);
        return best;
    }
};

// How well the card in hand lies on waste pile k: a good pile keeps its cards in the order the
// foundations will call for them, best of all with the card laid just before the covered one on
// some foundation's climb, so the foundation takes both in turn.
int LayScore(const Calc::Position& p, const Climbs& climbs, int k) {
    if (p.wasteCounts[k] == 0) return 100;
    const Card top = Calc::WasteTop(p, k);
    // Each foundation takes one card of every rank: every foundation that wants the covered card
    // before the laid one will have to wait for another copy.
    int early = 0;
    bool next = false;
    for (const auto& climb : climbs.steps) {
        const int laid = climb[p.current.Rank()], covered = climb[top.Rank()];
        early += covered >= 0 && laid >= 0 && covered < laid;
        next |= laid >= 0 && covered == laid + 1;
    }
    const int covered = climbs.Before(top), wanted = climbs.Before(p.current);
    const int score = covered >= wanted ? 300 - 10 * (covered - wanted) : -20 * (wanted - covered);
    return score - 30 * early + (next ? 400 : 0);
}

// How far below the best pile's score a lay is doubtful.
constexpr int kLayMargin = 300;

// Waste cards only ever go home, so a card under others leaves only once all of them have. The
// first test lets every foundation climb as far as it could if no other foundation ever took a
// card from it: a foundation takes its next rank while some card of that rank can be reached (in
// the stock, in hand, or on a waste pile under cards each of which some foundation can climb to),
// and each climb may reach more cards. A foundation that cannot complete even so never will.
// Ranks are sets of bits, and each waste pile is read down once: a card passed stays passed.
bool Unclimbable(const Calc::Position& p) {
    constexpr int kFoundations = Calc::kFoundations;
    std::array<std::array<int8_t, Card::kRankCount>, kFoundations> climb;  // the ranks each still takes
    std::array<int, kFoundations> left, reached{};
    unsigned leaving = 0;    // ranks some foundation can take once reached
    unsigned reachable = 0;  // ranks held by a card that can be reached
    for (int f = 0; f < kFoundations; ++f) {
        left[f] = Card::kRankCount - p.foundationCounts[f];
        for (int k = 0, rank = p.foundationTops[f].Rank(); k < left[f]; ++k) {
            rank = Following(rank, f);
            climb[f][k] = static_cast<int8_t>(rank);
        }
        if (left[f] > 0) leaving |= 1u << climb[f][0];
    }
    for (int i = 0; i < p.stockCount; ++i) reachable |= 1u << p.stock[i].Rank();
    if (p.current.IsValid()) reachable |= 1u << p.current.Rank();
    std::array<int, Calc::kWastePiles> below;  // the next card of each pile not yet reached
    for (int k = 0; k < Calc::kWastePiles; ++k) below[k] = p.wasteCounts[k] - 1;
    for (bool climbed = true; climbed;) {
        climbed = false;
        for (int k = 0; k < Calc::kWastePiles; ++k)
            while (below[k] >= 0) {
                const unsigned bit = 1u << p.waste[k][below[k]].Rank();
                reachable |= bit;
                if (!(leaving & bit)) break;
                --below[k];
            }
        for (int f = 0; f < kFoundations; ++f)
            while (reached[f] < left[f] && reachable >> climb[f][reached[f]] & 1) {
                if (++reached[f] < left[f]) leaving |= 1u << climb[f][reached[f]];
                climbed = true;
            }
    }
    for (int f = 0; f < kFoundations; ++f)
        if (reached[f] < left[f]) return true;
    return false;
}

// The second test counts the copies: each foundation takes one card of every rank, so each card
// goes to exactly one foundation. It keeps the waste piles as they are and lets every card of the
// stock and in hand go home at any time (so it asks less than the game does), and searches every
// order of foundation steps for one that completes all four. Two kinds of step are taken without
// choice, since neither can spoil a completion: a rank with no card left on the piles (the free
// cards serve every foundation that needs it), and the only card of its rank on the piles, once
// on top (whoever would have taken it can take a free card of that rank instead). A foundation
// never takes a free card while a pile's top offers its rank: the pile card serves as well and
// bares more. The verdicts of the states met are kept, keyed by their content, for later calls
// too; a search that outgrows its budget answers "not lost".
class CopiesSearch {
public:
    bool Lost(const Calc::Position& p) {
        budget = kBudget;
        if (verdicts.empty()) verdicts.assign(size_t{1} << kVerdictBits, 0);
        free.fill(0);
        onPiles.fill(0);
        for (int i = 0; i < p.stockCount; ++i) ++free[p.stock[i].Rank()];
        if (p.current.IsValid()) ++free[p.current.Rank()];
        freeKey = piled = founded = 0;
        for (int r = 0; r < Card::kRankCount; ++r) freeKey += kFreeUnit[r] * static_cast<uint64_t>(free[r]);
        for (int f = 0; f < Calc::kFoundations; ++f) {
            left[f] = Card::kRankCount - p.foundationCounts[f];
            for (int k = 0, rank = p.foundationTops[f].Rank(); k < left[f]; ++k) {
                rank = Following(rank, f);
                climb[f][k] = static_cast<int8_t>(rank);
            }
            at[f] = 0;
            founded |= static_cast<uint64_t>(p.startRanks[f] << 4 | p.foundationCounts[f]) << (8 * f);
        }
        for (int k = 0; k < Calc::kWastePiles; ++k) {
            height[k] = p.wasteCounts[k];
            for (int i = 0; i < height[k]; ++i) {
                piles[k][i] = static_cast<int8_t>(p.waste[k][i].Rank());
                ++onPiles[piles[k][i]];
                // The piles' hashes are summed, so their order plays no part.
                prefix[k][i + 1] = heuristic::Mix(prefix[k][i] * 31 + static_cast<uint64_t>(piles[k][i]) + 0x9E3779B97F4A7C15ull);
            }
            piled += prefix[k][height[k]];
        }
        return Search() == kLost;
    }

private:
    static constexpr int kBudget = 1000;     // states searched a call
    static constexpr int kVerdictBits = 16;  // a table small enough to stay in the cache
    static constexpr std::array<uint64_t, Card::kRankCount> kFreeUnit = [] {
        std::array<uint64_t, Card::kRankCount> unit{};
        for (uint64_t r = 0, u = 1; r < unit.size(); ++r, u *= 5) unit[r] = u;
        return unit;
    }();
    enum Verdict { kLost = 0, kWon = 1, kTooLong = -1 };

    // Foundation f takes its next rank from pile k, or (k < 0) from the free cards; and back.
    void Take(int f, int k) {
        const int rank = climb[f][at[f]++];
        founded += uint64_t{1} << (8 * f);
        if (k < 0) {
            --free[rank], freeKey -= kFreeUnit[rank];
        } else {
            piled -= prefix[k][height[k]] - prefix[k][height[k] - 1];
            --height[k], --onPiles[rank];
        }
    }
    void Return(int f, int k) {
        const int rank = climb[f][--at[f]];
        founded -= uint64_t{1} << (8 * f);
        if (k < 0) {
            ++free[rank], freeKey += kFreeUnit[rank];
        } else {
            ++height[k], ++onPiles[rank];
            piled += prefix[k][height[k]] - prefix[k][height[k] - 1];
        }
    }
    bool OnTop(int k, int rank) const { return height[k] > 0 && piles[k][height[k] - 1] == rank; }

    Verdict Search() {
        std::array<int8_t, Card::kRankCount * Calc::kFoundations> taken;  // foundation << 3 | pile + 1
        int count = 0;
        for (bool more = true; more;) {
            more = false;
            for (int f = 0; f < Calc::kFoundations; ++f)
                while (at[f] < left[f]) {
                    const int rank = climb[f][at[f]];
                    int k = -1;
                    if (onPiles[rank] == 1) {
                        k = 0;
                        while (k < Calc::kWastePiles && !OnTop(k, rank)) ++k;
                        if (k == Calc::kWastePiles) break;
                    } else if (onPiles[rank] > 0 || free[rank] == 0) {
                        break;
                    }
                    Take(f, k);
                    taken[count++] = static_cast<int8_t>(f << 3 | (k + 1));
                    more = true;
                }
        }
        const Verdict verdict = Choose();
        while (count > 0) {
            --count;
            Return(taken[count] >> 3, (taken[count] & 7) - 1);
        }
        return verdict;
    }

    Verdict Choose() {
        bool done = true;
        for (int f = 0; f < Calc::kFoundations; ++f) done &= at[f] == left[f];
        if (done) return kWon;
        using heuristic::Mix;
        // The low bit holds the verdict; the next is set, so no key reads as an empty entry.
        const uint64_t key = (Mix(piled ^ Mix(freeKey ^ founded << 31 ^ founded >> 33)) | 2) & ~uint64_t{1};
        uint64_t& known = verdicts[(key >> 2) & (verdicts.size() - 1)];
        if ((known & ~uint64_t{1}) == key) return static_cast<Verdict>(known & 1);
        if (--budget < 0) return kTooLong;
        bool tooLong = false;
        const auto step = [&](int f, int k) {
            Take(f, k);
            const Verdict verdict = Search();
            Return(f, k);
            tooLong |= verdict == kTooLong;
            return verdict == kWon;
        };
        for (int f = 0; f < Calc::kFoundations; ++f) {
            if (at[f] == left[f]) continue;
            const int rank = climb[f][at[f]];
            bool onTop = false;
            for (int k = 0; k < Calc::kWastePiles; ++k)
                if (OnTop(k, rank)) {
                    onTop = true;
                    if (step(f, k)) return known = key | 1, kWon;
                }
            if (!onTop && free[rank] > 0 && step(f, -1)) return known = key | 1, kWon;
        }
        if (tooLong) return kTooLong;
        known = key;
        return kLost;
    }

    int budget = 0;
    std::vector<uint64_t> verdicts;  // by key: key | 1 won, key lost
    uint64_t piled = 0, freeKey = 0, founded = 0;  // the key's parts: the piles, the free cards, the foundations
    std::array<int, Card::kRankCount> free{}, onPiles{};
    std::array<std::array<int8_t, Card::kRankCount>, Calc::kFoundations> climb{};
    std::array<int, Calc::kFoundations> left{}, at{};
    std::array<std::array<int8_t, Calc::kWasteSlots>, Calc::kWastePiles> piles{};
    std::array<std::array<uint64_t, Calc::kWasteSlots + 1>, Calc::kWastePiles> prefix{};  // hashes of the bottom cards
    std::array<int, Calc::kWastePiles> height{};
};

}  // namespace

bool CalculationHopeless(const void* position) {
    const auto& p = *static_cast<const Calc::Position*>(position);
    for (Card top : p.foundationTops)
        if (!top.IsValid()) return false;
    if (Unclimbable(p)) return true;
    static thread_local CopiesSearch copies;
    return copies.Lost(p);
}

// A card going home that no other foundation still wants (every other card of its rank is home):
// it must go there some day, and nothing else can go there first.
bool LastOfRank(const Calc::Position& p, const Climbs& climbs, const PlayMove& move) {
    const Card card = move.from == Calc::kCurrentPlace ? p.current : Calc::WasteTop(p, move.from - Calc::kWastePlace);
    for (int f = 0; f < Calc::kFoundations; ++f)
        if (f != move.to - Calc::kFoundationPlace && climbs.steps[f][card.Rank()] >= 0) return false;
    return true;
}

// Besides the safe and hopeless moves: a card put home is likely safe (hasty attempts try it
// alone), and a card laid on a pile far worse than the best pile for it is doubtful (hasty
// attempts leave it out).
int CalculationScore(const void* before, const PlayMove& move, int points, const void* after) {
    const auto& p = *static_cast<const Calc::Position*>(before);
    if (move.kind != PlayMove::kMove) return Generic(move, points);
    const Climbs climbs(p);
    const bool home = move.to < Calc::kWastePlace;
    if (home && LastOfRank(p, climbs, move)) return kSafeMove;
    if (CalculationHopeless(after)) return kHopeless;
    if (home) return kLikelySafe + Generic(move, points);
    const int lay = LayScore(p, climbs, move.to - Calc::kWastePlace);
    int best = lay;
    for (int k = 0; k < Calc::kWastePiles; ++k) best = std::max(best, LayScore(p, climbs, k));
    if (lay + kLayMargin < best) return Doubtful(lay);
    return lay;
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

// CalculationCode's content hashed without building it: the waste piles' hashes summed, so their
// order plays no part.
uint64_t CalculationHash(const void* position) {
    using heuristic::Mix;
    const auto& p = *static_cast<const Calc::Position*>(position);
    const auto rank = [](Card card) { return static_cast<uint64_t>(card.IsValid() ? card.Rank() : 0xF); };
    uint64_t state = static_cast<uint64_t>(p.stockCount) << 56 | rank(p.current) << 48;
    for (int f = 0; f < Calc::kFoundations; ++f)
        state |= (static_cast<uint64_t>(p.startRanks[f] & 0xF) << 8 | static_cast<uint64_t>(p.foundationCounts[f] & 0xF) << 4 |
                  rank(p.foundationTops[f]))
                 << (12 * f);
    uint64_t piles = 0;
    for (int k = 0; k < Calc::kWastePiles; ++k) {
        uint64_t hash = 3, word = static_cast<uint64_t>(p.wasteCounts[k]);
        for (int i = 0; i < p.wasteCounts[k]; ++i) {
            word = word << 8 | (rank(p.waste[k][i]) + 1);
            if (i % 7 == 6) hash = Mix(hash ^ word), word = 0;
        }
        piles += Mix(hash ^ word);
    }
    return Mix(Mix(state) ^ Mix(piles ^ 0xAAAA));
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

// A relaxed replay of any winning play: a card separates from the card it lies on once it can
// move (a face-up pile card carries the run on it; a face-down or reserve card must first be on
// top) and has somewhere to go: home, an empty pile if its rank may start one, or a host not yet
// home that can come to the top of a tableau pile. A card goes home once it is on top (the card
// lying on it has separated) and the lower cards of its suit are home. Cards the stock still
// holds count as free. Every condition is one the real play must meet first, so a card that
// never goes home here never goes home at all. Unlike the cycle test this sees hosts lost under
// other blocked cards and runs that can only leave on a host they already lie on.
bool AgnesBlocked(const AgnesModel::Position& p) {
    using Model = AgnesModel;
    constexpr int kCards = Card::kCardsPerPack;
    std::array<int, Card::kSuitCount> home{};
    for (Card top : p.foundations)
        if (top.IsValid()) home[top.Suit()] = heuristic::Order(top, p.startRank) + 1;
    enum : uint8_t { kFree, kFaceUp, kCovered, kReserve };  // where a card lies and how it may move
    std::array<uint8_t, kCards> where{};
    std::array<int8_t, kCards> above;
    above.fill(-1);
    std::array<bool, kCards> homed{}, left{};
    for (int pile = 0; pile < Model::kPiles; ++pile)
        for (int i = 0; i < p.pileCount[pile]; ++i) {
            const int c = p.tableau[pile][i].Index();
            where[c] = i < p.faceDownCount[pile] ? kCovered : kFaceUp;
            if (i + 1 < p.pileCount[pile]) above[c] = static_cast<int8_t>(p.tableau[pile][i + 1].Index());
        }
    for (int pile = 0; pile < Model::kReservePiles; ++pile)
        for (int i = 0; i < p.reserveCount[pile]; ++i) {
            const int c = p.reserve[pile][i].Index();
            where[c] = kReserve;
            if (i + 1 < p.reserveCount[pile]) above[c] = static_cast<int8_t>(p.reserve[pile][i + 1].Index());
        }
    // A pile empties once its bottom card has left.
    bool emptyPile = false;
    std::array<int8_t, Model::kPiles> bottom;
    for (int pile = 0; pile < Model::kPiles; ++pile) {
        bottom[pile] = p.pileCount[pile] > 0 ? static_cast<int8_t>(p.tableau[pile][0].Index()) : -1;
        emptyPile |= bottom[pile] < 0;
    }
    // The cards not yet home, lowest first in their suits so that one pass can send a whole suit
    // home, each with the card below it in its suit (-1: none) and its hosts not yet home.
    struct Waiting {
        int8_t card, below, hosts[2];
    };
    std::array<Waiting, kCards> waiting;
    int missing = 0;
    for (int order = 0; order < Card::kRankCount; ++order)
        for (int suit = 0; suit < Card::kSuitCount; ++suit) {
            const Card card(suit, (p.startRank + order) % Card::kRankCount);
            const int c = card.Index();
            homed[c] = left[c] = order < home[suit];
            if (homed[c]) continue;
            Waiting& w = waiting[static_cast<size_t>(missing++)];
            w = {static_cast<int8_t>(c), -1, {-1, -1}};
            if (order > 0) w.below = static_cast<int8_t>(Card(suit, (card.Rank() + Card::kRankCount - 1) % Card::kRankCount).Index());
            if (order == 0) continue;  // the starting rank goes on no card
            const int hostOrder = (order + 1) % Card::kRankCount;
            int n = 0;
            for (int hostSuit = 0; hostSuit < Card::kSuitCount; ++hostSuit) {
                const Card host(hostSuit, tableau::NextRank(card.Rank()));
                if (host.IsRed() != card.IsRed() && hostOrder >= home[hostSuit]) w.hosts[n++] = static_cast<int8_t>(host.Index());
            }
        }
    const auto onTop = [&](int c) { return above[c] < 0 || left[above[c]]; };
    for (bool changed = true; changed && missing > 0;) {
        changed = false;
        int kept = 0;
        for (int k = 0; k < missing; ++k) {
            const Waiting& w = waiting[static_cast<size_t>(k)];
            const int c = w.card;
            if (onTop(c) && (w.below < 0 || homed[w.below])) {
                homed[c] = left[c] = changed = true;
                continue;
            }
            waiting[static_cast<size_t>(kept++)] = w;
            if (left[c] || where[c] == kFree || (where[c] != kFaceUp && !onTop(c))) continue;
            bool go = false;
            if (tableau::NextRank(c % Card::kRankCount) == p.startRank) {  // it may start an empty pile
                for (int8_t b : bottom) emptyPile |= b >= 0 && left[b];
                go = emptyPile;
            }
            for (int8_t h : w.hosts)  // a reserve card serves as a host only once moved to the tableau
                go |= h >= 0 && (where[h] == kFree || (where[h] == kReserve ? left[h] : onTop(h)));
            if (go) left[c] = changed = true;
        }
        missing = kept;
    }
    return missing > 0;
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
    if (!anyStuck) return AgnesBlocked(p);
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
    return HasCycle(next, 2 * kCards) || AgnesBlocked(p);
}

// Whether a run laid on a pile's top card t leaves the relaxed replay (AgnesBlocked) no worse off
// than before: t's twin (the other card of its rank and colour) is in the stock or on top of a
// pile, so the run's first card leaves t at once there, and everything else is as before or
// freer (the card it left now on top). Where the position before was no dead end, the one after
// is none either, and the test can be spared.
namespace {
bool RunLeavesAtOnce(const AgnesModel::Position& p, const AgnesModel::Position& q, int to) {
    using Model = AgnesModel;
    if (p.pileCount[to] == 0) return false;
    const Card t = p.tableau[to][p.pileCount[to] - 1], twin(t.Suit() ^ 2, t.Rank());
    for (int i = 0; i < q.stock.count; ++i)
        if (q.stock.cards[i] == twin) return true;
    for (int pile = 0; pile < Model::kPiles; ++pile)
        if (q.FaceUpTop(pile) && q.tableau[pile][q.pileCount[pile] - 1] == twin) return true;
    return false;
}
}  // namespace

// A face-down card is turned at once, and a pile's card no other card can still need goes home
// (not a reserve card: a reserve pile's size decides where the stock's next cards fall). A move
// into a position no play can win is dropped. Any other card put home is likely safe (hasty
// attempts try it alone), and a run moved off a face-up card that cannot then go home is
// doubtful (hasty attempts leave it out).
int AgnesScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    // Only a card gone home (a host lost) or a deal (reserve piles grown) can close a cycle; a run
    // laid on a pile can also bury the last host another card could leave on.
    if ((move.kind == PlayMove::kStock || move.to < Model::kFirstPile) && AgnesHopeless(after)) return kHopeless;
    if (move.kind == PlayMove::kMove && move.to >= Model::kFirstPile && p.rules.tableauStart && p.startRank >= 0 &&
        !RunLeavesAtOnce(p, *static_cast<const Model::Position*>(after), move.to - Model::kFirstPile) &&
        AgnesBlocked(*static_cast<const Model::Position*>(after)))
        return kHopeless;
    const Card home = CardSentHome(*static_cast<const Model::Position*>(after), move, Model::kFirstFoundation);
    if (home.IsValid() && move.from >= Model::kFirstPile && move.from < Model::kFirstReserve &&
        NothingBuildsOn(home, p.foundations, p.startRank, 1,
                        [&](Card other, Card card) { return Model::CanPlay(p, other, card, false); }))
        return kSafeMove;
    const int score = Generic(move, points) + Uncovers(move, Model::kFirstPile, Model::kPiles, p.faceDownCount.data());
    if (move.kind != PlayMove::kMove) return score;
    if (move.to < Model::kFirstPile) return kLikelySafe + score;
    // A run moved off a face-up card that cannot then go home only trades one host for another.
    const int pile = move.from - Model::kFirstPile;
    if (pile >= 0 && pile < Model::kPiles && move.index > p.faceDownCount[pile]) {
        const auto& q = *static_cast<const Model::Position*>(after);
        const Card bared = p.tableau[pile][move.index - 1];
        for (int f = 0; f < Model::kFoundations; ++f)
            if (Model::FitsFoundation(q, f, bared, 1)) return score;
        return Doubtful(score);
    }
    return score;
}

// The tableau piles (nothing is ever dealt onto them) and the foundations in sorted order; the
// reserve piles keep theirs, since the stock deals to them in turn. The stock only ever deals from
// its top, so within one search its size tells it. Built in fixed buffers: the search codes every
// position it meets.
void AgnesCode(const void* position, PositionCode& out) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    heuristic::CodeBuffer code;
    code.Byte(p.stock.count);
    code.SortedTops(p.foundations);
    code.SortedPiles(p.tableau, p.pileCount, p.faceDownCount.data());
    for (int pile = 0; pile < Model::kReservePiles; ++pile) code.Run(p.reserve[pile].data(), p.reserveCount[pile]);
    code.Byte(p.startRank);
    const AgnesRules& r = p.rules;
    code.Byte(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3);
    code.Into(out);
}

namespace {
uint64_t ReservePileHash(const AgnesModel::Position& p, int pile) {
    return heuristic::RunHash(0x243F6A8885A308D3ull, pile, p.reserve[pile].data(), p.reserveCount[pile]);
}

uint64_t AgnesHashWith(const AgnesModel::Position& p, uint64_t piles, uint64_t reserve) {
    using heuristic::Mix;
    const AgnesRules& r = p.rules;
    const uint64_t counts = static_cast<uint64_t>(p.stock.count) | static_cast<uint64_t>(p.startRank & 0xFF) << 8 |
                            static_cast<uint64_t>(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3) << 16;
    return Mix(Mix(counts) ^ Mix(heuristic::TopsHash(p.foundations) ^ 0x5555) ^ Mix(piles ^ 0xAAAA) ^ Mix(reserve ^ 0x3333));
}

constexpr int kAgnesPileHashes = AgnesModel::kPiles + AgnesModel::kReservePiles;
static_assert(kAgnesPileHashes <= kMaxPileHashes);

void AgnesPileHashes(const void* position, uint64_t* out) {
    const auto& p = *static_cast<const AgnesModel::Position*>(position);
    heuristic::PileHashes(p, AgnesModel::kPiles, true, out);
    for (int pile = 0; pile < AgnesModel::kReservePiles; ++pile) out[AgnesModel::kPiles + pile] = ReservePileHash(p, pile);
}

// AgnesHash of a child from its parent's pile hashes. A reserve pile only gains or loses cards at
// its top, and never both in one move: one with its size and top card as before is as before.
uint64_t AgnesChildHash(const void* parent, const uint64_t* parentPiles, const void* position) {
    using Model = AgnesModel;
    const auto& before = *static_cast<const Model::Position*>(parent);
    const auto& p = *static_cast<const Model::Position*>(position);
    uint64_t reserve = 0;
    for (int pile = 0; pile < Model::kReservePiles; ++pile) {
        const int n = p.reserveCount[pile];
        reserve += n == before.reserveCount[pile] && (n == 0 || p.reserve[pile][n - 1] == before.reserve[pile][n - 1])
                       ? parentPiles[Model::kPiles + pile]
                       : ReservePileHash(p, pile);
    }
    return AgnesHashWith(p, heuristic::PilesHashFrom(before, parentPiles, p, Model::kPiles, true), reserve);
}
}  // namespace

// AgnesCode's content hashed without building it: tableau piles and foundations summed, so their
// order plays no part, and each reserve pile's hash seeded with its place.
uint64_t AgnesHash(const void* position) {
    using Model = AgnesModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    uint64_t reserve = 0;
    for (int pile = 0; pile < Model::kReservePiles; ++pile) reserve += ReservePileHash(p, pile);
    return AgnesHashWith(p, heuristic::PilesHash(p.tableau, p.pileCount, Model::kPiles, &p.faceDownCount), reserve);
}

PileHasher AgnesPileHash() { return {AgnesPileHashes, AgnesChildHash}; }

// ---- Spider ----

// A Spider position no play can win: some cards can never leave the card under them. A card lying
// on one it is not built on (or on the bare column) must leave it before either goes home, and
// nothing under it can come to the top before it does, since a run moving from lower down would
// carry it along built on its own card. Only a suit's King goes home from such a place; any other
// card leaves onto one of the two copies of the card one rank up, or into an empty column. Take
// the set B of such non-King cards whose every copy of that host is home or lies under a card of
// B. While no column is empty, no card of B can be the first of B to leave: its hosts are all
// buried under cards of B that have not left. If every column holds a card of B, none can ever be
// emptied either, so no card of B ever leaves and the card under it never goes home.
namespace {
bool SpiderBlocked(const SpiderModel::Position& p, std::vector<std::pair<int, int>>* frozen = nullptr) {
    using Model = SpiderModel;
    constexpr int kCards = Card::kCardsPerPack;
    if (!p.rules.suitAssembled) return false;
    // Where each card's copies lie in the columns (column, height), and which may yet be hosts.
    std::array<std::array<int8_t, 2>, kCards> column, height;
    std::array<uint8_t, kCards> copies{}, free{};
    for (int c = 0; c < Model::kPiles; ++c) {
        if (p.pileCount[c] == 0) return false;
        for (int i = 0; i < p.pileCount[c]; ++i) {
            const int card = p.tableau[c][i].Index();
            if (copies[card] < 2) column[card][copies[card]] = static_cast<int8_t>(c), height[card][copies[card]++] = static_cast<int8_t>(i);
        }
    }
    for (int i = 0; i < p.stock.count; ++i) free[p.stock.cards[i].Index()] = 1;
    // The candidates, marked by their place: non-King cards on a card they are not built on
    // (Model::CanPlace spelt out: this runs after many moves).
    std::array<std::array<bool, Model::kPileSlots>, Model::kPiles> inB{};
    std::array<int8_t, Model::kPiles> top{};  // the highest card of B in each column, -1: none
    const int highest = (p.startCard + Card::kRankCount - 1) % Card::kRankCount;
    bool any = false;
    for (int c = 0; c < Model::kPiles; ++c)
        for (int i = 0; i < p.pileCount[c]; ++i) {
            const Card x = p.tableau[c][i];
            const int up = tableau::NextRank(x.Rank());
            if (x.Rank() == highest || up == p.startCard) continue;  // a King: it may go home
            if (i > 0) {
                const Card under = p.tableau[c][i - 1];
                if (under.Suit() == x.Suit() && under.Rank() == up) continue;
            }
            inB[c][i] = any = true;
        }
    if (!any) return false;
    for (bool changed = true; changed;) {
        changed = false;
        for (int c = 0; c < Model::kPiles; ++c) {
            top[c] = -1;
            for (int i = p.pileCount[c] - 1; i >= 0 && top[c] < 0; --i)
                if (inB[c][i]) top[c] = static_cast<int8_t>(i);
            if (top[c] < 0) return false;  // a column that may be emptied
        }
        for (int c = 0; c < Model::kPiles; ++c)
            for (int i = 0; i < p.pileCount[c]; ++i) {
                if (!inB[c][i]) continue;
                const Card x = p.tableau[c][i];
                const int host = Card(x.Suit(), tableau::NextRank(x.Rank())).Index();
                bool out = free[host];
                for (int k = 0; k < copies[host] && !out; ++k) out = top[column[host][k]] <= height[host][k];
                if (out) inB[c][i] = false, changed = true;
            }
    }
    if (frozen)
        for (int c = 0; c < Model::kPiles; ++c)
            for (int i = 0; i < p.pileCount[c]; ++i)
                if (inB[c][i]) frozen->emplace_back(c, i);
    return true;
}
}  // namespace

bool SpiderHopeless(const void* position, std::vector<std::pair<int, int>>* frozen) {
    return SpiderBlocked(*static_cast<const SpiderModel::Position*>(position), frozen);
}

// Turning a face-down card only adds a face-up one, and a complete suit on a column takes nothing
// and goes only home or into an empty column: both are tried alone. A move that bares a
// face-down card comes first among the rest. The dead end is asked only after a deal, a suit sent
// home or a move into an empty column: a run laid on the card it is built on makes no new card
// that cannot leave, buries no host under one, and leaves every column as full as before, so
// where the position before was no dead end, the one after is none either.
int SpiderScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = SpiderModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    const bool ontoCard = move.kind == PlayMove::kMove && move.to >= Model::kFirstPile && p.pileCount[move.to - Model::kFirstPile] > 0;
    if (!ontoCard && SpiderBlocked(*static_cast<const Model::Position*>(after))) return kHopeless;
    if (move.kind == PlayMove::kMove && move.to < Model::kFirstPile && move.count == Model::kSuitLength &&
        p.rules.suitAssembled)
        return kSafeMove;
    return Generic(move, points) + Uncovers(move, Model::kFirstPile, Model::kPiles, p.faceDownCount.data());
}

// The stock only ever deals from its top, so within one search its size tells it. It deals a card
// to each column in turn, so the columns keep their order until it is out; then they are alike.
void SpiderCode(const void* position, PositionCode& out) {
    using Model = SpiderModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    heuristic::CodeBuffer code;
    code.Byte(p.stock.count);
    code.SortedTops(p.foundations);
    if (p.stock.count == 0) {
        code.SortedPiles(p.tableau, p.pileCount, p.faceDownCount.data());
    } else {
        for (int column = 0; column < Model::kPiles; ++column) {
            code.Byte(p.faceDownCount[column]);
            code.Run(p.tableau[column].data(), p.pileCount[column]);
        }
    }
    code.Byte(p.startCard);
    code.Byte(p.rules.suitAssembled | p.rules.autoFlip << 1);
    code.Into(out);
}

// SpiderCode's content hashed without building it: the columns summed once the stock is out, so
// their order plays no part, and chained in their order until then.
uint64_t SpiderHash(const void* position) {
    using heuristic::Mix;
    using Model = SpiderModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    uint64_t piles = 0x243F6A8885A308D3ull;
    if (p.stock.count == 0) {
        piles = heuristic::PilesHash(p.tableau, p.pileCount, Model::kPiles, &p.faceDownCount);
    } else {
        for (int column = 0; column < Model::kPiles; ++column)
            piles = heuristic::RunHash(piles, p.faceDownCount[column], p.tableau[column].data(), p.pileCount[column]);
    }
    const uint64_t counts = static_cast<uint64_t>(p.stock.count) | static_cast<uint64_t>(p.startCard & 0xFF) << 8 |
                            static_cast<uint64_t>(p.rules.suitAssembled | p.rules.autoFlip << 1) << 16;
    return Mix(Mix(counts) ^ Mix(heuristic::TopsHash(p.foundations) ^ 0x5555) ^ Mix(piles ^ 0xAAAA));
}

// The model's game-over test searches every sequence of run moves for progress, at every position
// the solver meets, and took most of its time. Here only the plain reasons: with the stock out,
// no face-down card left and no suit with a card of every rank in the columns, no suit can be
// completed. Every other position is searched by the solver itself.
bool SpiderOver(const void* position) {
    using Model = SpiderModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    if (!p.rules.suitAssembled || p.stock.count > 0) return false;
    std::array<uint16_t, Card::kSuitCount> ranks{};
    for (int column = 0; column < Model::kPiles; ++column) {
        if (p.faceDownCount[column] > 0) return false;
        for (int i = 0; i < p.pileCount[column]; ++i) ranks[p.tableau[column][i].Suit()] |= uint16_t(1 << p.tableau[column][i].Rank());
    }
    for (uint16_t suit : ranks)
        if (suit == (1 << Card::kRankCount) - 1) return false;
    return true;
}

}  // namespace build_games
