// What the games' models share: piles held as cards and counts, cards and piles as bytes of a
// position code, the stock copied out of the deck, the rule values a game keeps, the hooks through
// which a table watches a move or a deal being made, and PlayModel, the functions every model
// declares. Models stand on the cards and this alone, so the solver and the tools use them without
// a screen.
//
// Positions hold only int32_t fields and Cards (two int32_t), so they have no padding and their
// raw bytes are fully defined: equal positions have equal bytes.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "cards/card.h"
#include "cards/deck.h"
#include "framework/play_model.h"

namespace play_position {

// Piles are held bottom first with a count, as the stock is: its last card is dealt next.

// The deck's undealt cards as a stock; returns how many.
template <size_t N>
int32_t CopyStock(const Deck& deck, std::array<Card, N>& stock) {
    stock.fill(Card());
    const int count = deck.Remaining() < static_cast<int>(N) ? deck.Remaining() : static_cast<int>(N);
    for (int i = 0; i < count; ++i) stock[count - 1 - i] = deck.Peek(i);
    return count;
}

// Takes the top card off a pile: no card when it is empty.
template <size_t N>
Card Pop(std::array<Card, N>& cards, int32_t& count) {
    if (count <= 0) return Card();
    const Card card = cards[--count];
    cards[count] = Card();
    return card;
}

// Puts a card on top of a pile that has room.
template <size_t N>
void Push(std::array<Card, N>& cards, int32_t& count, Card card) {
    if (count < static_cast<int32_t>(N)) cards[count++] = card;
}

// 0 for no card, else 1 + the card's table index.
inline void EncodeCard(PositionCode& code, Card card) {
    code.Byte(card.IsValid() ? static_cast<uint8_t>(card.Index() + 1) : 0);
}

template <typename Cards>
void EncodeCards(PositionCode& code, const Cards& cards, int count) {
    for (int i = 0; i < count; ++i) EncodeCard(code, cards[i]);
}

// A pile's count, then its cards.
template <typename Cards>
void EncodePile(PositionCode& code, const Cards& cards, int count) {
    code.Byte(static_cast<uint8_t>(count));
    EncodeCards(code, cards, count);
}

// Each pile of a row: its count, then its cards.
template <typename Piles, typename Counts>
void EncodePiles(PositionCode& code, const Piles& piles, const Counts& counts) {
    for (size_t k = 0; k < piles.size(); ++k) EncodePile(code, piles[k], counts[k]);
}

inline void EncodeInt(PositionCode& code, int32_t value) {
    for (int shift = 0; shift < 32; shift += 8) code.Byte(static_cast<uint8_t>(value >> shift));
}

// What a table shows of a move while its model plays it, step by step: each model calls the
// hooks its moves pass through (TookOut after each card it takes out of play, Removed once they
// are all out, Dealt after each stock card it deals onto a place, ClosedUp after closing up the
// gaps with that many stock cards). Apply plays with these, which show nothing.
struct NoHooks {
    void TookOut(int) {}
    void Removed() {}
    void Dealt(int) {}
    void ClosedUp(int) {}
};

// One shuffled pack in the deck, as every deal of these games starts.
inline void ShufflePack(Deck& deck) {
    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
}

}  // namespace play_position

// ---- Rule values ----

// A recycle count that never runs out.
inline constexpr int32_t kUnlimitedRecycles = 99999;

// The values a number may take: lowest to highest, and with orUnlimited kUnlimitedRecycles as well.
struct RuleRange {
    int32_t lowest = INT32_MIN, highest = INT32_MAX;
    bool orUnlimited = false;
    bool Holds(int32_t value) const {
        return (value >= lowest && value <= highest) || (orUnlimited && value == kUnlimitedRecycles);
    }
};
inline constexpr RuleRange kRecycleRange{0, 4, true};
inline constexpr RuleRange kStartCardRange{-1, 12};  // a rank index, or -1 for the first card dealt

// One rule value a game's rules keep, stored under `name`; a check box reads as 0 or 1 (and takes
// any number, read as on or off). A value whose range follows another's is read unchecked and held
// to it by the rules' Settle. A rules struct lists its fields once (kFields): the table fills them
// from the player's settings, the solver from its command line, and the struct's own member
// initialisers are the defaults.
template <typename Rules>
struct RuleField {
    int32_t Rules::*member;
    const char* name;
    bool checkBox = false;
    bool unchecked = false;
    RuleRange range{};
};

// A check box; a number in its range; a number whose range follows another's, read unchecked.
template <typename Rules>
constexpr RuleField<Rules> OnOff(int32_t Rules::*member, const char* name) {
    return {member, name, true};
}
template <typename Rules>
constexpr RuleField<Rules> Number(int32_t Rules::*member, const char* name, RuleRange range) {
    return {member, name, false, false, range};
}
template <typename Rules>
constexpr RuleField<Rules> Following(int32_t Rules::*member, const char* name, RuleRange range) {
    return {member, name, false, true, range};
}

// A game's rules (`rules`: the defaults, or a family member's fixed shape) with every field of
// kFields that `value(field)` gives (an optional number; none keeps the value), a check box as on
// when non-zero, then settled (Settle) where one value's range follows another's.
template <typename Rules, typename Lookup>
Rules RulesFrom(Lookup value, Rules rules = Rules{}) {
    if constexpr (requires { Rules::kFields; })
        for (const RuleField<Rules>& field : Rules::kFields)
            if (const std::optional<int32_t> read = value(field)) rules.*field.member = field.checkBox ? *read != 0 : *read;
    if constexpr (requires { rules.Settle(); }) rules.Settle();
    return rules;
}

// ---- Deals ----

// What a table shows of a deal while its model makes it: the table once the cards laid out at once
// are in place (Shown, called once, before any other), each card then dealt as it lands on a place
// (face up or down as `now` holds it, at `index` from the bottom), and each move the deal ends
// with (turning the first stock card). The deck stands as the position's stock does at each call.
// A deal made without a show just deals.
template <typename Position>
class DealShow {
public:
    virtual void Shown(const Position& now) = 0;
    virtual void Dealt(const Position& now, int place, int index) = 0;
    virtual void Played(const Position& now, const PlayMove& move) = 0;

protected:
    ~DealShow() = default;
};

// Every model deals as
//     static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);
// from a deck seeded with the deal number and holding every card (Deck::TakeBackAll); it shuffles,
// deals, and leaves in the deck what the position's stock holds. Deal `dealNumber` of a game,
// without a table:
template <typename Model>
typename Model::Position DealNumber(uint32_t dealNumber, const typename Model::Rules& rules) {
    Deck deck;
    deck.Seed(dealNumber);
    return Model::Deal(deck, rules, nullptr);
}

// Plays a move the deal ends with (a model of a position whose stock is `stock` and `stockCount`):
// the stock cards it deals are taken off the deck as well, and the show shown it.
template <typename Model, typename Position>
void PlayAtDeal(Deck& deck, Position& position, const PlayMove& move, DealShow<Position>* show) {
    Model::Apply(position, move);
    while (deck.Remaining() > position.stockCount) deck.DealNext();
    if (show) show->Played(position, move);
}

// Parts that play a move through hooks (a static template Play taking the hooks last).
template <typename Parts>
concept PlaysThroughHooks = requires(typename Parts::Position& position, play_position::NoHooks& hooks) {
    Parts::Play(position, PlayMove{}, hooks);
};

// The functions of a model of play (framework/play_model.h), declared once for every game. A
// game writes its position, constants and helpers in a struct Parts, names PlayModel<Parts> as
// its model, and defines these in its .cpp file, where the names of Parts are in scope. Parts
// that play through hooks get Apply here (their Play with hooks that show nothing); any other
// game defines ApplyOwn. (One Apply dispatching at compile time, rather than two constrained
// ones, lets every compiler match the game's definition to its declaration.)
template <typename Parts>
struct PlayModel : Parts {
    using Position = typename Parts::Position;
    static void Moves(const Position& position, MoveList& out);
    static int Apply(Position& position, const PlayMove& move) {
        if constexpr (PlaysThroughHooks<Parts>) {
            play_position::NoHooks hooks;
            return Parts::Play(position, move, hooks);
        } else {
            return ApplyOwn(position, move);
        }
    }
    static int ApplyOwn(Position& position, const PlayMove& move);
    static bool Won(const Position& position);
    static bool Over(const Position& position);
    static void Encode(const Position& position, PositionCode& out);
    static void Cards(const Position& position, CardTally& out);
};

