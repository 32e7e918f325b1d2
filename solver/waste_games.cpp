// Forty Thieves and Four Seasons: which moves the search tries first, which it tries alone (a card
// nothing can still need, sent home; a face-down card turned), codes that let positions differing
// only in the order of like places, or only in the turns of the waste used, meet, and how near a
// position is to a win, which guides their beams.
#include "solver/waste_games.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "games/models/forty_thieves.h"
#include "games/models/four_seasons.h"
#include "games/models/model_registry.h"
#include "solver/heuristic_parts.h"

namespace waste_games {
namespace {

using heuristic::CardSentHome;
using heuristic::CodeBuffer;
using heuristic::Generic;
using heuristic::NothingBuildsOn;
using heuristic::Uncovers;

// ---- Forty Thieves ----

using Thieves = FortyThievesModel;

// A card nothing can still need goes home alone (both copies of every card counted; the waste
// turns one card at a time, so its card may go too), a face-down card is turned at once. Among the
// rest: cards home, then
// moves that uncover a face-down card, empty a column or bare a card that can go home; a lone card
// moved into an empty column gains nothing.
int FortyThievesScore(const void* before, const PlayMove& move, int points, const void* after) {
    const auto& p = *static_cast<const Thieves::Position*>(before);
    if (move.kind == PlayMove::kFlip) return kSafeMove;
    const Card home = CardSentHome(*static_cast<const Thieves::Position*>(after), move, Thieves::kFirstFoundation);
    if (home.IsValid() && NothingBuildsOn(home, p.foundations, p.startRank, 2, [&](Card other, Card card) {
            return Thieves::CanPlay(p, other, card, false);
        }))
        return kSafeMove;
    int score = Generic(move, points) + Uncovers(move, Thieves::kFirstPile, Thieves::kPiles, p.faceDownCount.data());
    if (move.kind != PlayMove::kMove) return score;
    if (home.IsValid()) score += 400;
    const int from = move.from - Thieves::kFirstPile;
    if (from >= 0 && from < Thieves::kPiles) {
        if (move.index == 0) score += 60;
        else if (move.index > p.faceDownCount[from]) {
            const Card bared = p.tableau[from][move.index - 1];
            for (Card top : p.foundations)
                if (Thieves::CanPlay(p, bared, top, true)) score += 150;
        }
    }
    const int to = move.to - Thieves::kFirstPile;
    if (to >= 0 && to < Thieves::kPiles && p.pileCount[to] == 0) score -= move.index == 0 ? 400 : 40;
    return score;
}

// Columns and foundations in sorted order (any card may fill an empty column). The turns of the
// waste used are left out: the search keeps the turns left beside the code, more covering fewer.
void FortyThievesCode(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const Thieves::Position*>(position);
    CodeBuffer code;
    code.Run(p.stock.cards.data(), p.stock.count);
    code.Run(p.waste.data(), p.wasteCount);
    code.SortedTops(p.foundations);
    code.SortedPiles(p.tableau, p.pileCount, p.faceDownCount.data(), p.columnsInPlay);
    code.Byte(p.startRank);
    code.Byte(std::min(p.recycle, 255));
    code.Byte(p.columnsInPlay | p.movePartial << 4 | p.autoFlip << 5);
    code.Into(out);
}

// Turns of the waste left, 7 for as good as unlimited.
int TurnsLeft(int32_t allowed, int32_t used) {
    return allowed == kUnlimitedRecycles ? 7 : std::clamp(allowed - used, 0, 7);
}

int FortyThievesTurns(const void* position) {
    const auto& p = *static_cast<const Thieves::Position*>(position);
    return TurnsLeft(p.recycle, p.recyclesUsed);
}

// How many of `count` cards (from the bottom up) lie over a lower card of their own suit: each
// must move away before that card can go home.
int OverLowerOfSuit(const Card* cards, int count, int startRank) {
    std::array<int, Card::kSuitCount> lowest;
    lowest.fill(Card::kRankCount);
    int over = 0;
    for (int i = 0; i < count; ++i) {
        const int suit = cards[i].Suit(), order = heuristic::Order(cards[i], startRank);
        over += lowest[suit] < order;
        lowest[suit] = std::min(lowest[suit], order);
    }
    return over;
}

// How near a position is to a win, for the beams: cards home and empty piles, less cards on the
// waste and above all the cards lying over a lower card of their own suit (on a pile or the
// waste). (Forty Thieves, deals 1-200 at one second: weighing those cards less, or empty columns
// more, won fewer deals.)
template <class Position>
int WasteGameValue(const Position& p, const Card* const* piles, const int32_t* counts, int pileCount) {
    int value = 0;
    for (Card top : p.foundations)
        if (top.IsValid()) value += 100 * (heuristic::Order(top, p.startRank) + 1);
    for (int pile = 0; pile < pileCount; ++pile)
        value += counts[pile] == 0 ? 60 : -160 * OverLowerOfSuit(piles[pile], counts[pile], p.startRank);
    return value - 5 * p.wasteCount - 120 * OverLowerOfSuit(p.waste.data(), p.wasteCount, p.startRank);
}

// Forty Thieves' columns may also hold cards not built on the card under them, each a break
// that costs a move to mend.
int FortyThievesValue(const void* position) {
    const auto& p = *static_cast<const Thieves::Position*>(position);
    std::array<const Card*, Thieves::kPiles> piles;
    int breaks = 0;
    for (int column = 0; column < p.columnsInPlay; ++column) {
        piles[column] = p.tableau[column].data();
        for (int i = 1; i < p.pileCount[column]; ++i)
            breaks += !Thieves::CanPlay(p, p.tableau[column][i], p.tableau[column][i - 1], false);
    }
    return WasteGameValue(p, piles.data(), p.pileCount.data(), p.columnsInPlay) - 40 * breaks;
}

// ---- Four Seasons ----

using Seasons = FourSeasonsModel;

// A card no other card can still need goes home (from the waste only while the stock turns one
// card at a time). A card moved off a pile onto another pile's top bares a card of that top's
// rank: the tops keep their ranks, and only which of the two cards of the rank shows changes. Such
// a move comes late, and where the bared card can go nowhere either it is doubtful (hasty attempts
// leave it out; complete ones still try it, last).
int FourSeasonsScore(const void* before, const PlayMove& move, int points, const void* after) {
    const auto& p = *static_cast<const Seasons::Position*>(before);
    const Card home = CardSentHome(*static_cast<const Seasons::Position*>(after), move, Seasons::kFirstFoundation);
    if (home.IsValid() && (move.from != Seasons::kWastePlace || p.cardsDealt == 1) &&
        NothingBuildsOn(home, p.foundations, p.startRank, 1,
                        [](Card other, Card card) { return Seasons::CanPlay(other, card, false); }))
        return kSafeMove;
    int score = Generic(move, points);
    // A move between piles gains at once by emptying its pile, baring a card that goes home, or
    // opening a new host (the bared card shows while the moved one starts an empty pile).
    const int from = move.from - Seasons::kFirstPile;
    if (move.kind == PlayMove::kMove && from >= 0 && move.to >= Seasons::kFirstPile) {
        if (move.index == 0) return score + 50;
        const Card bared = p.piles[static_cast<size_t>(from)][static_cast<size_t>(move.index - 1)];
        for (int f = 0; f < Seasons::kFoundations; ++f)
            if (Seasons::FitsFoundation(p, f, bared)) return score + 100;
        const int to = move.to - Seasons::kFirstPile;
        if (p.pileCount[static_cast<size_t>(to)] == 0) return score + 20;
        // A swap of tops: it helps at once only if the bared card can move on (a step towards
        // emptying its pile).
        for (int pile = 0; pile < Seasons::kPiles; ++pile)
            if (pile != from && pile != to && Seasons::FitsPile(p, pile, bared)) return score - 100;
        return kDoubtful;
    }
    return score;
}

void FourSeasonsCode(const void* position, PositionCode& out) {
    const auto& p = *static_cast<const Seasons::Position*>(position);
    CodeBuffer code;
    code.Run(p.stock.cards.data(), p.stock.count);
    code.Run(p.waste.data(), p.wasteCount);
    code.SortedTops(p.foundations);
    code.SortedPiles(p.piles, p.pileCount, nullptr, Seasons::kPiles);
    code.Byte(p.startRank);
    code.Byte(std::min(p.recycles, 255));
    code.Byte(p.cardsDealt);
    code.Into(out);
}

// FourSeasonsCode's content hashed without building it: piles and foundations summed, so their
// order plays no part. The stock and the waste read as one line (the waste, then the stock from
// its far end) keep their order through deals and turns and only lose cards, and their cards are
// the pack's less those on the piles and the foundations: within a search those and the waste's
// size tell them apart.
uint64_t FourSeasonsHash(const void* position) {
    using heuristic::Mix;
    const auto& p = *static_cast<const Seasons::Position*>(position);
    const uint64_t line = Mix(static_cast<uint64_t>(p.wasteCount) | 0x3300);
    const uint64_t counts = static_cast<uint64_t>(p.startRank & 0xFF) | static_cast<uint64_t>(std::min(p.recycles, 255)) << 8 |
                            static_cast<uint64_t>(p.cardsDealt & 0xFF) << 16;
    const uint64_t piles = heuristic::PilesHash(p.piles, p.pileCount, Seasons::kPiles);
    return Mix(Mix(counts) ^ line ^ Mix(heuristic::TopsHash(p.foundations) ^ 0x5555) ^ Mix(piles ^ 0xAAAA));
}

int FourSeasonsValue(const void* position) {
    const auto& p = *static_cast<const Seasons::Position*>(position);
    std::array<const Card*, Seasons::kPiles> piles;
    for (int pile = 0; pile < Seasons::kPiles; ++pile) piles[pile] = p.piles[pile].data();
    return WasteGameValue(p, piles.data(), p.pileCount.data(), Seasons::kPiles);
}

int FourSeasonsTurns(const void* position) {
    const auto& p = *static_cast<const Seasons::Position*>(position);
    return TurnsLeft(p.recycles, p.recyclesUsed);
}

}  // namespace

MoveScore Score(int gameNumber) {
    if (gameNumber == game_number::kFortyThieves) return FortyThievesScore;
    if (gameNumber == game_number::kFourSeasons) return FourSeasonsScore;
    return nullptr;
}

PositionEncoder Code(MoveScore score) {
    if (score == FortyThievesScore) return FortyThievesCode;
    if (score == FourSeasonsScore) return FourSeasonsCode;
    return nullptr;
}

// The share of the budget searched depth-first, measured on deals 1-1000 (Four Seasons) and
// 1-200 (Forty Thieves) at one second: Four Seasons 91, 82, 73, 70 and 74 deals unknown with
// 2%, 10%, 30%, 50% and 70%; Forty Thieves 39, 38, 36 and 31 won with none, 10%, 30% and 50%.
BeamGuide Beam(MoveScore score) {
    if (score == FortyThievesScore) return {FortyThievesValue, 0.1};
    if (score == FourSeasonsScore) return {FourSeasonsValue, 0.5};
    return {};
}

PositionHasher Hash(MoveScore score) { return score == FourSeasonsScore ? FourSeasonsHash : nullptr; }

// No press macro: each press stays a move of its own. Laid over these games' move orders it left
// far more deals unsolved in a second (the one-pass stock, a card at a time, gives a macro for
// every card of it in every position, each to be applied and coded). The turns of the waste left
// still let a position with more turns cover one with fewer.
StockMacro Macro(MoveScore score) {
    StockMacro macro;
    if (score == FortyThievesScore) macro.turnsLeft = FortyThievesTurns;
    if (score == FourSeasonsScore) macro.turnsLeft = FourSeasonsTurns;
    return macro;
}

}  // namespace waste_games
