// The search core on bare reachability: a position is a node of a large random graph full of
// cycles, a move follows one of its edges, and the only won position is a target node one edge
// may lead to. The graph is too large for one attempt, so "lost" rests on losses proved in earlier
// attempts (groups of nodes leading round into each other included): it must agree with a plain
// breadth-first search.
#include <gtest/gtest.h>

#include <queue>
#include <vector>

#include "solver/solver.h"

namespace {

struct Graph {
    static constexpr uint32_t kNodes = 40000, kEdges = 3, kTarget = kNodes;
    struct Position {
        uint32_t node = 0, seed = 0;
    };
    static uint32_t Mix(uint64_t x) {
        x = (x ^ x >> 30) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ x >> 27) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>(x ^ x >> 31);
    }
    // Odd seeds give one node an edge to the target.
    static int Edges(const Position& p) { return p.seed % 2 && p.node == Mix(p.seed) % kNodes ? kEdges + 1 : kEdges; }
    static uint32_t Next(const Position& p, int edge) {
        return edge == kEdges ? kTarget : Mix(uint64_t{p.node * kEdges + edge} << 32 | p.seed) % kNodes;
    }
    static void Moves(const Position& p, MoveList& out) {
        out.clear();
        for (int edge = 0; p.node != kTarget && edge < Edges(p); ++edge) out.push_back({PlayMove::kSelect, 0, static_cast<int8_t>(edge)});
    }
    static int Apply(Position& p, const PlayMove& move) { return p.node = Next(p, move.index), 0; }
    static bool Won(const Position& p) { return p.node == kTarget; }
    static bool Over(const Position&) { return false; }
    static void Encode(const Position& p, PositionCode& code) { code.bytes.assign(reinterpret_cast<const char*>(&p), sizeof p); }
};

bool Reachable(const Graph::Position& start) {
    std::vector<bool> met(Graph::kNodes + 1);
    std::queue<uint32_t> queue({start.node});
    for (; !queue.empty(); queue.pop()) {
        const Graph::Position p{queue.front(), start.seed};
        if (Graph::Won(p)) return true;
        for (int edge = 0; edge < Graph::Edges(p); ++edge)
            if (const uint32_t next = Graph::Next(p, edge); !met[next]) met[next] = true, queue.push(next);
    }
    return false;
}

TEST(SearchCore, AnswersAgreeWithReachabilityOverManyAttempts) {
    const PlayModelOps ops = MakePlayModelOps<Graph>();
    int won = 0, decidedInSmallTable = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const Graph::Position start{seed * 977 % Graph::kNodes, seed};
        const SolveResult result = Solve(ops, &start, {.nodes = 2'000'000, .seconds = 1e6}, MoveScoreFor(0));
        ASSERT_NE(result.outcome, SolveOutcome::kUnknown) << "seed " << seed;
        EXPECT_EQ(result.outcome == SolveOutcome::kWon, Reachable(start)) << "seed " << seed;
        won += result.outcome == SolveOutcome::kWon;
        // A table too small for the whole graph fills with what earlier attempts met, and is
        // cleared of it as it goes: the answer may be unknown, never wrong.
        const SolveResult small =
            Solve(ops, &start, {.nodes = 2'000'000, .memoryBytes = size_t{1} << 19, .seconds = 1e6}, MoveScoreFor(0));
        if (small.outcome != SolveOutcome::kUnknown) {
            EXPECT_EQ(small.outcome, result.outcome) << "seed " << seed;
            ++decidedInSmallTable;
        }
    }
    EXPECT_GT(won, 0);
    EXPECT_LT(won, 12);
    EXPECT_GT(decidedInSmallTable, 0);
}

}  // namespace
