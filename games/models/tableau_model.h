// What the pile-building games' models share (Klondike, Agnes, Forty Thieves, Canfield, Four
// Seasons, Quadrille, Simplicity, Gate, Spider): builds, piles fanned with face-down cards, a stock
// and a waste, the candidates of the game-over test, and moves of stacks between places.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

#include "cards/card.h"
#include "cards/deck.h"
#include "framework/play_model.h"
#include "games/models/model_parts.h"

namespace tableau {

// The most cards a move carries as one stack (the table's kMaxStackCards, which tableau_game.h
// holds equal to it).
inline constexpr int kMaxStackCards = 13;

// Ranks form a cycle: after the King the Ace, after the Ace the Two.
constexpr int NextRank(int rank) { return (rank + 1) % Card::kRankCount; }

// The usual build round the corner: down in alternating colours on a pile, up in suit on a
// foundation's top; the starting rank goes on no card.
inline bool BuildsAlternating(Card card, Card top, bool toFoundation, int startRank) {
    if (!card.IsValid() || !top.IsValid() || card.Rank() == startRank) return false;
    if (toFoundation) return NextRank(top.Rank()) == card.Rank() && card.Suit() == top.Suit();
    return NextRank(card.Rank()) == top.Rank() && card.IsRed() != top.IsRed();
}

// May a stack of count cards whose lowest card is `lowest` go on a foundation whose top is `top`,
// built so from `startRank` (an empty one takes that rank)? Only single cards go home.
inline bool FitsFoundationTop(Card top, Card lowest, int count, int startRank) {
    if (count != 1) return false;
    return top.IsValid() ? BuildsAlternating(lowest, top, true, startRank) : lowest.Rank() == startRank;
}
// Whether a card goes on one of the foundations so built: the starting rank always has a place.
template <size_t F>
bool GoesHome(const std::array<Card, F>& foundations, Card card, int startRank) {
    if (card.Rank() == startRank) return true;
    for (Card top : foundations)
        if (top.IsValid() && BuildsAlternating(card, top, true, startRank)) return true;
    return false;
}

// Won when every foundation, built round the corner from `startRank`, ends on the rank just below
// it (no start rank chosen yet: not won).
template <size_t F>
bool FoundationsComplete(const std::array<Card, F>& tops, int startRank) {
    if (startRank < 0) return false;
    const int last = (startRank + Card::kRankCount - 1) % Card::kRankCount;
    for (Card top : tops)
        if (!top.IsValid() || top.Rank() != last) return false;
    return true;
}

template <typename Rules>
using RuleField = ::RuleField<Rules>;
// Whether a waste may be turned over again after `used` turns, `allowed` being a count or no limit.
inline bool RecycleAllowed(int allowed, int used) {
    return allowed == kUnlimitedRecycles || used < allowed;
}

// One byte per card in a position's code: its index, or 0xFF for the no-card value.
inline void EncodeCard(PositionCode& code, Card card) {
    code.Byte(card.IsValid() ? static_cast<uint8_t>(card.Index()) : uint8_t{0xFF});
}
// A pile in a position's code: its count, then its cards from the bottom.
inline void EncodePile(PositionCode& code, const Card* cards, int count) {
    code.Byte(static_cast<uint8_t>(count));
    for (int i = 0; i < count; ++i) EncodeCard(code, cards[i]);
}

// The stock in a position: a stack whose last card is dealt next, so dealing takes from the end.
template <size_t N>
struct Stock {
    std::array<Card, N> cards{};
    int32_t count = 0;

    // The deck's undealt cards, the next one last.
    void Load(const Deck& deck) {
        count = std::min<int32_t>(deck.Remaining(), static_cast<int32_t>(N));
        for (int i = 0; i < count; ++i) cards[i] = deck.Peek(count - 1 - i);
    }
    // The card `offset` places after the next one, as Deck::Peek sees it.
    Card Peek(int offset) const { return offset >= 0 && offset < count ? cards[count - 1 - offset] : Card(); }
    Card Deal() {
        if (count == 0) return Card();
        const Card card = cards[--count];
        cards[count] = Card();
        return card;
    }
    // Turns a waste of n cards over onto the empty stock: its first card is dealt first again.
    void TakeWaste(Card* waste, int32_t& n) {
        for (int i = 0; i < n; ++i) {
            cards[count++] = waste[n - 1 - i];
            waste[n - 1 - i] = Card();
        }
        n = 0;
    }
    void Encode(PositionCode& code) const { EncodePile(code, cards.data(), count); }
};

// The parts of a position that games with a stock and a waste share: the foundations (their top
// cards), the stock, the waste.
template <size_t F, size_t N, size_t W>
struct StockAndWaste {
    std::array<Card, F> foundations{};
    Stock<N> stock;
    std::array<Card, W> waste{};
    int32_t wasteCount = 0;
};
// Names the cards of a stock-and-waste position p for the card census: the stock, the waste, the
// piles, and each foundation's cards from startRank up to its top.
template <class P, size_t N, size_t S>
void AddCards(CardTally& out, const P& p, const std::array<std::array<Card, S>, N>& piles,
              const std::array<int32_t, N>& counts, int startRank) {
    out.AddRun(p.stock.cards, p.stock.count);
    out.AddRun(p.waste, p.wasteCount);
    for (size_t pile = 0; pile < N; ++pile) out.AddRun(piles[pile], counts[pile]);
    for (Card top : p.foundations) out.AddClimb(top, startRank, NextRank);
}
// A press on the stock of position p: up to n cards dealt onto the waste, or with the stock empty
// and a turn allowed, the waste turned back onto it for 5 points, counted in `turns` (gathered:
// put back as it lies, its top card dealt first). `dealt` becomes how many cards were dealt.
template <class P>
void DealOrTurn(P& p, int n, bool turnAllowed, int32_t& dealt, int32_t& turns, bool gather = false) {
    if (p.stock.count > 0) {
        for (dealt = 0; dealt < n && p.wasteCount < static_cast<int>(p.waste.size()) && p.stock.count > 0; ++dealt)
            p.waste[p.wasteCount++] = p.stock.Deal();
    } else if (turnAllowed) {
        p.points -= 5;
        if (gather) std::reverse(p.waste.begin(), p.waste.begin() + p.wasteCount);
        p.stock.TakeWaste(p.waste.data(), p.wasteCount);
        ++turns;
        dealt = 0;
    }
}
// Piles fanned down from their first card, the lowest faceDownCount of them face down.
template <size_t N, size_t S>
struct FannedPiles {
    std::array<std::array<Card, S>, N> tableau{};
    std::array<int32_t, N> pileCount{}, faceDownCount{};
    bool FaceUpTop(int pile) const { return pileCount[pile] > faceDownCount[pile]; }
    // The piles whose cards all lie face down, whose top a kFlip move turns.
    bool AllFaceDown(int pile) const { return pileCount[pile] > 0 && faceDownCount[pile] == pileCount[pile]; }
    void AddFlips(int firstPlace, MoveList& out) const {
        for (size_t pile = 0; pile < N; ++pile)
            if (AllFaceDown(pile)) out.push_back({PlayMove::kFlip, static_cast<int8_t>(firstPlace + pile)});
    }
    // Turns a pile's face-down top; each card turned scores 5 points, which are returned.
    int TurnTop(int pile) {
        --faceDownCount[pile];
        return 5;
    }
    // Whether any pile waits for its top to be turned.
    bool AnyAllFaceDown() const {
        for (size_t pile = 0; pile < N; ++pile)
            if (AllFaceDown(pile)) return true;
        return false;
    }
    // Turns every such top (the AutoFlip rule).
    int TurnFaceDownTops() {
        int points = 0;
        for (size_t pile = 0; pile < N; ++pile)
            if (AllFaceDown(pile)) points += TurnTop(pile);
        return points;
    }
    // Whether a card goes on some pile: on a face-up top it builds on (stack(card, top)), or into an
    // empty pile it may fill (fills(card)).
    template <typename Stack, typename Fills>
    bool TakesCard(Card card, Stack stack, Fills fills) const {
        for (size_t pile = 0; pile < N; ++pile) {
            if (pileCount[pile] == 0 ? fills(card) : FaceUpTop(pile) && stack(card, tableau[pile][pileCount[pile] - 1]))
                return true;
        }
        return false;
    }
    // The first n piles in a position's code: each one's face-down count, then its cards.
    void EncodePiles(PositionCode& code, int n = N) const {
        for (int pile = 0; pile < n; ++pile) {
            code.Byte(static_cast<uint8_t>(faceDownCount[pile]));
            EncodePile(code, tableau[pile].data(), pileCount[pile]);
        }
    }
    // How many cards of the piles lie face down.
    int FaceDownCards() const {
        int n = 0;
        for (int32_t count : faceDownCount) n += count;
        return n;
    }
};

// The build rules of games whose positions keep fanned piles (tableau) built down in alternating
// colours and foundations built up in suit, both round the corner from the position's startRank;
// with the TableauStart rule (rules.tableauStart) an empty pile takes only the rank below it.
struct AlternatingBuild {
    template <class P>
    static bool CanPlay(const P& p, Card card, Card top, bool toFoundation) {
        return BuildsAlternating(card, top, toFoundation, p.startRank);
    }
    template <class P>
    static bool FillsEmptyPile(const P& p, Card card) {
        return !p.rules.tableauStart || NextRank(card.Rank()) == p.startRank;
    }
    template <class P>
    static bool FitsFoundation(const P& p, int f, Card lowest, int count) {
        return FitsFoundationTop(p.foundations[f], lowest, count, p.startRank);
    }
    // Room for the stack, then an empty pile it fills or a face-up top it builds on.
    template <class P>
    static bool FitsPile(const P& p, int pile, Card lowest, int count) {
        if (p.pileCount[pile] + count > static_cast<int>(p.tableau[pile].size())) return false;
        if (p.pileCount[pile] == 0) return FillsEmptyPile(p, lowest);
        return p.FaceUpTop(pile) && CanPlay(p, lowest, p.tableau[pile][p.pileCount[pile] - 1], false);
    }
    template <class P>
    static int FaceDown(const P& p) {
        return p.FaceDownCards();
    }
};

// The opening of a stock-and-waste game's code: the stock, then the waste.
template <size_t N, size_t W>
void EncodeStockAndWaste(PositionCode& code, const Stock<N>& stock, const std::array<Card, W>& waste, int wasteCount) {
    code.bytes.clear();
    stock.Encode(code);
    EncodePile(code, waste.data(), wasteCount);
}
// Foundations kept as their top cards.
template <size_t F>
void EncodeTops(PositionCode& code, const std::array<Card, F>& tops) {
    for (Card top : tops) EncodeCard(code, top);
}
// How often the waste was turned over, and how often it may be (no limit reads as 255).
inline void EncodeRecycles(PositionCode& code, int used, int allowed) {
    code.Byte(static_cast<uint8_t>(std::min(used, 255)));
    code.Byte(static_cast<uint8_t>(std::min(allowed, 255)));
}

// The cards a game-over test finds that may still come into play (at most N, no-card values
// skipped); the answer depends only on which cards are found, not on their order.
template <int N>
struct Candidates {
    std::array<Card, N> cards;
    int count = 0;

    void Add(Card card) {
        if (card.IsValid() && count < N) cards[count++] = card;
    }
    Card operator[](int i) const { return cards[i]; }
    // What turning the stock `step` cards at a time can bring to the top of the waste: its top
    // now, every step-th card of the stock and, with a recycle left, every step-th card of the
    // waste followed by the stock.
    template <size_t S>
    void AddTurnable(const Stock<S>& stock, const Card* waste, int wasteCount, int step, bool recycle) {
        if (wasteCount > 0) Add(waste[wasteCount - 1]);
        for (int offset = step - 1; offset < stock.count; offset += step) Add(stock.Peek(offset));
        if (!recycle) return;
        for (int index = step - 1; index < wasteCount + stock.count; index += step)
            Add(index < wasteCount ? waste[index] : stock.Peek(index - wasteCount));
    }
};

// The game-over look-ahead over piles fanned with face-down cards under a face-up run: whether
// moving a pile's whole face-up run onto another pile (stack(moving, onto)) turns a card or
// empties the pile for something that may fill it (a card of `fillers`, or the lowest face-up card
// of a pile with cards under it, other than the target unless countTarget; with the TableauStart
// rule only the rank below the starting rank), or whether an empty pile takes such a run (fills).
template <size_t N, size_t S, typename Stack, typename Fills>
bool ShiftHelps(const FannedPiles<N, S>& p, int startRank, bool tableauStart, Stack stack, Fills fills,
                std::span<const Card> fillers, bool countTarget) {
    for (size_t i = 0; i < N; ++i) {
        if (!p.FaceUpTop(i)) continue;
        const Card lowest = p.tableau[i][p.faceDownCount[i]];
        for (size_t j = 0; j < N; ++j) {
            if (j == i) continue;
            if (p.FaceUpTop(j) && stack(lowest, p.tableau[j][p.pileCount[j] - 1])) {
                if (p.faceDownCount[i] > 0 || !tableauStart) return true;
                for (Card card : fillers)
                    if (NextRank(card.Rank()) == startRank) return true;
                for (size_t k = 0; k < N; ++k) {
                    if ((k == j && !countTarget) || p.faceDownCount[k] == 0 || !p.FaceUpTop(k)) continue;
                    if (NextRank(p.tableau[k][p.faceDownCount[k]].Rank()) == startRank) return true;
                }
            }
            if (p.pileCount[j] == 0 && p.faceDownCount[i] > 0 && fills(lowest)) return true;
        }
    }
    return false;
}
// Adds what the piles can bring into play: every face-up top and, with partial moves, each card
// under a run that could move onto another pile.
template <int C, size_t N, size_t S, typename Stack>
void AddUncoverable(Candidates<C>& out, const FannedPiles<N, S>& p, bool partial, Stack stack) {
    for (size_t pile = 0; pile < N; ++pile)
        if (p.FaceUpTop(pile)) out.Add(p.tableau[pile][p.pileCount[pile] - 1]);
    if (!partial) return;
    for (size_t i = 0; i < N; ++i)
        for (int m = p.faceDownCount[i] + 1; m < p.pileCount[i]; ++m)
            for (size_t j = 0; j < N; ++j)
                if (j != i && p.FaceUpTop(j) && stack(p.tableau[i][m], p.tableau[j][p.pileCount[j] - 1]))
                    out.Add(p.tableau[i][m - 1]);
}
// The game-over walk of a game built as AlternatingBuild builds: stuck when no card of `cards`
// goes on a pile, no shift of a run helps (ShiftHelps, with `fillers` and countTarget), and
// neither those cards nor any the piles can bring into play (added to `cards`) go home.
template <int C, class P>
bool AlternatingStuck(const P& p, Candidates<C>& cards, std::span<const Card> fillers, bool countTarget) {
    auto stacks = [&p](Card moving, Card onto) { return AlternatingBuild::CanPlay(p, moving, onto, false); };
    auto fills = [&p](Card card) { return AlternatingBuild::FillsEmptyPile(p, card); };
    for (int c = 0; c < cards.count; ++c)
        if (p.TakesCard(cards[c], stacks, fills)) return false;
    if (ShiftHelps(p, p.startRank, p.rules.tableauStart, stacks, fills, fillers, countTarget)) return false;
    AddUncoverable(cards, p, p.rules.movePartial, stacks);
    for (int c = 0; c < cards.count; ++c)
        if (GoesHome(p.foundations, cards[c], p.startRank)) return false;
    return true;
}

// The stacks a pile of count cards, the first faceDown of them face down, offers to be picked up:
// its top card, then either every longer face-up run (partial) or the whole face-up part, each no
// longer than a held stack. visit(index, cards) is called for each, in the order of the pick-ups.
template <typename Visit>
void ForEachPileStack(int count, int faceDown, bool partial, Visit&& visit) {
    if (count <= faceDown) return;
    const int top = count - 1;
    visit(top, 1);
    if (partial) {
        for (int k = top - 1; k >= faceDown; --k)
            if (count - k <= kMaxStackCards) visit(k, count - k);
    } else if (top > faceDown && count - faceDown <= kMaxStackCards) {
        visit(faceDown, count - faceDown);
    }
}

inline PlayMove MakeMove(int from, int index, int to, int count) {
    return {PlayMove::kMove, static_cast<int8_t>(from), static_cast<int8_t>(index), static_cast<int8_t>(to),
            static_cast<int8_t>(count)};
}

// Takes n cards from `index` of a pile into `out`: the pile ends below them.
template <size_t S>
void TakeRun(std::array<Card, S>& pile, int32_t& count, int index, int n, Card* out) {
    std::copy_n(&pile[index], n, out);
    std::fill_n(&pile[index], n, Card());
    count = index;
}
template <size_t S>
Card TakeTop(std::array<Card, S>& pile, int32_t& count) {
    Card top;
    TakeRun(pile, count, count - 1, 1, &top);
    return top;
}
template <size_t S>
void PutRun(std::array<Card, S>& pile, int32_t& count, const Card* cards, int n) {
    for (int i = 0; i < n; ++i) pile[count++] = cards[i];
}
// Moves move.count cards onto a foundation or a pile: from a place below firstFoundation (a
// waste, a reserve, whose top card takeTop(from) takes off) or from a pile. Such a place's card
// scores 10 home and 5 on a pile, a pile's card 5 home. Places from firstPile on are piles, those
// below them foundations from firstFoundation.
template <class P, size_t N, size_t S, typename TakeTopOf>
void MoveCards(P& p, const PlayMove& move, std::array<std::array<Card, S>, N>& piles,
               std::array<int32_t, N>& counts, int firstFoundation, int firstPile, TakeTopOf&& takeTop) {
    constexpr int kHandHome = 10, kPileHome = 5, kHandToPilePerCard = 5;
    std::array<Card, kMaxStackCards> cards{};
    const bool fromHand = move.from < firstFoundation;
    if (fromHand) cards[0] = takeTop(move.from);
    else TakeRun(piles[move.from - firstPile], counts[move.from - firstPile], move.index, move.count, cards.data());
    if (move.to < firstPile) {
        p.points += fromHand ? kHandHome : kPileHome;
        p.foundations[move.to - firstFoundation] = cards[0];
    } else {
        if (fromHand) p.points += kHandToPilePerCard * move.count;
        PutRun(piles[move.to - firstPile], counts[move.to - firstPile], cards.data(), move.count);
    }
}
template <size_t N>
bool AllEmpty(const std::array<int32_t, N>& counts) {
    return std::all_of(counts.begin(), counts.end(), [](int32_t count) { return count == 0; });
}
// Every foundation and every other of the first `piles` piles that takes the stack of count
// cards picked up at (from, index), whose lowest card is `lowest`.
template <typename Model>
void AddDrops(const typename Model::Position& p, int from, int index, Card lowest, int count, MoveList& out,
              int piles = Model::kPiles) {
    for (int f = 0; f < Model::kFoundations; ++f)
        if (Model::FitsFoundation(p, f, lowest, count)) out.push_back(MakeMove(from, index, Model::kFirstFoundation + f, count));
    for (int pile = 0; pile < piles; ++pile)
        if (Model::kFirstPile + pile != from && Model::FitsPile(p, pile, lowest, count))
            out.push_back(MakeMove(from, index, Model::kFirstPile + pile, count));
}

// ---- Deals ----

// The deck shuffled with `packs` packs, as every deal of these games starts.
inline void ShufflePacks(Deck& deck, int packs) {
    deck.SetPacks(packs);
    deck.IncludeAll();
    deck.Shuffle();
}
// The foundations' starting rank: the rule's, or with none chosen the deck's next card's. Not
// filled in (or with dealFirst), that card is dealt to foundation 0; filled in, every
// foundation then starts with its suit's card of that rank, each taken out of the deck.
template <size_t F>
void StartFoundations(Deck& deck, std::array<Card, F>& foundations, int32_t& startRank, int startCard, bool filledIn,
                      bool dealFirst = false) {
    startRank = startCard;
    if (startRank == -1 && (dealFirst || !filledIn)) {
        foundations[0] = deck.DealNext();
        startRank = foundations[0].Rank();
    }
    if (!filledIn) return;
    if (startRank == -1) startRank = deck.Peek(0).Rank();
    for (size_t f = 0; f < F; ++f) {
        foundations[f] = Card(static_cast<int>(f) % Card::kSuitCount, startRank);
        deck.Exclude(foundations[f]);
    }
}
// The show told that the cards laid out at once are in place, and of each card dealt onto a
// place (at `index` from its bottom): the position's stock first brought in step with the deck.
template <class P>
void ShowLaidOut(const Deck& deck, P& p, DealShow<P>* show) {
    p.stock.Load(deck);
    if (show) show->Shown(p);
}
template <class P>
void ShowDealt(const Deck& deck, P& p, DealShow<P>* show, int place, int index) {
    p.stock.Load(deck);
    if (show) show->Dealt(p, place, index);
}
// One row of the opening deal across piles first..last - 1 of p's fanned piles (pile i is place
// firstPlace + i), face down from pile faceDownFrom on; false once the deck has run out.
template <class P>
bool DealRowOnto(Deck& deck, P& p, int firstPlace, int first, int last, int faceDownFrom, DealShow<P>* show) {
    for (int pile = first; pile < last; ++pile) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) return false;
        const int index = p.pileCount[pile]++;
        p.tableau[pile][index] = card;
        if (pile >= faceDownFrom) ++p.faceDownCount[pile];
        ShowDealt(deck, p, show, firstPlace + pile, index);
    }
    return true;
}
// The opening deal row by row: one card face up to the row's pile, then one face down to every
// pile to its right, until the deck runs out.
template <class P>
void DealRows(Deck& deck, P& p, int firstPlace, DealShow<P>* show) {
    constexpr int n = static_cast<int>(std::tuple_size_v<decltype(p.tableau)>);
    for (int row = 0; row < n; ++row)
        if (!DealRowOnto(deck, p, firstPlace, row, n, row + 1, show)) return;
}

}  // namespace tableau
