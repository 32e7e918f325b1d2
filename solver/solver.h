// A solver for every game, on the game's model of play only: a depth-first search over positions
// with a table of the positions already searched (by the hash of their canonical code), the moves
// of each position tried best first by the game's heuristic, and budgets of nodes, memory and
// time. Face-down cards are part of a model's position, so the solver plays as a player who knows
// them. Games decided mostly by finding wins also hunt them with beams (BeamGuide).
//
// The answer is won (with the moves from the start), lost (every reachable position was searched
// and none is won) or unknown (a budget ran out, or the search was cancelled). A position searched
// once and left without a win cannot be won from any other path either, so the table makes the
// search complete: "lost" is a proof, up to the (tiny) chance of two positions sharing a 64-bit
// hash.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/play_model.h"

enum class SolveOutcome { kWon, kLost, kUnknown };

const char* OutcomeName(SolveOutcome outcome);

struct SolveBudget {
    uint64_t nodes = 20'000'000;           // positions expanded
    size_t memoryBytes = size_t{256} << 20;  // the table of searched positions
    double seconds = 1.0;                  // wall-clock time
    // Count the searching thread's processor time instead of wall-clock time, so a measurement
    // on a busy machine gives each deal the same work as on an idle one.
    bool processorTime = false;
};

struct SolveResult {
    SolveOutcome outcome = SolveOutcome::kUnknown;
    MoveList moves;       // won: the moves from the given position to a won one
    // The line met that scored the most points (in these games, the cards sent home), and those
    // points: what a demonstration plays where no win was found.
    MoveList bestLine;
    int bestPoints = 0;
    uint64_t nodes = 0;   // positions expanded
    double seconds = 0;
    bool cancelled = false;
};

// How promising a move is, higher first: given the position before, the move, the points it
// scored and the position after (both as the model's Position bytes).
using MoveScore = int (*)(const void* before, const PlayMove& move, int points, const void* after);
// A score at least this high marks a move that can never be wrong (a card turned face up, a card
// no other card can still need put on its foundation): the search tries it and nothing else.
inline constexpr int kSafeMove = 1 << 24;
// A score at most this low marks a move after which the game can no longer be won (some card the
// win needs can never be played): the search drops it.
inline constexpr int kHopeless = -(1 << 24);
// The search runs hasty attempts, which hunt for a win only, between complete ones. A score at
// least kLikelySafe (below kSafeMove) marks a move that is almost never wrong: hasty attempts try
// it alone, complete ones first. A score at most kDoubtful (above kHopeless) marks a move that
// seldom helps but may: hasty attempts drop it, complete ones try it last.
inline constexpr int kLikelySafe = 1 << 20;
inline constexpr int kDoubtful = -(1 << 20);

// The move ordering of a game: a heuristic of its family where there is one, else a generic one
// (points scored, flips first, stock and redeal presses last).
MoveScore MoveScoreFor(int gameNumber);

// The code the search tells positions apart by, for the game whose move ordering is `score`:
// null for the model's own, else a coarser one that still gives equal codes only to positions
// with the same future (a game whose rules look at ranks only is coded by ranks).
using PositionEncoder = void (*)(const void* position, PositionCode& out);
PositionEncoder SearchCodeFor(MoveScore score);
// A game may hash its positions directly instead, which is cheaper than building the code and
// hashing that: positions with equal search codes must hash alike. Null: the code is hashed.
using PositionHasher = uint64_t (*)(const void* position);
PositionHasher SearchHashFor(MoveScore score);
// A direct hash may also come in two halves, so that a move's child reuses the hashes of the piles
// the move left alone: `piles` writes a position's pile hashes (at most kMaxPileHashes), `child`
// hashes a child of `parent` (presses of the stock, one move, the turn of a card it bares), given
// the parent's pile hashes, exactly as the direct hash does. Null where the game has none.
inline constexpr int kMaxPileHashes = 16;
struct PileHasher {
    void (*piles)(const void* position, uint64_t* out) = nullptr;
    uint64_t (*child)(const void* parent, const uint64_t* parentPiles, const void* position) = nullptr;
};
PileHasher SearchPileHashFor(MoveScore score);

// How widely the attempts after the first may shake the heuristic's order: each move's score
// gains a random amount below a bound that starts at kLightNoise (leaving the order nearly whole)
// and doubles each attempt up to this. Most games stay light; where a game's ordinary moves are
// told apart only roughly, the long late attempts reorder them freely and find more late wins.
inline constexpr int kLightNoise = 200;
int SearchNoiseFor(MoveScore score);

// The attempts' position limits: the first attempt's, and how many hundredths of its own limit
// each further attempt adds (100: doubling, 0: all alike). Doubling keeps the work the ended
// attempts throw away under half of the whole, which a game that proves its losses needs. A game
// decided by finding wins alone does better with many short attempts, each a fresh try of another
// order; its losses are then proved only where they settle within an attempt.
struct AttemptSizes {
    uint64_t first = 4000;
    int growth = 100;
};
AttemptSizes SearchAttemptsFor(MoveScore score);

// A game decided mostly by finding wins may also hunt them with beams (the best positions of each
// depth kept, a fixed number of them), which find wins a depth-first search misses: it gives how
// near a position is to a win (higher nearer), and the share of the budget searched depth-first
// first, which answers the quick wins and proves the losses that settle quickly. No value: no
// beams.
struct BeamGuide {
    int (*value)(const void* position) = nullptr;
    double depthFirstShare = 1.0;
};
BeamGuide SearchBeamFor(MoveScore score);

// The game's end as the search asks it: null for the model's own Over. A game whose Over is itself
// a search may give a cheaper test instead, true only where no play wins (a won line never passes
// through a position the game calls over); the search finds the rest itself.
using PositionTest = bool (*)(const void* position);
PositionTest SearchOverFor(MoveScore score);

// A game whose stock turns cards onto a waste whose top card alone is played: the search treats
// "press the stock k times, then play the waste's top card" as one move, so a whole pass through
// the stock is one level of the search and positions that only pressed the stock are never
// stored. A solution still lists the model's own moves (the presses, then the play).
struct StockMacro {
    int wastePlace = -1;                                // where waste moves start; -1: no macro
    int (*wasteCount)(const void* position) = nullptr;  // cards on the waste
    // How often the waste may still be turned over (7 or more: as good as unlimited), where the
    // game's search code leaves that out: a position met with as many turns left or more covers
    // it. Null where the code holds every counter.
    int (*turnsLeft)(const void* position) = nullptr;
    // The press of the stock and the waste card's moves alone, as the model's Moves would list
    // them (a cheaper call, made after every press); null: the model's Moves.
    void (*stockMoves)(const void* position, MoveList& out) = nullptr;
    // The place whose top card lies face down (-1: none), turned by the search as part of the
    // move that bared it; null where the game has no such cards.
    int (*faceDownTop)(const void* position) = nullptr;
};
// The stock macro of the game whose move ordering is `score` (wastePlace -1 where it has none).
StockMacro StockMacroFor(MoveScore score);

// The grid games are played for points: their models have no won position, so the solver has
// nothing to prove (a hint there is the heuristic's best move).
bool PlayedForPoints(int gameNumber);

// Searches from `position` (bytes of the model's Position). `cancel`, when given, stops the search
// within a few hundred nodes of being set.
SolveResult Solve(const PlayModelOps& ops, const void* position, const SolveBudget& budget, MoveScore score,
                  const std::atomic<bool>* cancel = nullptr);

// The moves of `position` in the heuristic's order, best first (what a hint shows when no
// solution was found in time).
MoveList OrderedMoves(const PlayModelOps& ops, const void* position, MoveScore score);

// A search on a worker thread over its own copy of the position. The owner polls Done() and
// reads Result() once it is; Cancel() (and the destructor) stop the search at once.
class SolverJob {
public:
    SolverJob(const PlayModelOps& ops, const void* position, const SolveBudget& budget, MoveScore score);
    ~SolverJob();
    SolverJob(const SolverJob&) = delete;
    SolverJob& operator=(const SolverJob&) = delete;

    bool Done() const { return done.load(std::memory_order_acquire); }
    void Cancel() { cancel.store(true, std::memory_order_relaxed); }
    // Blocks until the search has ended (replayable runs under a virtual clock).
    void Wait() {
        if (worker.joinable()) worker.join();
    }
    // Only once Done() is true.
    const SolveResult& Result() const { return result; }

private:
    std::vector<uint64_t> position;  // aligned storage for the copy
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    SolveResult result;
    std::thread worker;
};
