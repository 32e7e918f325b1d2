// What the row pairing games share: the player selects two cards whose pip values make a sum,
// and both leave the table. Block Solitaire, Simple Addition and Take Fourteen lay out rows of
// places (slots or piles) and differ only in their shape: how many places, how many cards each
// holds, the sum, whether the stock refills the emptied places, whether a suit's high cards go
// out as a group, and whether the court cards are dealt.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// These games keep no rule values in the settings (kFields is empty): their rules are the game's
// fixed shape, which each game's model header names.
struct PairingRules {
    int32_t places = 0;
    int32_t cellsPerPlace = 1;  // the most cards a place holds
    int32_t pairSum = 0;
    int32_t refills = 0;  // the stock fills the emptied places after a removal
    int32_t groups = 0;   // the Ten, Jack, Queen and King of a suit go out together
    int32_t courts = 1;   // Jack, Queen and King are dealt
    static constexpr std::array<RuleField<PairingRules>, 0> kFields{};
};

// The rules of the row pairing games as a model of play. Places 0 .. places - 1 are the table's
// places, numbered as the undo record lists them; the stock is no place, since the game deals
// from it by itself.
//
// Moves: a pair is a kMove from one place to the other (lower place first), made by clicking
// both top cards; Simple Addition's group of four high cards of a suit is a kSelect of the
// group's first place with count 4, made by clicking its cards one after the other (the table
// offers it once at most two are left to click).
struct PairingParts {
    using Rules = PairingRules;
    static constexpr int kMaxCells = 60;
    static constexpr int kPointsPerPair = 10;
    static constexpr int kPointsPerGroupCard = 5;
    static constexpr int kGroupSize = 4;

    struct Position {
        int32_t points = 0;
        int32_t places = 0;
        int32_t cellsPerPlace = 1;
        int32_t pairSum = 0;
        int32_t refills = 0;  // the stock fills the emptied places, first to last, after a removal
        int32_t groups = 0;   // the Ten, Jack, Queen and King of a suit go out together
        int32_t stockCount = 0;
        std::array<Card, Card::kCardsPerPack> stock{};  // the last card is dealt next
        std::array<Card, kMaxCells> cells{};            // place after place, bottom card first
    };

    // The empty table of a game with these rules, its stock not yet dealt.
    static Position EmptyTable(const Rules& rules) {
        return {.places = rules.places, .cellsPerPlace = rules.cellsPerPlace, .pairSum = rules.pairSum,
                .refills = rules.refills, .groups = rules.groups};
    }
    // One pack (without the court cards when the game plays none): a card to each place in turn,
    // round after round, while the stock lasts.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);

    static Card Top(const Position& position, int place);
    static bool MakesPair(const Position& position, Card a, Card b) {
        return a.IsValid() && b.IsValid() && a.PipValue() + b.PipValue() == position.pairSum;
    }
    // Ten, Jack, Queen and King are high.
    static bool IsHigh(Card card) { return card.PipValue() >= 10; }
    static bool PairAvailable(const Position& position);
    // The first place of a suit's whole group of high cards showing, or -1.
    static int GroupAt(const Position& position);
    // How many cards the place holds: its leading occupied cells.
    static int Count(const Position& position, int place);

    // The next stock card onto the top of the place, when it has room.
    template <typename Hooks>
    static void DealOnto(Position& position, int place, Hooks& hooks) {
        const int count = Count(position, place);
        if (position.stockCount == 0 || count == position.cellsPerPlace) return;
        position.cells[place * position.cellsPerPlace + count] = play_position::Pop(position.stock, position.stockCount);
        hooks.Dealt(place);
    }
    // Apply, showing its steps through the hooks (play_position::NoHooks).
    template <typename Hooks>
    static int Play(Position& position, const PlayMove& move, Hooks& hooks);
};
// Won with the stock and the table empty; over when no pair (and no group) is left. The code holds
// the cards of the places and the stock, not the points, so positions reached by different paths
// meet in a search. Pairs leave the position.
using PairingModel = PlayModel<PairingParts>;

template <typename Hooks>
int PairingParts::Play(Position& position, const PlayMove& move, Hooks& hooks) {
    auto takeTop = [&](int place) {
        Card* cells = &position.cells[place * position.cellsPerPlace];
        cells[Count(position, place) - 1] = Card();
        hooks.TookOut(place);
    };
    int scored = 0;
    if (move.kind == PlayMove::kMove) {
        takeTop(move.from);
        takeTop(move.to);
        scored = kPointsPerPair;
    } else if (move.kind == PlayMove::kSelect) {
        const int suit = Top(position, move.from).Suit();
        for (int place = 0; place < position.places; ++place) {
            const Card card = Top(position, place);
            if (card.IsValid() && IsHigh(card) && card.Suit() == suit) {
                takeTop(place);
                scored += kPointsPerGroupCard;
            }
        }
    } else {
        return 0;
    }
    hooks.Removed();
    // The stock fills the empty places, first to last, while it lasts.
    if (position.refills || move.kind == PlayMove::kSelect)
        for (int place = 0; place < position.places; ++place)
            if (!Top(position, place).IsValid()) DealOnto(position, place, hooks);
    position.points += scored;
    return scored;
}
