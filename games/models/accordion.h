// Accordion: the whole deck dealt face up in a row that wraps over five lines of eleven cells. A
// card may cover the nearest card to its left or the third card to its left when they share a
// suit or a rank; the game is won when one pile is left.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// Accordion has no rule values.
struct AccordionRules {
    static constexpr std::array<RuleField<AccordionRules>, 0> kFields{};
};

// Places: the cells 0 .. 51 in dealing order (eleven to a line). A move is a kMove of the card in
// one cell onto the first or third card left of it. Cells do not close up: an emptied cell stays
// empty.
struct AccordionParts {
    using Rules = AccordionRules;
    static constexpr int kCells = 52, kPlaces = kCells;
    static constexpr int kPointsPerMove = 5;

    struct Position {
        int32_t points = 0;
        std::array<Card, kCells> cells{};
    };

    // One pack, every card into its cell at once.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr);

    static bool Matches(Card a, Card b) { return a.Suit() == b.Suit() || a.Rank() == b.Rank(); }
    // The cells a card in `from` may cover: the nearest card left of it and the third.
    static int Neighbours(const Position& position, int from, std::array<int, 2>& cells);
};
// Won with one pile left. The code holds the cells alone, so positions reached by different paths
// meet in a search; covered cards leave the position.
using AccordionModel = PlayModel<AccordionParts>;
