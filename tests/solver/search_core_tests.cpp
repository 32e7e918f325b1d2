// The search core on a bare reachability problem: a position is a node of a large random graph
// full of cycles, each move follows one of its edges, and the only won position is a target node
// that one edge may lead to. The graph is too large for one attempt, so "lost" answers rest on
// the losses proved in earlier attempts, groups of nodes that lead round into each other
// included; they must agree with a plain breadth-first search.
#include <gtest/gtest.h>

#include <cstring>
#include <queue>
#include <vector>

#include "solver/solver.h"

namespace {

struct Graph {
    static constexpr uint32_t kNodes = 40000, kEdges = 3, kTarget = kNodes;
    struct Position {
        uint32_t node = 0, seed = 0;
    };
    static uint32_t Mix(uint32_t a, uint32_t b) {
        uint64_t x = (uint64_t{a} << 32 | b) + 0x9E3779B97F4A7C15ull;
        x = (x ^ x >> 30) * 0xBF58476D1CE4E5B9ull;
        x = (x ^ x >> 27) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>(x ^ x >> 31);
    }
    // The node that one edge leads to; the seed's odd values add an edge to the target.
    static uint32_t Next(const Position& p, int edge) {
        if (edge == kEdges) return kTarget;
        return Mix(p.node * kEdges + static_cast<uint32_t>(edge), p.seed) % kNodes;
    }
    static int EdgeCount(const Position& p) {
        return p.node == Mix(p.seed, 7) % kNodes && p.seed % 2 ? kEdges + 1 : kEdges;
    }
    static void Moves(const Position& p, MoveList& out) {
        out.clear();
        if (p.node == kTarget) return;
        for (int edge = 0; edge < EdgeCount(p); ++edge) out.push_back({PlayMove::kSelect, 0, static_cast<int8_t>(edge)});
    }
    static int Apply(Position& p, const PlayMove& move) {
        p.node = Next(p, move.index);
        return 0;
    }
    static bool Won(const Position& p) { return p.node == kTarget; }
    static bool Over(const Position&) { return false; }
    static void Encode(const Position& p, PositionCode& code) {
        code.bytes.assign(reinterpret_cast<const char*>(&p), sizeof p);
    }
};

bool Reachable(Graph::Position start) {
    std::vector<bool> met(Graph::kNodes + 1);
    std::queue<uint32_t> queue;
    queue.push(start.node);
    met[start.node] = true;
    while (!queue.empty()) {
        Graph::Position p{queue.front(), start.seed};
        queue.pop();
        if (p.node == Graph::kTarget) return true;
        for (int edge = 0; edge < Graph::EdgeCount(p); ++edge)
            if (const uint32_t next = Graph::Next(p, edge); !met[next]) met[next] = true, queue.push(next);
    }
    return false;
}

TEST(SearchCore, AnswersAgreeWithReachabilityOverManyAttempts) {
    const PlayModelOps ops = MakePlayModelOps<Graph>();
    int won = 0, lost = 0;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        const Graph::Position start{seed * 977 % Graph::kNodes, seed};
        const SolveResult result = Solve(ops, &start, {.nodes = 2'000'000, .seconds = 1e6}, MoveScoreFor(0));
        ASSERT_NE(result.outcome, SolveOutcome::kUnknown) << "seed " << seed;

        EXPECT_EQ(result.outcome == SolveOutcome::kWon, Reachable(start)) << "seed " << seed;
        (result.outcome == SolveOutcome::kWon ? won : lost)++;
        if (result.outcome != SolveOutcome::kWon) continue;
        Graph::Position replay = start;
        for (const PlayMove& move : result.moves) Graph::Apply(replay, move);
        EXPECT_TRUE(Graph::Won(replay)) << "seed " << seed;
    }
    EXPECT_GT(won, 0);
    EXPECT_GT(lost, 0);
}

}  // namespace
