#include "solver/stock_games.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "games/models/canfield.h"
#include "games/models/klondike.h"
#include "games/models/model_registry.h"
#include "solver/heuristic_parts.h"
#include "solver/waste_games.h"

namespace {

using heuristic::CardSentHome;
using heuristic::CodeBuffer;
using heuristic::Generic;
using heuristic::NothingBuildsOn;
using heuristic::Order;

// ---- Search codes ----

// The stock and the waste as one line of cards in the order they are dealt, from the waste's
// first card on, and how many of them are on the waste (the point the next press deals from).
// A stock turned over once more, at the cost of a turn, deals its cards as they lie: an empty
// stock with a turn left is coded as turned (KlondikeTurnsLeft counts the turn spent). With
// unlimited turns, every point of the line the stock deals from after a turn (multiples of the
// cards dealt at a time) can be reached from any other and back by presses alone, so they are
// all coded as the start.
struct StockLine {
    std::array<Card, Card::kCardsPerPack> cards;
    int count = 0, dealt = 0;

    explicit StockLine(const KlondikeModel::Position& p) {
        for (int i = 0; i < p.wasteCount; ++i) cards[count++] = p.waste[i];
        for (int i = p.stock.count - 1; i >= 0; --i) cards[count++] = p.stock.cards[i];
        dealt = Dealt(p);
    }
    static int Dealt(const KlondikeModel::Position& p) {
        if (p.stock.count == 0 && p.rules.TurnAllowed(p.turnsUsed)) return 0;
        if (p.rules.recycles == KlondikeRules::kUnlimitedRecycles && p.wasteCount % std::max(1, int{p.rules.cardsDealt}) == 0)
            return 0;
        return p.wasteCount;
    }
};

int KlondikeTurnsLeft(const KlondikeModel::Position& p) {
    const KlondikeRules& r = p.rules;
    if (r.recycles == KlondikeRules::kUnlimitedRecycles) return 7;
    const int left = std::clamp(r.recycles - p.turnsUsed, 0, 7);
    return p.stock.count == 0 && p.wasteCount > 0 && left > 0 ? left - 1 : left;
}

// The codes leave out how often the waste was turned: the search counts the turns left beside
// the code (StockMacro::turnsLeft), so a position met with more turns left covers this one.
void KlondikeCode(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const KlondikeModel::Position*>(position);
    CodeBuffer code;
    const StockLine line(p);
    code.Run(line.cards.data(), line.count);
    code.Byte(line.dealt);
    code.SortedTops(p.foundations);
    code.SortedPiles(p.tableau, p.pileCount, p.faceDownCount.data());
    const KlondikeRules& r = p.rules;
    code.Byte(p.startRank);
    code.Byte(r.cardsDealt);
    code.Byte(std::min(r.recycles, 255));
    code.Byte(r.filledIn | r.tableauStart << 1 | r.movePartial << 2 | r.autoFlip << 3);
    code.Into(out);
}

// KlondikeCode's content hashed without building it (the rules and the start rank are the same
// throughout a search): piles and foundations summed, so their order plays no part. The stock's
// line keeps its order through deals and turns and only loses cards, and its cards are the pack's
// less those on the piles and the foundations: within a search those tell the line apart, and
// only where it is dealt to needs hashing.
uint64_t KlondikeHashWith(const KlondikeModel::Position& p, uint64_t piles) {
    using heuristic::Mix;
    const uint64_t line = Mix(static_cast<uint64_t>(StockLine::Dealt(p)) | 0x3300);
    const uint64_t tops = heuristic::TopsHash(p.foundations);
    return Mix(line ^ Mix(tops ^ 0x5555) ^ Mix(piles ^ 0xAAAA));
}
uint64_t KlondikeHash(const void* position) {
    const auto& p = *static_cast<const KlondikeModel::Position*>(position);
    return KlondikeHashWith(p, heuristic::PilesHash(p.tableau, p.pileCount, KlondikeModel::kPiles, &p.faceDownCount));
}

// Within one search, sizes tell the reserve, the stock and the waste apart: the reserve only
// ever gives up its top card, and the stock and the waste together hold the deal's stock cards
// in their first order (a turn of the waste keeps it) less those played, which are on the
// foundations or the piles; the stock's size says where the waste ends.
void CanfieldCode(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const CanfieldModel::Position*>(position);
    CodeBuffer code;
    code.Byte(p.stock.count);
    code.Byte(p.wasteCount);
    code.Byte(p.reserveCount);
    code.CardByte(p.baseCard);
    code.SortedTops(p.foundations);
    code.SortedPiles(p.tableau, p.pileCount, nullptr);
    code.Byte(std::min(p.recycles, 255));
    code.Byte(p.cardsDealt | p.movePartial << 2 | p.fillFromStock << 3);
    code.Into(out);
}

// CanfieldCode's content hashed without building it: piles and foundations summed, so their order
// plays no part.
uint64_t CanfieldHashWith(const CanfieldModel::Position& p, uint64_t piles) {
    using heuristic::Mix;
    const uint64_t tops = heuristic::TopsHash(p.foundations);
    const uint64_t counts = static_cast<uint64_t>(p.stock.count) | static_cast<uint64_t>(p.wasteCount) << 8 |
                            static_cast<uint64_t>(p.reserveCount) << 16 |
                            static_cast<uint64_t>(p.baseCard.IsValid() ? p.baseCard.Index() : 0xFF) << 24 |
                            static_cast<uint64_t>(std::min(p.recycles, 255)) << 32 |
                            static_cast<uint64_t>(p.cardsDealt | p.movePartial << 2 | p.fillFromStock << 3) << 40;
    return Mix(Mix(counts) ^ Mix(tops ^ 0x5555) ^ Mix(piles ^ 0xAAAA));
}
uint64_t CanfieldHash(const void* position) {
    const auto& p = *static_cast<const CanfieldModel::Position*>(position);
    return CanfieldHashWith(p, heuristic::PilesHash(p.tableau, p.pileCount, CanfieldModel::kPiles));
}
// The hash of a game hashed by piles (HashWith over PilesHash) in the two halves of PileHasher.
template <class Model, bool kFaceDown, uint64_t (*HashWith)(const typename Model::Position&, uint64_t)>
struct HashByPiles {
    using Position = typename Model::Position;
    static_assert(Model::kPiles <= kMaxPileHashes);
    static void Piles(const void* position, uint64_t* out) {
        heuristic::PileHashes(*static_cast<const Position*>(position), Model::kPiles, kFaceDown, out);
    }
    static uint64_t Child(const void* parent, const uint64_t* parentPiles, const void* position) {
        const auto& p = *static_cast<const Position*>(position);
        return HashWith(p, heuristic::PilesHashFrom(*static_cast<const Position*>(parent), parentPiles, p, Model::kPiles, kFaceDown));
    }
    static constexpr PileHasher kHasher{Piles, Child};
};

// ---- Klondike ----

// A card may go home safely when no card that could still be placed on it is left off the
// foundations: the two cards of the other colour one rank below it. Ranks wrap round in the
// tableau (the rank below the start may go on the start rank), so the start rank's card is never
// sure to be safe, while the card above the start rank is (the start rank goes on no card).
bool SafeHome(const KlondikeModel::Position& p, Card card) {
    if (!card.IsValid() || p.startRank < 0) return false;
    const int below = (card.Rank() + Card::kRankCount - 1) % Card::kRankCount;
    if (below == p.startRank) return true;
    const int needed = Order(Card(0, below), p.startRank);
    int home = 0;
    for (const Card& top : p.foundations)
        home += top.IsValid() && top.IsRed() != card.IsRed() && Order(top, p.startRank) >= needed;
    return home == 2;
}

// Whether both foundations of the other colour hold the cards two ranks below `card`.
bool NearlySafeHome(const KlondikeModel::Position& p, Card card) {
    int ready = 0;
    for (const Card& top : p.foundations)
        ready += top.IsValid() && top.IsRed() != card.IsRed() && Order(top, p.startRank) + 2 >= Order(card, p.startRank);
    return ready == 2;
}

// Whether a card that may start an empty pile could still come to one from anywhere but the
// bottom of another pile (from there it would only move the pile).
bool PileStarterFree(const KlondikeModel::Position& p) {
    const auto starts = [&p](Card card) { return tableau::NextRank(card.Rank()) == p.startRank; };
    for (int i = 0; i < p.stock.count; ++i)
        if (starts(p.stock.cards[i])) return true;
    for (int i = 0; i < p.wasteCount; ++i)
        if (starts(p.waste[i])) return true;
    for (int pile = 0; pile < KlondikeModel::kPiles; ++pile)
        for (int i = 1; i < p.pileCount[pile]; ++i)
            if (starts(p.tableau[pile][i])) return true;
    return false;
}

// A Klondike position no play can win, found as a cycle in the order some events must come in.
// A card's events are leaving the card under it (L) and going home (H). L comes no later than H;
// a card goes home after the cards of its suit below it; in a stack whose cards leave from the
// top only, one by one (a pile's face-down cards and the face-up card on them; with no turn of
// the waste left, the waste, and the stock's cards dealt together in one press), a card leaves
// before the card under it. A card that can never leave except to its foundation (it may not
// start an empty pile, and every card it could be built on is home or below it in its stack)
// leaves when it goes home: its L and H are one event. A cycle among these orders cannot be
// played. The simplest: such a card above a lower card of its own suit. (A face-up card higher
// in a pile may leave carried by the card under it, so it counts in no stack.)
bool KlondikeHopeless(const KlondikeModel::Position& p) {
    using Model = KlondikeModel;
    constexpr int kCards = Card::kCardsPerPack;
    if (p.startRank < 0) return false;
    std::array<int, Card::kSuitCount> home{};  // cards of each suit on the foundations
    for (Card top : p.foundations)
        if (top.IsValid()) home[top.Suit()] = Order(top, p.startRank) + 1;
    // The stack every card lies in (-1: none of the kind above), its height there and the card
    // under it there (-1: none).
    std::array<int8_t, kCards> stack, height{}, under;
    stack.fill(-1);
    under.fill(-1);
    const auto place = [&](Card card, int in, int at, Card below) {
        stack[card.Index()] = static_cast<int8_t>(in);
        height[card.Index()] = static_cast<int8_t>(at);
        if (at > 0) under[card.Index()] = static_cast<int8_t>(below.Index());
    };
    for (int pile = 0; pile < Model::kPiles; ++pile)
        for (int i = 0; i < p.pileCount[pile] && i <= p.faceDownCount[pile]; ++i)
            place(p.tableau[pile][i], pile, i, i > 0 ? p.tableau[pile][i - 1] : Card());
    if (!p.rules.TurnAllowed(p.turnsUsed)) {
        for (int i = 0; i < p.wasteCount; ++i) place(p.waste[i], Model::kPiles, i, i > 0 ? p.waste[i - 1] : Card());
        const int step = std::max(1, static_cast<int>(p.rules.cardsDealt));
        for (int i = 0; i < p.stock.count; ++i)
            place(p.stock.Peek(i), Model::kPiles + 1 + i / step, i % step, i % step ? p.stock.Peek(i - 1) : Card());
    }
    const auto below = [&](Card card, Card above) {
        return stack[card.Index()] >= 0 && stack[card.Index()] == stack[above.Index()] &&
               height[card.Index()] < height[above.Index()];
    };
    // Nodes: L of card c is c, H is kCards + c, or c for a card that leaves only home. Each node
    // has at most two successors.
    std::array<std::array<int8_t, 2>, 2 * kCards> next;
    for (auto& n : next) n = {-1, -1};
    std::array<bool, kCards> stuck{};
    bool anyStuck = false;
    for (int c = 0; c < kCards; ++c) {
        if (stack[c] < 0 || height[c] == 0) continue;
        const Card y(c / Card::kRankCount, c % Card::kRankCount);
        if (!p.rules.tableauStart || tableau::NextRank(y.Rank()) == p.startRank) continue;
        // Its hosts: the two cards of the other colour one rank up (the start rank goes on none).
        bool free = false;
        for (int suit = y.IsRed() ? 0 : 1; suit < Card::kSuitCount && !free && y.Rank() != p.startRank; suit += 2) {
            const Card host(suit, tableau::NextRank(y.Rank()));
            free = Order(host, p.startRank) >= home[suit] && !below(host, y);
        }
        stuck[c] = !free;
        anyStuck |= !free;
    }
    // Only a card that leaves only home leads from an H back to an L: every cycle passes one.
    if (!anyStuck) return false;
    const auto homeNode = [&](int c) { return stuck[c] ? c : kCards + c; };
    for (int c = 0; c < kCards; ++c) {
        const Card card(c / Card::kRankCount, c % Card::kRankCount);
        const int order = Order(card, p.startRank);
        if (order < home[card.Suit()]) continue;
        if (!stuck[c]) next[c][0] = static_cast<int8_t>(kCards + c);
        if (under[c] >= 0) next[c][1] = under[c];
        if (order + 1 < Card::kRankCount)
            next[homeNode(c)][stuck[c] ? 0 : 1] =
                static_cast<int8_t>(homeNode(Card(card.Suit(), (p.startRank + order + 1) % Card::kRankCount).Index()));
    }
    // Depth-first search for a cycle from each such card: 0 unvisited, 1 on the path, 2 done.
    std::array<uint8_t, 2 * kCards> state{};
    std::array<std::pair<int8_t, int8_t>, 2 * kCards> path;
    for (int root = 0; root < kCards; ++root) {
        if (!stuck[root] || state[root] != 0) continue;
        int depth = 0;
        path[0] = {static_cast<int8_t>(root), 0};
        state[root] = 1;
        while (depth >= 0) {
            auto& [node, edge] = path[depth];
            if (edge == 2) {
                state[node] = 2;
                --depth;
                continue;
            }
            const int to = next[node][edge++];
            if (to < 0 || state[to] == 2) continue;
            if (state[to] == 1) return true;
            state[to] = 1;
            path[++depth] = {static_cast<int8_t>(to), 0};
        }
    }
    return false;
}

// Whether a card that may start an empty pile could move to one now: the waste's top card, or
// the lowest face-up card of a pile with face-down cards under it.
bool PileStarterReady(const KlondikeModel::Position& p) {
    const auto starts = [&p](Card card) { return tableau::NextRank(card.Rank()) == p.startRank; };
    if (p.wasteCount > 0 && starts(p.waste[p.wasteCount - 1])) return true;
    for (int pile = 0; pile < KlondikeModel::kPiles; ++pile)
        if (p.faceDownCount[pile] > 0 && p.FaceUpTop(pile) && starts(p.tableau[pile][p.faceDownCount[pile]])) return true;
    return false;
}

// Whether moving the run from `index` of `pile` onto the twin of the card under it (the other
// card of that rank and colour) can wait. With the run on either twin, every play comes out alike
// (the twins take the same cards and go on the same ones; the run moves with its twin or from it),
// except what only the bared card can do: go home, move on alone, or take the moved card's twin.
// While none of that can happen in one move, the run may as well stay: a win that moves it now
// wins as well moving it only when the bared card is first needed. The caller has seen that the
// bared card cannot go home.
bool TwinMoveWaits(const KlondikeModel::Position& p, int pile, int index) {
    using Model = KlondikeModel;
    const Card bared = p.tableau[pile][index - 1], moved = p.tableau[pile][index];
    for (int other = 0; other < Model::kPiles; ++other)
        if (other != pile && Model::FitsPile(p, other, bared, 1)) return false;
    const Card twin(moved.Suit() ^ 2, moved.Rank());
    for (const Card& top : p.foundations)
        if (top.IsValid() && top.Suit() == twin.Suit() && Order(top, p.startRank) >= Order(twin, p.startRank))
            return top != twin;
    for (int other = 0; other < Model::kPiles; ++other) {
        const int faceDown = p.faceDownCount[other], count = p.pileCount[other];
        for (int i = 0; i < count; ++i)
            if (p.tableau[other][i] == twin)
                return i < faceDown || (i != count - 1 && i != faceDown && !p.rules.movePartial);
    }
    return false;  // in the stock or the waste
}

// Whether a card that could be built on `card` is in the stock or the waste, or is the lowest
// face-up card of a pile (any face-up card when runs may be split).
bool BuildOnReady(const KlondikeModel::Position& p, Card card) {
    const auto fits = [&](Card c) {
        return c.IsRed() != card.IsRed() && tableau::NextRank(c.Rank()) == card.Rank() && c.Rank() != p.startRank;
    };
    for (int i = 0; i < p.stock.count; ++i)
        if (fits(p.stock.cards[i])) return true;
    for (int i = 0; i < p.wasteCount; ++i)
        if (fits(p.waste[i])) return true;
    for (int pile = 0; pile < KlondikeModel::kPiles; ++pile) {
        const int first = p.faceDownCount[pile];
        for (int i = first; i < p.pileCount[pile] && (i == first || p.rules.movePartial); ++i)
            if (fits(p.tableau[pile][i])) return true;
    }
    return false;
}

// A doubtful move's score, still ordered among the doubtful ones.
int Doubtful(int score) { return kDoubtful - 4096 + std::clamp(score, -2048, 2048); }

// Besides the order: a move that can only give up something is dropped (a whole pile moved onto
// another when no card could fill the emptied one), and so is one that can wait (TwinMoveWaits);
// a move that seldom helps is doubtful (a card moved off a face-up card that cannot then go home;
// a pile emptied when no card could fill it at once; with a stock that is always at hand, the
// waste's card put on a pile before anything could be built on it). Cards never leave the
// foundations.
int KlondikeScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = KlondikeModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    const auto& q = *static_cast<const Model::Position*>(after);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    // The dead-end test's orders only grow when a card goes home (more hosts gone) or when the
    // stock is pressed with no turn of the waste left (the waste and stock are stacks then, and
    // pressing deals onto the waste); presses come only with a waste card's move. Any other move
    // only takes cards out of the stacks it looks at, so a position it passed stays passed.
    const bool home = move.kind == PlayMove::kMove && move.to >= Model::kFirstFoundation && move.to < Model::kFirstPile;
    const bool pressed = move.from == Model::kWastePlace && !q.rules.TurnAllowed(q.turnsUsed);
    // A card no other card can still need, sent home from a pile, was host to nothing the test
    // looks at: the position after it is a dead end only where the one before was, so the test is
    // spared.
    if (home && move.from >= Model::kFirstPile && move.count == 1 &&
        SafeHome(p, p.tableau[move.from - Model::kFirstPile][move.index]))
        return kSafeMove;
    if ((home || pressed) && KlondikeHopeless(q)) return kHopeless;
    int score = Generic(move, points);
    if (move.kind != PlayMove::kMove) return score;
    const bool toPile = move.to >= Model::kFirstPile;
    if (move.to >= Model::kFirstFoundation && !toPile) {
        const bool fromWaste = move.from == Model::kWastePlace;
        const Card card = fromWaste ? p.waste[p.wasteCount - 1] : p.tableau[move.from - Model::kFirstPile][move.index];
        // Taking the waste's card while the stock turns several at a time regroups the cards the
        // stock can reach, so that is never sure to be safe.
        if (move.count == 1 && (!fromWaste || p.rules.cardsDealt == 1)) {
            if (SafeHome(p, card)) return kSafeMove;
            // Only a card of the rank below could want the start rank's card, and that seldom; a
            // card is seldom wanted once the other colour's foundations are at most one short of it.
            if (Order(card, p.startRank) == 0 || NearlySafeHome(p, card)) return kLikelySafe;
        }
    }
    if (move.from >= Model::kFirstPile) {
        const int pile = move.from - Model::kFirstPile;
        const int faceDown = p.faceDownCount[pile];
        if (move.index == faceDown && faceDown > 0) score += 200 + 10 * faceDown;
        if (toPile && move.index == 0 && p.pileCount[move.to - Model::kFirstPile] > 0 && p.rules.tableauStart) {
            if (!PileStarterFree(p)) return kHopeless;
            if (!PileStarterReady(q)) return Doubtful(score);
        }
        if (toPile && move.index > faceDown) {
            const Card bared = p.tableau[pile][move.index - 1];
            bool home = false;
            for (int f = 0; f < Model::kFoundations && !home; ++f) home = Model::FitsFoundation(q, f, bared, 1);
            if (!home) {
                if (p.pileCount[move.to - Model::kFirstPile] > 0 && TwinMoveWaits(p, pile, move.index)) return kHopeless;
                return Doubtful(score);
            }
        }
        if (move.index == 0 && toPile && tableau::NextRank(p.tableau[pile][0].Rank()) == p.startRank) score -= 300;
    } else if (move.from == Model::kWastePlace) {
        score += 30;
        // Turning one card at a time with no limit, every card of the stock can be had whenever it
        // is wanted: one put on a pile before any card could be built on it seldom helps yet.
        if (toPile && p.rules.cardsDealt == 1 && p.rules.recycles == KlondikeRules::kUnlimitedRecycles &&
            !BuildOnReady(q, p.waste[p.wasteCount - 1]))
            return Doubtful(score);
    }
    return score;
}

// ---- Canfield ----

// A card no other card can still need goes home, unless it is the waste's card while the stock
// turns several cards at a time (taking it regroups the cards the stock can reach). A pile it
// empties takes the reserve's card at once, and that is never worse than waiting: the card can
// do from the pile all it could from the reserve, and cards may be built on it. The reserve is
// what blocks a deal, so its card comes first among the rest.
int CanfieldScore(const void* before, const PlayMove& move, int points, const void* after) {
    using Model = CanfieldModel;
    const auto& p = *static_cast<const Model::Position*>(before);
    const auto& q = *static_cast<const Model::Position*>(after);
    const Card home = CardSentHome(q, move, Model::kFirstFoundation);
    const bool fromReserve = move.from == Model::kReservePlace;
    if (home.IsValid() && (move.from != Model::kWastePlace || p.cardsDealt == 1) &&
        NothingBuildsOn(home, q.foundations, p.baseCard.Rank(), 1, Model::BuildsDown))
        return kSafeMove;
    int score = Generic(move, points);
    if (fromReserve) score += 100;
    if (move.kind == PlayMove::kMove && move.from >= Model::kFirstFoundation && move.from < Model::kFirstPile)
        score -= 150;
    return score;
}

}  // namespace

MoveScore StockGameScore(int gameNumber) {
    switch (gameNumber) {
    case game_number::kKlondike:
        return KlondikeScore;
    case game_number::kCanfield:
        return CanfieldScore;
    default:
        return nullptr;
    }
}

PositionEncoder StockGameCode(MoveScore score) {
    if (score == KlondikeScore) return KlondikeCode;
    if (score == CanfieldScore) return CanfieldCode;
    return nullptr;
}

PositionHasher StockGameHash(MoveScore score) {
    if (score == KlondikeScore) return KlondikeHash;
    if (score == CanfieldScore) return CanfieldHash;
    return nullptr;
}

PileHasher StockGamePileHash(MoveScore score) {
    if (score == KlondikeScore) return HashByPiles<KlondikeModel, true, KlondikeHashWith>::kHasher;
    // Canfield's piles carry no face-down cards.
    if (score == CanfieldScore) return HashByPiles<CanfieldModel, false, CanfieldHashWith>::kHasher;
    return {};
}

namespace {

// The moves of the stock and of the waste's top card, in the model's own terms.
void KlondikeStockMoves(const void* position, MoveList& out) {
    using Model = KlondikeModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    out.clear();
    if (p.stock.count > 0 || p.rules.TurnAllowed(p.turnsUsed)) out.push_back({PlayMove::kStock});
    if (p.wasteCount == 0) return;
    const Card card = p.waste[p.wasteCount - 1];
    for (int f = 0; f < Model::kFoundations; ++f)
        if (Model::FitsFoundation(p, f, card, 1))
            out.push_back(tableau::MakeMove(Model::kWastePlace, p.wasteCount - 1, Model::kFirstFoundation + f, 1));
    // FitsPile for one card, spelt out: this runs after every press of the stock.
    const bool starts = !p.rules.tableauStart || tableau::NextRank(card.Rank()) == p.startRank;
    const bool stacks = card.Rank() != p.startRank;
    for (int pile = 0; pile < Model::kPiles; ++pile) {
        const int count = p.pileCount[pile];
        if (count >= Model::kPileSlots) continue;
        const Card top = p.tableau[pile][count > 0 ? count - 1 : 0];
        if (count == 0 ? starts
                       : stacks && p.FaceUpTop(pile) && tableau::NextRank(card.Rank()) == top.Rank() && card.IsRed() != top.IsRed())
            out.push_back(tableau::MakeMove(Model::kWastePlace, p.wasteCount - 1, Model::kFirstPile + pile, 1));
    }
}

void CanfieldStockMoves(const void* position, MoveList& out) {
    using Model = CanfieldModel;
    const auto& p = *static_cast<const Model::Position*>(position);
    out.clear();
    if (p.stock.count > 0 || p.RecycleAllowed()) out.push_back({PlayMove::kStock});
    if (p.wasteCount == 0) return;
    const Card card = p.waste[p.wasteCount - 1];
    for (int f = 0; f < Model::kFoundations; ++f)
        if (Model::BuildsUp(p, card, f))
            out.push_back(tableau::MakeMove(Model::kWastePlace, p.wasteCount - 1, Model::kFirstFoundation + f, 1));
    for (int pile = 0; pile < Model::kPiles; ++pile)
        if (Model::FitsPile(p, pile, card, 1, false))
            out.push_back(tableau::MakeMove(Model::kWastePlace, p.wasteCount - 1, Model::kFirstPile + pile, 1));
}

// Turns of the waste left, 7 for as good as unlimited.
int TurnsLeft(int32_t allowed, int32_t used, int32_t unlimited) {
    return allowed == unlimited ? 7 : std::clamp(allowed - used, 0, 7);
}

}  // namespace

StockMacro StockMacroFor(MoveScore score) {
    using K = KlondikeModel::Position;
    using C = CanfieldModel::Position;
    if (score == KlondikeScore)
        return {KlondikeModel::kWastePlace, [](const void* p) { return static_cast<int>(static_cast<const K*>(p)->wasteCount); },
                [](const void* p) { return KlondikeTurnsLeft(*static_cast<const K*>(p)); },
                KlondikeStockMoves, [](const void* p) {
                    const K& k = *static_cast<const K*>(p);
                    for (int pile = 0; pile < KlondikeModel::kPiles; ++pile)
                        if (k.AllFaceDown(pile)) return KlondikeModel::kFirstPile + pile;
                    return -1;
                }};
    if (score == CanfieldScore)
        return {CanfieldModel::kWastePlace, [](const void* p) { return static_cast<int>(static_cast<const C*>(p)->wasteCount); },
                [](const void* p) {
                    // With a single pass every position has the same turns left: reporting the top
                    // count spares the position tables their probes for higher counts.
                    const C& c = *static_cast<const C*>(p);
                    return c.recycles == 0 ? 7 : TurnsLeft(c.recycles, c.recyclesUsed, CanfieldRules::kUnlimitedRecycles);
                },
                CanfieldStockMoves};
    if (const StockMacro waste = waste_games::Macro(score); waste.turnsLeft) return waste;
    return {};
}
