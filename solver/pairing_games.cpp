// Move orders for the games whose cards leave in pairs or go onto shared piles regardless of suit,
// and for Gate. Most of their moves are removals or moves home, so what helps the search is
// knowing which removals can never be wrong (kSafeMove), which positions can no longer be won
// (kHopeless), and which positions share a future although their cards differ (a coarser code).
#include "solver/pairing_games.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "games/models/accordion.h"
#include "games/models/auld_lang_syne.h"
#include "games/models/gate.h"
#include "games/models/golf.h"
#include "games/models/pyramid.h"
#include "games/models/simple_addition.h"
#include "games/models/model_registry.h"

namespace {

int Points(int points) { return points * 16; }

void RankByte(PositionCode& out, Card card) { out.Byte(card.IsValid() ? static_cast<uint8_t>(card.Rank()) : 0xFF); }
template <typename Cards>
void RankBytes(PositionCode& out, const Cards& cards, int count) {
    out.Byte(static_cast<uint8_t>(count));
    for (int i = 0; i < count; ++i) RankByte(out, cards[static_cast<size_t>(i)]);
}
void Int(PositionCode& out, int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.Byte(static_cast<uint8_t>(value >> shift));
}

// ---- Golf ----

// Every column card must some day go onto a pile topped by a card one rank away. A column card
// with no such card left in the columns (outside the cards under it in its own column, which go
// after it) must be played straight onto a stock card or onto the pile's present top, and each
// of those takes one card at most before it is covered. Without wrapping, nothing goes on a King,
// so every King played from a column but the last card needs another stock card turned after it,
// and a King turned from the stock needs one more. The deal is lost when the cards left cannot
// meet these needs, or (below) the parities of the column cards cannot be met.
bool GolfHopeless(const GolfModel::Position& p) {
    using Model = GolfModel;
    if (p.pileCount == 0) return false;
    constexpr int kValues = Card::kRankCount, kKing = kValues - 1;
    const bool wrap = p.wrapAround != 0;
    std::array<int, kValues> inColumns{}, hosts{}, need{};
    int columnCards = 0;
    for (int c = 0; c < Model::kMaxColumns; ++c)
        for (int i = 0; i < p.columnCount[c]; ++i, ++columnCards) ++inColumns[Model::GolfValue(p.columns[c][i])];
    if (columnCards == 0) return false;
    const int topValue = Model::GolfValue(Model::PileTop(p));
    ++hosts[topValue];
    int stockKings = 0;
    for (int i = 0; i < p.stockCount; ++i) {
        const int value = Model::GolfValue(p.stock[i]);
        ++hosts[value];
        stockKings += value == kKing;
    }
    // Values a card of value v may go on: v - 1 and v + 1, round the corner when wrapping, never a
    // King otherwise.
    auto below = [&](int v) { return v > 0 ? v - 1 : wrap ? kKing : -1; };
    auto above = [&](int v) { return v < kKing - 1 || (wrap && v < kKing) ? v + 1 : wrap ? 0 : -1; };
    for (int c = 0; c < Model::kMaxColumns; ++c) {
        std::array<int, kValues> deeper{};  // this column's cards below the one looked at
        for (int i = 0; i < p.columnCount[c]; ++i) {
            const int value = Model::GolfValue(p.columns[c][i]);
            int fromColumns = 0;
            for (int v : {below(value), above(value)})
                if (v >= 0) fromColumns += inColumns[v] - deeper[v];
            if (fromColumns == 0) ++need[value];
            ++deeper[value];
        }
    }
    if (wrap) {
        for (int v = 0; v < kValues; ++v)
            if (need[v] > hosts[below(v)] + hosts[above(v)]) return true;
        return false;
    }
    // Hosts of value w serve cards of values w - 1 and w + 1 only: matching the values in rising
    // order, a card takes a host below it first, which no later card could use.
    std::array<int, kValues> free = hosts;
    free[kKing] = 0;
    for (int v = 0; v < kValues; ++v) {
        int left = need[v];
        for (int w : {v - 1, v + 1}) {
            if (w < 0 || w >= kValues) continue;
            const int used = std::min(left, free[w]);
            free[w] -= used;
            left -= used;
        }
        if (left > 0) return true;
    }
    const int columnKings = inColumns[kKing];
    const int gaps = (topValue == kKing) + std::max(columnKings - 1, 0);
    if (p.stockCount - stockKings < gaps) return true;
    // The column cards played after one host alternate between odd and even values, starting
    // with the other parity than the host's: each host can make up for one card of that parity
    // too many, and no more.
    std::array<int, 2> cards{}, starts{};
    for (int v = 0; v < kValues; ++v) {
        cards[v % 2] += inColumns[v];
        if (v != kKing) starts[1 - v % 2] += hosts[v];
    }
    if (cards[0] - cards[1] > starts[0] || cards[1] - cards[0] > starts[1]) return true;
    // Each host starts at most one run, and a run of n cards takes n - 1 steps between values one
    // apart: a card in mid-run has two such steps, a King (always a run's last card) one. The
    // most steps the column cards allow, matched greedily along the values, leave this many runs
    // at least.
    std::array<int, kValues> room{};
    for (int v = 0; v < kValues; ++v) room[v] = (v == kKing ? 1 : 2) * inColumns[v];
    int steps = 0;
    for (int v = 0; v + 1 < kValues; ++v) {
        const int step = std::min(room[v], room[v + 1]);
        room[v + 1] -= step;
        steps += step;
    }
    return columnCards - steps > starts[0] + starts[1];
}

// Golf plays column cards while they last; a stock card is turned only when none fits.
int GolfScore(const void*, const PlayMove&, int points, const void* after) {
    if (GolfHopeless(*static_cast<const GolfModel::Position*>(after))) return kHopeless;
    return Points(points);
}

// Golf's rules never look at a card's suit: positions that differ only in suits have the same
// future, so the search tells them apart by ranks alone.
void GolfRanks(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const GolfModel::Position*>(position);
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(p.wrapAround));
    for (size_t c = 0; c < GolfModel::kMaxColumns; ++c) RankBytes(out, p.columns[c], p.columnCount[c]);
    RankByte(out, GolfModel::PileTop(p));
    RankBytes(out, p.stock, p.stockCount);
}

// ---- Pyramid ----

// Every card still in play, by pip value.
std::array<int, PyramidModel::kPairSum + 1> PyramidValues(const PyramidModel::Position& p) {
    std::array<int, PyramidModel::kPairSum + 1> all{};
    auto count = [&](Card card) {
        if (card.IsValid()) ++all[card.PipValue()];
    };
    for (int i = 0; i < p.stockCount; ++i) count(p.stock[i]);
    for (int i = 0; i < p.talonCount; ++i) count(p.talon[i]);
    count(p.waste);
    if (p.extraCards)
        for (int c = 0; c < p.rows; ++c) count(p.extra[c]);
    for (Card card : p.triangle) count(card);
    return all;
}

// Every triangle card must leave in a pair with a card of the complementary value (or alone, a
// King). The deal is lost when a value has more triangle cards than partners left that can still
// come free, or a triangle card's only such partners lie in its way: below it, covering it (they
// must go first), or above it, covered by it (they cannot go first).
//
// Once the talon can no longer be turned over, a talon card whose partners all lie in the talon
// too can never leave (one above it must go first, one below it is covered by it), and no card
// under it can ever come free.
bool PyramidHopeless(const PyramidModel::Position& p) {
    using Model = PyramidModel;
    const auto all = PyramidValues(p);
    std::array<int, Model::kPairSum + 1> triangle{}, usable = all;
    for (Card card : p.triangle)
        if (card.IsValid()) ++triangle[card.PipValue()];
    if (p.turnsLeft == 0 && p.talonCount > 1) {
        std::array<int, Model::kPairSum + 1> talon{};
        for (int i = 0; i < p.talonCount; ++i) ++talon[p.talon[i].PipValue()];
        for (int i = p.talonCount - 1; i > 0; --i) {
            const int value = p.talon[i].PipValue();
            if (value == Model::kPairSum || all[Model::kPairSum - value] != talon[Model::kPairSum - value]) continue;
            for (int j = 0; j < i; ++j) --usable[p.talon[j].PipValue()];
            break;
        }
    }
    for (int value = 1; value < Model::kPairSum; ++value)
        if (triangle[value] > usable[Model::kPairSum - value]) return true;
    auto at = [&](int row, int k) { return p.triangle[static_cast<size_t>(Model::TriangleIndex(row, k))]; };
    for (int row = 0; row < p.rows; ++row)
        for (int k = 0; k <= row; ++k) {
            const Card card = at(row, k);
            if (!card.IsValid() || card.Rank() == Card::kKing) continue;
            const int partner = Model::kPairSum - card.PipValue();
            if (usable[partner] > triangle[partner]) continue;  // a partner lies outside the triangle
            int inTheWay = 0;
            for (int r = 0; r < p.rows; ++r) {
                if (r == row) continue;
                // The cards covering it fan out below it; those it covers narrow above it.
                const int first = r > row ? k : std::max(0, k - (row - r));
                const int last = r > row ? k + (r - row) : std::min(r, k);
                for (int j = first; j <= last; ++j) inTheWay += at(r, j).IsValid() && at(r, j).PipValue() == partner;
            }
            if (inTheWay == usable[partner]) return true;
        }
    return false;
}

// Pyramid clears the triangle first: the stock's cards need not all go. A King leaves alone and
// covers nothing when gone, and a pair whose two values have no other card left, or none left in
// the triangle, takes nothing a card that must go could want: these removals can never be wrong.
int PyramidScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = PyramidModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kSelect) return kSafeMove;
    if (PyramidHopeless(*static_cast<const Model::Position*>(after))) return kHopeless;
    if (move.kind == PlayMove::kMove) {
        const auto all = PyramidValues(p);
        const int value = Model::Available(p, move.from).PipValue(), partner = Model::kPairSum - value;
        if (all[value] == 1 && all[partner] == 1) return kSafeMove;
        // No triangle card of either value: no card that must go could ever want these two.
        if (std::none_of(p.triangle.begin(), p.triangle.end(), [&](Card card) {
                return card.IsValid() && (card.PipValue() == value || card.PipValue() == partner);
            }))
            return kSafeMove;
    }
    int score = Points(points);
    for (int place : {static_cast<int>(move.from), static_cast<int>(move.to)})
        if (move.kind != PlayMove::kStock && place >= Model::kTrianglePlace && place < Model::kExtraPlace) score += 40;
    return score;
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

// ---- Simple Addition ----

// Every removal can be made at once. The table's places are all filled again from the stock
// after each removal, so taking cards out early only brings the stock's cards in early; and a
// pair's two cards could only ever have gone with cards of their own two values, which can pair
// with each other instead, later. So a line that wins without this removal first has a twin that
// makes it first and still wins, and the search never needs to branch.
int SimpleAdditionScore(const void*, const PlayMove&, int, const void*) { return kSafeMove; }

// ---- Auld Lang Syne ----

// A card's place in a foundation's climb (0 for the starting rank; -1 for no card).
int Climb(const AuldLangSyneModel::Position& p, Card card) {
    return card.IsValid() ? (card.Rank() - p.startRank + Card::kRankCount) % Card::kRankCount : -1;
}

// A pile card above another one must go home first. It is stuck when, for every foundation that
// could still take it, some rank it needs on the way has every copy left under it in its pile.
bool AuldLangSyneHopeless(const AuldLangSyneModel::Position& p) {
    using Model = AuldLangSyneModel;
    constexpr int kRanks = Card::kRankCount;
    std::array<int, Model::kFoundations> tops{};
    for (int f = 0; f < Model::kFoundations; ++f) tops[f] = Climb(p, p.foundations[f]);
    std::array<int, kRanks> left{};  // copies of each climb step not yet home
    for (int step = 0; step < kRanks; ++step)
        left[step] = Model::kFoundations - static_cast<int>(std::count_if(tops.begin(), tops.end(), [&](int t) { return t >= step; }));
    for (int pile = 0; pile < Model::kPiles; ++pile) {
        std::array<int, kRanks> deeper{};
        for (int i = 0; i < p.pileCounts[pile]; ++i) {
            const int step = Climb(p, p.piles[pile][i]);
            int highest = -2;  // the most advanced foundation still short of the card
            for (int t : tops)
                if (t < step) highest = std::max(highest, t);
            if (highest > -2)
                for (int need = highest + 1; need < step; ++need)
                    if (deeper[need] == left[need]) return true;
            ++deeper[step];
        }
    }
    return false;
}

// Suits play no part and foundations are alike, so a card one step above every foundation that
// has not passed it can go home at once: the foundations still short of its rank are exactly as
// many as its copies left, each takes one, and which takes which does not matter.
int AuldLangSyneScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = AuldLangSyneModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    if (move.kind == PlayMove::kMove) {
        const int pile = move.from - Model::kPilePlace;
        const int step = Climb(p, p.piles[pile][p.pileCounts[pile] - 1]);
        if (std::all_of(p.foundations.begin(), p.foundations.end(), [&](Card top) { return Climb(p, top) >= step - 1; }))
            return kSafeMove;
    }
    if (AuldLangSyneHopeless(*static_cast<const Model::Position*>(after))) return kHopeless;
    return Points(points);
}

// Ranks only, with the foundations in order of their climb: foundations are interchangeable.
void AuldLangSyneRanks(const void* position, PositionCode& out) {
    using Model = AuldLangSyneModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    out.bytes.clear();
    out.Byte(static_cast<uint8_t>(p.startRank));
    std::array<int, Model::kFoundations> tops{};
    for (int f = 0; f < Model::kFoundations; ++f) tops[f] = Climb(p, p.foundations[f]);
    std::sort(tops.begin(), tops.end());
    for (int top : tops) out.Byte(static_cast<uint8_t>(top));
    for (int pile = 0; pile < Model::kPiles; ++pile) RankBytes(out, p.piles[pile], p.pileCounts[pile]);
    out.Byte(static_cast<uint8_t>(p.stockCount));
}

// ---- Accordion ----

// A pile's top card changes only when a matching top card covers it, and the covered card leaves
// play, so two cards that match no chain of cards between them can never come together. The deal
// is lost when the cards left fall apart into groups that share no suit and no rank.
bool AccordionHopeless(const AccordionModel::Position& p) {
    // Suits 0..3 and ranks 4..16 joined through the cards that carry them.
    std::array<int, Card::kSuitCount + Card::kRankCount> parent{};
    for (size_t i = 0; i < parent.size(); ++i) parent[i] = static_cast<int>(i);
    auto root = [&](int node) {
        while (parent[node] != node) node = parent[node] = parent[parent[node]];
        return node;
    };
    int firstSuit = -1;
    for (Card card : p.cells) {
        if (!card.IsValid()) continue;
        parent[root(card.Suit())] = root(Card::kSuitCount + card.Rank());
        if (firstSuit < 0) firstSuit = card.Suit();
    }
    for (Card card : p.cells)
        if (card.IsValid() && root(card.Suit()) != root(firstSuit)) return true;
    return false;
}

int AccordionScore(const void*, const PlayMove&, int points, const void* after) {
    if (AccordionHopeless(*static_cast<const AccordionModel::Position*>(after))) return kHopeless;
    return Points(points);
}

// Emptied cells play no part in which card may cover which: the cards left, in order.
void AccordionCards(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const AccordionModel::Position*>(position);
    out.bytes.clear();
    for (Card card : p.cells)
        if (card.IsValid()) out.Byte(static_cast<uint8_t>(card.Index() + 1));
}

// ---- Gate ----

// Gate is a building game, but the search meets it here for its orders and codes alone: its
// game-over test looks a move or two ahead only, so even a card nothing needs could end the game
// by going home, and no move is marked safe. A card no other card can still be built on goes home
// first; a whole column moved into an empty one gains nothing.
int GateScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = GateModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    int score = Points(points);
    if (move.kind != PlayMove::kMove) return score;
    if (move.to >= Model::kFirstFoundation && move.to < Model::kFirstPile) {
        const Card card = static_cast<const Model::Position*>(after)->foundations[move.to - Model::kFirstFoundation];
        auto climb = [&](Card c) { return (c.Rank() - p.startRank + Card::kRankCount) % Card::kRankCount; };
        // The cards that could go on it: one step lower, the other colour (the starting rank goes
        // on no column).
        int home = 0;
        for (Card top : p.foundations)
            home += top.IsValid() && top.IsRed() != card.IsRed() && climb(top) >= climb(card) - 1;
        if (climb(card) <= 1 || home == 2) score += 3000;
    }
    if (move.from >= Model::kFirstPile && move.index == 0 && move.to >= Model::kFirstPile &&
        p.pileCount[move.to - Model::kFirstPile] == 0)
        score -= 300;
    if (move.from == Model::kFirstPost || move.from == Model::kFirstPost + 1) score += 40;
    return score;
}

// Columns are alike, and so are foundations: positions that differ only in their order share a
// future, so the search codes them in a fixed order.
void GateCode(const void* position, PositionCode& out) {
    using Model = GateModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    Model::Position q = p;
    std::array<int, Model::kPiles> order{};
    std::iota(order.begin(), order.end(), 0);
    auto key = [&](int c) { return std::make_pair(p.pileCount[c], p.tableau[c][0].Index()); };
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        if (key(a) != key(b)) return key(a) < key(b);
        return std::lexicographical_compare(p.tableau[a].begin(), p.tableau[a].begin() + p.pileCount[a],
                                            p.tableau[b].begin(), p.tableau[b].begin() + p.pileCount[b],
                                            [](Card x, Card y) { return x.Index() < y.Index(); });
    });
    for (int i = 0; i < Model::kPiles; ++i) {
        q.tableau[i] = p.tableau[order[i]];
        q.pileCount[i] = p.pileCount[order[i]];
    }
    std::sort(q.foundations.begin(), q.foundations.end(),
              [](Card x, Card y) { return (x.IsValid() ? x.Index() : -1) < (y.IsValid() ? y.Index() : -1); });
    Model::Encode(q, out);
}

}  // namespace

MoveScore PairingGameScore(int gameNumber) {
    switch (gameNumber) {
    case game_number::kAccordion:
        return AccordionScore;
    case game_number::kAuldLangSyne:
        return AuldLangSyneScore;
    case game_number::kGate:
        return GateScore;
    case game_number::kGolf:
        return GolfScore;
    case game_number::kPyramid:
        return PyramidScore;
    case game_number::kSimpleAddition:
        return SimpleAdditionScore;
    default:
        return nullptr;
    }
}

PositionEncoder PairingGameCode(MoveScore score) {
    if (score == GolfScore) return GolfRanks;
    if (score == PyramidScore) return PyramidRanks;
    if (score == AuldLangSyneScore) return AuldLangSyneRanks;
    if (score == AccordionScore) return AccordionCards;
    if (score == GateScore) return GateCode;
    return nullptr;
}
