// What the two grid games, Cribbage Solitaire and Poker Solitaire, share: cards turned one at a
// time from a single pack fill a square grid, and when it is full each row and column is scored
// as a hand. Optional reserve piles hold a card for later at 3 points each.
#pragma once

#include <array>
#include <cstdint>

#include "games/models/model_parts.h"

// Places: 0 the stock, 1 the current card, 2 + k reserve pile k, 5 + i grid cell i (row by row).
// Placing the current card in a cell is a kMove from place 1, made by clicking the cell; a card
// going onto a reserve pile, or from a reserve pile into a cell, is a kMove made by dragging it.
// A reserve card dropped back onto its own pile pays the reserve price again, as every drop on a
// reserve does. A grid game is never won by its position: the points at its end are measured
// against the high-score table.

template <int Side>
struct GridHandPosition {
    static constexpr int kCells = Side * Side;
    static constexpr int kReservePiles = 3, kReserveSlots = 5;
    int32_t points = 0;
    int32_t reservePiles = 0;  // in play, 0..3
    int32_t cardsPerPile = 1;
    int32_t american = 1;      // Poker's scoring table: American, else English
    int32_t stockCount = 0;
    std::array<int32_t, kReservePiles> reserveCounts{};
    Card current;
    Card starter;  // Cribbage's starter, turned when the grid is full
    std::array<Card, kCells> grid{};
    std::array<std::array<Card, kReserveSlots>, kReservePiles> reserves{};
    std::array<Card, Card::kCardsPerPack> stock{};  // the last card is turned next
};

// Parts gives the game's part, and the model and the table see its names as their own:
//   using Rules;  // int32_t reservePiles, cardsPerPile, and where the rules choose a scoring
//       table, english (1 for the English table, else the American one)
//   static constexpr int kSide;  // cells per row and per column
//   static constexpr bool kStarter;  // a full grid turns a starter and the hands score with it;
//       the undo record keeps the starter, else the hand scores (each 0..kMaxHandScore)
//   static bool Accepts(const std::array<Card, kSide * kSide>& grid, int cell);  // may a card go there
//   static int Score(const GridHandPosition<kSide>&, const std::array<Card, kSide>& line);  // a full line's
template <typename Parts>
struct GridHandModel : Parts {
    static constexpr int kSide = Parts::kSide;
    using Position = GridHandPosition<kSide>;
    using Rules = typename Parts::Rules;
    static constexpr int kCells = Position::kCells;
    static constexpr int kStockPlace = 0, kCurrentPlace = 1, kReservePlace = 2, kCellPlace = 5, kPlaces = kCellPlace + kCells;
    static constexpr int kReserveCost = 3;

    static bool GridFull(const Position& position) {
        for (Card card : position.grid)
            if (!card.IsValid()) return false;
        return true;
    }
    // The next stock card, or no card.
    static Card Deal(Position& position) { return play_position::Pop(position.stock, position.stockCount); }
    // One pack, its first card turned as the current card; the rule values travel in the position.
    static Position Deal(Deck& deck, const Rules& rules, DealShow<Position>* show = nullptr) {
        play_position::ShufflePack(deck);
        Position position;
        position.reservePiles = rules.reservePiles;
        position.cardsPerPile = rules.cardsPerPile;
        if constexpr (requires { rules.english; }) position.american = !rules.english;
        position.current = deck.DealNext();
        position.stockCount = play_position::CopyStock(deck, position.stock);
        if (show) show->Shown(position);
        return position;
    }
    // Each row (first) and each column of a full grid scored as a hand.
    static std::array<int32_t, 2 * kSide> ScoreLines(const Position& position) {
        std::array<int32_t, 2 * kSide> scores{};
        for (int line = 0; line < 2 * kSide; ++line) {
            std::array<Card, kSide> cards;
            for (int i = 0; i < kSide; ++i)
                cards[i] = position.grid[line < kSide ? line * kSide + i : i * kSide + line - kSide];
            scores[line] = Parts::Score(position, cards);
        }
        return scores;
    }

    // From the current card, then from each reserve pile in play that holds one: into each cell
    // that takes it, then onto each reserve pile with room.
    static void Moves(const Position& position, MoveList& out) {
        out.clear();
        if (GridFull(position)) return;
        auto add = [&out](int from, int to) {
            out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(from), .to = static_cast<int8_t>(to)});
        };
        for (int from = kCurrentPlace; from < kCellPlace; ++from) {
            const int pile = from - kReservePlace;
            if (pile < 0 ? !position.current.IsValid() : pile >= position.reservePiles || !position.reserveCounts[pile])
                continue;
            for (int cell = 0; cell < kCells; ++cell)
                if (Parts::Accepts(position.grid, cell)) add(from, kCellPlace + cell);
            for (int k = 0; k < position.reservePiles; ++k)
                if (position.reserveCounts[k] - (k == pile) < position.cardsPerPile) add(from, kReservePlace + k);
        }
    }

    static int Apply(Position& position, const PlayMove& move) {
        if (move.kind != PlayMove::kMove) return 0;
        Card card = position.current;
        if (move.from == kCurrentPlace) position.current = Card();
        else card = play_position::Pop(position.reserves[move.from - kReservePlace], position.reserveCounts[move.from - kReservePlace]);
        int scored = 0;
        if (move.to >= kCellPlace) {
            position.grid[move.to - kCellPlace] = card;
        } else {
            play_position::Push(position.reserves[move.to - kReservePlace], position.reserveCounts[move.to - kReservePlace], card);
            scored -= kReserveCost;
        }
        // The next card is turned once the current one is placed; a full grid is scored, with the
        // starter it turns where the game has one (none is left: nothing is scored).
        if (GridFull(position)) {
            if constexpr (Parts::kStarter) position.starter = Deal(position);
            if (!Parts::kStarter || position.starter.IsValid())
                for (int32_t hand : ScoreLines(position)) scored += hand;
        } else if (!position.current.IsValid()) {
            position.current = Deal(position);
        }
        position.points += scored;
        return scored;
    }
    static bool Won(const Position&) { return false; }
    // The grid is full.
    static bool Over(const Position& position) { return GridFull(position); }
    // A grid game keeps every card.
    static void Cards(const Position& position, CardTally& out) {
        out.AddRun(position.stock, position.stockCount);
        out.Add(position.current);
        out.Add(position.starter);
        for (Card card : position.grid) out.Add(card);
        for (int k = 0; k < Position::kReservePiles; ++k) out.AddRun(position.reserves[k], position.reserveCounts[k]);
    }
    // Everything but the points, so positions reached by different paths meet in a search.
    static void Encode(const Position& position, PositionCode& out) {
        auto card = [&out](Card c) { play_position::EncodeCard(out, c); };
        out.bytes.clear();
        out.Byte(static_cast<uint8_t>(position.reservePiles));
        out.Byte(static_cast<uint8_t>(position.cardsPerPile));
        out.Byte(static_cast<uint8_t>(position.american));
        card(position.current);
        card(position.starter);
        for (Card c : position.grid) card(c);
        play_position::EncodePiles(out, position.reserves, position.reserveCounts);
        play_position::EncodePile(out, position.stock, position.stockCount);
    }
};
