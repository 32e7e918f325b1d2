// The rules of a game as a model of play: a position and pure functions over it. Every game has
// one, declared beside its on-screen class in the game's own files (or in the shared base of a
// family of games), shaped like this:
//
//   struct XModel {
//       struct Position { ... };     // every card's place and face, the counters, the rule
//                                    // values in force and the running points; trivially
//                                    // copyable, no pointers, no globals
//       static void Moves(const Position&, MoveList&);        // every move a player could make
//       static int Apply(Position&, const PlayMove&);         // plays one of them; the points
//       static bool Won(const Position&);
//       static bool Over(const Position&);   // nothing useful is left (the game's own test)
//       static void Encode(const Position&, PositionCode&);   // canonical: equal positions,
//                                                             // equal codes
//       static void Cards(const Position&, CardTally&);       // every card it names
//   };
//
// The on-screen game keeps drawing, animation, sounds, undo records, menus and the mouse path,
// and asks its model every rule question. Tools (the autoplayer, the census, the undo fuzzer,
// and a solver) work on models through PlayModelOps without a screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "cards/card.h"

// One move in a game's own terms. Places are numbered by each game (its model header says how).
struct PlayMove {
    enum Kind : uint8_t {
        kStock,   // press the stock: deal from it, or turn the waste over
        kMove,    // pick up `count` cards at `index` of place `from` and put them on place `to`
        kSelect,  // press a card (pairing games select and remove with single presses)
        kFlip,    // turn the face-down top card of place `from`
        kDeal,    // the game's own redeal or gather command
    };
    Kind kind = kStock;
    int8_t from = -1;
    int8_t index = 0;
    int8_t to = -1;
    int8_t count = 1;
    bool operator==(const PlayMove&) const = default;
};

using MoveList = std::vector<PlayMove>;

// A canonical byte encoding of a position, and a 64-bit hash of it for search tables.
struct PositionCode {
    std::string bytes;
    void Byte(uint8_t value) { bytes.push_back(static_cast<char>(value)); }
    uint64_t Hash() const {
        uint64_t hash = 1469598103934665603ull;  // FNV-1a
        for (char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
        return hash;
    }
};

// The cards a position names, for the census that checks no card is ever lost or doubled.
struct CardTally {
    std::vector<Card> cards;  // every card named; a no-card value here is a fault the census reports
    int unnamed = 0;          // cards the position only counts (covered, or out of play)
    int packs = 1;            // two-pack games hold two copies of every card

    void Add(Card card) {
        if (card.IsValid()) cards.push_back(card);
    }
    // The first `count` cards of a pile, every one of them a card.
    template <typename Cards>
    void AddRun(const Cards& run, int count) {
        for (int i = 0; i < count && i < static_cast<int>(run.size()); ++i) cards.push_back(run[i]);
    }
    // A foundation built in suit holds every card of its top's suit from the starting rank up to
    // the top; a top the climb never reaches adds a no-card value.
    void AddClimb(Card top, int startRank, int (*next)(int rank)) {
        if (!top.IsValid()) return;
        for (int step = 0, rank = startRank; step < Card::kRankCount; ++step, rank = next(rank)) {
            cards.emplace_back(top.Suit(), rank);
            if (rank == top.Rank()) return;
        }
        cards.push_back(Card());
    }
    // For games that keep no record of the cards they drop: what is not named is unnamed.
    void RestUnnamed() { unnamed = Card::kCardsPerPack * packs - static_cast<int>(cards.size()); }
};

// A model seen through plain functions over an opaque position, so code that does not know the
// game (the registry's tools, a solver) can copy, search and replay it.
struct PlayModelOps {
    size_t positionSize = 0;
    void (*moves)(const void* position, MoveList& out) = nullptr;
    int (*apply)(void* position, const PlayMove& move) = nullptr;
    bool (*won)(const void* position) = nullptr;
    bool (*over)(const void* position) = nullptr;
    void (*encode)(const void* position, PositionCode& out) = nullptr;
    void (*cards)(const void* position, CardTally& out) = nullptr;  // null for a model without Cards
    // Cards lying face down outside the stock; null for a model that has none.
    int (*faceDown)(const void* position) = nullptr;
};

template <typename Model>
constexpr PlayModelOps MakePlayModelOps() {
    using Position = typename Model::Position;
    static_assert(std::is_trivially_copyable_v<Position>, "a position is copied as bytes");
    PlayModelOps ops;
    ops.positionSize = sizeof(Position);
    ops.moves = [](const void* p, MoveList& out) { Model::Moves(*static_cast<const Position*>(p), out); };
    ops.apply = [](void* p, const PlayMove& move) { return Model::Apply(*static_cast<Position*>(p), move); };
    ops.won = [](const void* p) { return Model::Won(*static_cast<const Position*>(p)); };
    ops.over = [](const void* p) { return Model::Over(*static_cast<const Position*>(p)); };
    ops.encode = [](const void* p, PositionCode& out) { Model::Encode(*static_cast<const Position*>(p), out); };
    if constexpr (requires(const Position& p, CardTally& t) { Model::Cards(p, t); })
        ops.cards = [](const void* p, CardTally& out) { Model::Cards(*static_cast<const Position*>(p), out); };
    if constexpr (requires(const Position& p) { Model::FaceDown(p); })
        ops.faceDown = [](const void* p) { return Model::FaceDown(*static_cast<const Position*>(p)); };
    return ops;
}

// How the mouse makes a move on the table: a click (press and release at one point), a double
// click, a drag from one point to another, or two clicks (select, then select the partner).
// Logical table coordinates.
struct MoveGesture {
    enum Kind : uint8_t { kClick, kDoubleClick, kDrag, kTwoClicks };
    Kind kind = kClick;
    int fromX = 0, fromY = 0, toX = 0, toY = 0;
};
