#include "games/models/spider.h"

#include <string>
#include <unordered_set>
#include <vector>

using Position = SpiderModel::Position;
using tableau::NextRank;

bool SpiderModel::CanPlace(Card c, Card t, bool toFoundation, int s) {
    if (toFoundation) {
        if (!t.IsValid()) return c.Rank() == s;
        return c.Rank() == NextRank(t.Rank()) && c.Suit() == t.Suit() && c.Rank() != s;
    }
    if (!t.IsValid()) return true;
    // With s = -1 the highest rank is (s + 12) mod 13 = 11, as the formulas are written.
    return c.Rank() != (s + 12) % Card::kRankCount && t.Rank() != s && NextRank(c.Rank()) == t.Rank() &&
           c.Suit() == t.Suit();
}

namespace {

constexpr int kPointsPerFoundationCard = 5;
constexpr int kFullRows = 4;       // rows 0..3 go to every column
constexpr int kShortRowColumns = 4;  // row 4 goes to columns 0..3 only
constexpr int kDealRows = 6;

// The length of the same-suit run, built down round the corner, at the top of the count cards
// cardAt(0..count - 1): no longer than a suit, its deepest card at index lowest or above.
template <typename CardAt>
int TopRun(CardAt cardAt, int count, int lowest) {
    if (count == 0) return 0;
    const Card top = cardAt(count - 1);
    int length = 1;
    for (int i = count - 2; i >= lowest && length < SpiderModel::kSuitLength; --i) {
        const Card below = cardAt(i), above = cardAt(i + 1);
        if (below.Suit() != top.Suit() || below.Rank() != NextRank(above.Rank())) break;
        ++length;
    }
    return length;
}

}  // namespace

// Six rows, the fifth to the first four columns only; the first RowsFaceDown rows face down, the
// last always face up.
Position SpiderModel::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    tableau::ShufflePacks(deck, kPacks);
    Position p;
    p.rules = rules;
    p.startCard = rules.startCard;
    tableau::ShowLaidOut(deck, p, show);
    for (int row = 0; row < kDealRows; ++row) {
        const int width = row == kFullRows ? kShortRowColumns : kPiles;
        const bool faceDown = row < kDealRows - 1 && row < rules.rowsFaceDown;
        tableau::DealRowOnto(deck, p, kFirstPile, 0, width, faceDown ? 0 : width, show);
    }
    p.stock.Load(deck);
    return p;
}

// A complete suit, highest card first, always goes home.
bool SpiderModel::FitsFoundation(const Position& p, int f, const Card* cards, int count) {
    if (count == kSuitLength && TopRun([cards](int i) { return cards[i]; }, count, 0) == count) return true;
    // Without assembling, a run goes home when its deepest card fits; the foundation then shows
    // the run's last card, and every card of the run scores.
    if (p.rules.suitAssembled) return false;
    return CanPlace(cards[0], p.foundations[f], true, p.startCard);
}

bool SpiderModel::FitsPile(const Position& p, int column, Card lowest, int count) {
    if (p.pileCount[column] + count > kPileSlots || p.AllFaceDown(column)) return false;
    if (p.pileCount[column] == 0) return true;
    return CanPlace(lowest, p.tableau[column][p.pileCount[column] - 1], false, p.startCard);
}

int SpiderModel::RunLength(const Position& p, int column, int lowest) {
    return TopRun([&](int i) { return p.tableau[column][i]; }, p.pileCount[column], lowest);
}

// The pick-ups of a column with a face-up top: the top card, and every longer same-suit run.
void SpiderModel::Moves(const Position& p, MoveList& out) {
    out.clear();
    if (p.stock.count > 0) out.push_back({PlayMove::kStock});
    p.AddFlips(kFirstPile, out);
    for (int from = 0; from < kPiles; ++from) {
        const int count = p.pileCount[from];
        if (count == 0 || p.faceDownCount[from] >= count) continue;
        const int run = RunLength(p, from, p.faceDownCount[from]);
        for (int k = 1; k <= run; ++k) {
            const Card* cards = &p.tableau[from][count - k];
            for (int f = 0; f < kFoundations; ++f)
                if (FitsFoundation(p, f, cards, k))
                    out.push_back(tableau::MakeMove(kFirstPile + from, count - k, kFirstFoundation + f, k));
            for (int to = 0; to < kPiles; ++to)
                if (to != from && FitsPile(p, to, cards[0], k))
                    out.push_back(tableau::MakeMove(kFirstPile + from, count - k, kFirstPile + to, k));
        }
    }
}

int SpiderModel::Apply(Position& p, const PlayMove& move) {
    const int32_t before = p.points;
    if (move.kind == PlayMove::kStock) {
        for (int column = 0; column < kPiles; ++column) {
            // A column at the end of its storage is passed over and the card stays in the stock.
            if (p.pileCount[column] >= kPileSlots) continue;
            const Card card = p.stock.Deal();
            if (!card.IsValid()) break;
            p.tableau[column][p.pileCount[column]++] = card;
        }
    } else if (move.kind == PlayMove::kFlip) {
        p.points += p.TurnTop(move.from - kFirstPile);
    } else if (move.kind == PlayMove::kMove) {
        std::array<Card, tableau::kMaxStackCards> cards{};
        const int count = move.count, from = move.from - kFirstPile;
        tableau::TakeRun(p.tableau[from], p.pileCount[from], move.index, count, cards.data());
        if (move.to < kFirstPile) {
            p.points += kPointsPerFoundationCard * count;
            p.foundations[move.to - kFirstFoundation] = cards[count - 1];
        } else {
            const int to = move.to - kFirstPile;
            tableau::PutRun(p.tableau[to], p.pileCount[to], cards.data(), count);
        }
        if (p.rules.autoFlip) p.points += p.TurnFaceDownTops();
    }
    return p.points - before;
}

// Over when the stock is dealt, no face-down top waits to be turned and the search finds no
// progress.
bool SpiderModel::Over(const Position& p) {
    if (p.stock.count > 0 || p.AnyAllFaceDown()) return false;
    SearchStart start;
    for (int column = 0; column < kPiles; ++column) {
        start.hadFaceDown[column] = p.faceDownCount[column] > 0;
        for (int i = p.faceDownCount[column]; i < p.pileCount[column]; ++i)
            start.columns[column].push_back(p.tableau[column][i]);
    }
    return !SearchProgress(start, p.foundations, p.startCard, p.rules.suitAssembled != 0);
}

void SpiderModel::Encode(const Position& p, PositionCode& code) {
    code.bytes.clear();
    p.stock.Encode(code);
    tableau::EncodeTops(code, p.foundations);
    p.EncodePiles(code);
    code.Byte(static_cast<uint8_t>(p.startCard));
    code.Byte(static_cast<uint8_t>(p.rules.suitAssembled | p.rules.autoFlip << 1));
}

// ---- The game-over search ----

bool SpiderModel::SearchProgress(const SearchStart& start, const std::array<Card, kFoundationSlots>& foundations,
                                int startCard, bool suitAssembled, size_t* positionsSeen) {
    // A column in the search: the byte 1 or 0 (face-down cards below it or not), then one byte per
    // face-up card (its index + 1). Moves never change the mark, so it travels with the cards.
    using Column = std::string;
    using Position = std::array<Column, kPiles>;
    auto cardOf = [](char byte) {
        const int index = static_cast<uint8_t>(byte) - 1;
        return Card(index / Card::kRankCount, index % Card::kRankCount);
    };
    // The cards start at byte 1.
    auto runLength = [&](const Column& column) {
        const int count = static_cast<int>(column.size());
        return count <= 1 ? 0 : TopRun([&](int i) { return cardOf(column[i]); }, count, 1);
    };
    auto progress = [&](const Position& position) {
        for (const Column& column : position) {
            // A column emptied down to its face-down cards.
            if (column.size() == 1 && column[0]) return true;
            const int run = runLength(column);
            if (run >= kSuitLength) return true;
            if (suitAssembled) continue;
            for (int k = 1; k <= run; ++k) {
                const Card deepest = cardOf(column[column.size() - k]);
                for (int f = 0; f < kFoundations; ++f)
                    if (CanPlace(deepest, foundations[f], true, startCard)) return true;
            }
        }
        return false;
    };
    auto key = [](const Position& position) {
        std::array<const Column*, kPiles> sorted;
        for (int c = 0; c < kPiles; ++c) sorted[c] = &position[c];
        std::sort(sorted.begin(), sorted.end(), [](const Column* a, const Column* b) { return *a < *b; });
        std::string flat;
        for (const Column* column : sorted) {
            flat += *column;
            flat += '\xff';
        }
        return flat;
    };

    // Most dead positions are dead for a plain reason: nothing hides a face-down card, no suit has
    // all thirteen ranks face up, and no card at all fits a foundation. Then no search is needed.
    bool anyHidden = false, anyFitsFoundation = false;
    std::array<std::array<bool, Card::kRankCount>, Card::kSuitCount> present{};
    for (int c = 0; c < kPiles; ++c) {
        anyHidden |= start.hadFaceDown[c];
        for (Card card : start.columns[c]) {
            present[card.Suit()][card.Rank()] = true;
            for (int f = 0; f < kFoundations && !suitAssembled; ++f)
                anyFitsFoundation |= CanPlace(card, foundations[f], true, startCard);
        }
    }
    bool anyWholeSuit = false;
    for (const auto& ranks : present) anyWholeSuit |= std::all_of(ranks.begin(), ranks.end(), [](bool b) { return b; });
    if (!anyHidden && !anyWholeSuit && !anyFitsFoundation) {
        if (positionsSeen) *positionsSeen = 0;
        return false;
    }

    Position first;
    for (int c = 0; c < kPiles; ++c) {
        first[c].push_back(start.hadFaceDown[c] ? 1 : 0);
        for (Card card : start.columns[c]) first[c].push_back(static_cast<char>(card.Index() + 1));
    }
    std::unordered_set<std::string> seen{key(first)};
    std::vector<Position> pending{first};
    bool found = false;
    while (!pending.empty() && !found) {
        const Position position = std::move(pending.back());
        pending.pop_back();
        found = progress(position);
        for (int from = 0; from < kPiles && !found; ++from) {
            const Column& source = position[from];
            const int run = runLength(source);
            for (int k = 1; k <= run; ++k) {
                const Card moving = cardOf(source[source.size() - k]);
                bool triedEmpty = false;
                for (int to = 0; to < kPiles; ++to) {
                    if (to == from) continue;
                    const Column& target = position[to];
                    const bool empty = target.size() == 1;
                    if (empty) {
                        // Empty columns are alike: one of them is enough. Moving a whole column
                        // that hides nothing onto an empty one changes nothing.
                        if (triedEmpty || (static_cast<int>(source.size()) == k + 1 && !source[0])) continue;
                        triedEmpty = true;
                    }
                    if (!CanPlace(moving, empty ? Card() : cardOf(target.back()), false, startCard)) continue;
                    Position next = position;
                    next[to].append(source, source.size() - k, k);
                    next[from].resize(source.size() - k);
                    if (seen.insert(key(next)).second) pending.push_back(std::move(next));
                }
            }
        }
    }
    if (positionsSeen) *positionsSeen = seen.size();
    return found;
}

