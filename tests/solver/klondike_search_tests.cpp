// Klondike's search pieces on positions reached by random play, under several stock rules: the
// direct hash must tell positions apart exactly as the search code does, piles and foundations in
// any order, and hashed from the parent's pile hashes must give the same value.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "games/klondike.h"
#include "solver/solver.h"

namespace {

using Model = KlondikeModel;

Model::Position Deal(std::mt19937& random) {
    std::vector<Card> pack;
    for (int i = 0; i < Card::kCardsPerPack; ++i) pack.emplace_back(i / Card::kRankCount, i % Card::kRankCount);
    std::shuffle(pack.begin(), pack.end(), random);
    Model::Position p;
    size_t next = 0;
    for (int pile = 0; pile < Model::kPiles; ++pile) {
        for (int i = 0; i <= pile; ++i) p.tableau[pile][i] = pack[next++];
        p.pileCount[pile] = pile + 1;
        p.faceDownCount[pile] = pile;
    }
    while (next < pack.size()) p.stock.cards[p.stock.count++] = pack[next++];
    return p;
}

TEST(KlondikeSearch, DirectHashAgreesWithTheCode) {
    const MoveScore score = MoveScoreFor(KlondikeGame::kGameNumber);
    const PositionEncoder encode = SearchCodeFor(score);
    const PositionHasher hash = SearchHashFor(score);
    const PileHasher pileHash = SearchPileHashFor(score);
    ASSERT_TRUE(encode && hash && pileHash.child);
    const auto codeOf = [&](const Model::Position& p) {
        PositionCode code;
        encode(&p, code);
        return code.bytes;
    };
    std::mt19937 random(7);
    std::map<std::string, uint64_t> hashes;
    for (int game = 0; game < 20; ++game) {
        Model::Position p = Deal(random);
        p.rules.cardsDealt = 1 + game % 3;
        if (game % 2) p.rules.recycles = KlondikeRules::kUnlimitedRecycles;
        for (int step = 0; step < 150; ++step) {
            // The same position with its piles and foundations in another order.
            Model::Position shuffled = p;
            std::array<int, Model::kPiles> order{0, 1, 2, 3, 4, 5, 6};
            std::shuffle(order.begin(), order.end(), random);
            for (int i = 0; i < Model::kPiles; ++i) {
                shuffled.tableau[i] = p.tableau[order[i]];
                shuffled.pileCount[i] = p.pileCount[order[i]];
                shuffled.faceDownCount[i] = p.faceDownCount[order[i]];
            }
            std::shuffle(shuffled.foundations.begin(), shuffled.foundations.end(), random);
            ASSERT_EQ(codeOf(shuffled), codeOf(p));
            ASSERT_EQ(hash(&shuffled), hash(&p));
            // Equal codes hash alike and different ones apart, over every position met.
            const auto [at, fresh] = hashes.emplace(codeOf(p), hash(&p));
            ASSERT_EQ(at->second, hash(&p));
            MoveList moves;
            Model::Moves(p, moves);
            if (moves.empty()) break;
            // Every child hashed from its parent's pile hashes, as the search does, hashes alike.
            std::array<uint64_t, kMaxPileHashes> piles;
            pileHash.piles(&p, piles.data());
            for (const PlayMove& move : moves) {
                Model::Position child = p;
                Model::Apply(child, move);
                ASSERT_EQ(pileHash.child(&p, piles.data(), &child), hash(&child)) << "step " << step;
            }
            Model::Apply(p, moves[random() % moves.size()]);
        }
    }
    std::vector<uint64_t> distinct;
    for (const auto& [code, value] : hashes) distinct.push_back(value);
    std::sort(distinct.begin(), distinct.end());
    EXPECT_EQ(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_GT(hashes.size(), 500u);
}

}  // namespace
