// Klondike's search pieces on positions reached by random play, under several stock rules: the
// direct hash must tell positions apart exactly as the search code does, piles and foundations in
// any order, and hashed from the parent's pile hashes must give the same value. The merged hash of
// complete attempts may join a position only with one a move of cards onto a twin host away.
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
    const PositionMerge merge = SearchMergeFor(score);
    ASSERT_TRUE(encode && hash && pileHash.child && merge.applies && merge.merged);
    const auto codeOf = [&](const Model::Position& p) {
        PositionCode code;
        encode(&p, code);
        return code.bytes;
    };
    std::mt19937 random(7);
    std::map<std::string, uint64_t> hashes;
    int merged = 0;
    for (int game = 0; game < 40; ++game) {
        Model::Position p = Deal(random);
        p.rules.cardsDealt = 1 + game % 3;
        if (game % 2) p.rules.recycles = KlondikeRules::kUnlimitedRecycles;
        p.rules.movePartial = game % 4 >= 2;
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
            if (!merge.applies(&p)) {
                ASSERT_EQ(merge.merged(&p), hash(&p));
            }
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
                // Joined with its parent only by moving cards off a face-up card onto its twin.
                const int from = move.from - Model::kFirstPile, to = move.to - Model::kFirstPile;
                bool twinMove = false;
                if (move.kind == PlayMove::kMove && from >= 0 && to >= 0 && p.pileCount[to] > 0 && move.index > p.faceDownCount[from]) {
                    const Card host = p.tableau[from][move.index - 1];
                    twinMove = p.tableau[to][p.pileCount[to] - 1] == Card(host.Suit() ^ 2, host.Rank());
                }
                if (hash(&p) != hash(&child) && merge.merged(&p) == merge.merged(&child)) {
                    ASSERT_TRUE(twinMove) << "step " << step;
                    ++merged;
                }
            }
            Model::Apply(p, moves[random() % moves.size()]);
        }
    }
    std::vector<uint64_t> distinct;
    for (const auto& [code, value] : hashes) distinct.push_back(value);
    std::sort(distinct.begin(), distinct.end());
    EXPECT_EQ(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_GT(hashes.size(), 500u);
    EXPECT_GT(merged, 20);
}

// A Seven on one red Eight, the other red Eight bare: the two positions the Seven's move across
// joins hash alike while the game goes on at both, and apart once the game ends at one of them
// (its own test does not count that move).
TEST(KlondikeSearch, TheMergeKeepsApartWhatTheGameEnds) {
    const MoveScore score = MoveScoreFor(KlondikeGame::kGameNumber);
    const PositionHasher hash = SearchHashFor(score);
    const PositionMerge merge = SearchMergeFor(score);
    Model::Position p;
    p.startRank = 2;  // Four
    p.foundations = {Card(0, 3), Card(1, 5), Card(2, 3), Card(3, 4)};
    const auto put = [&p](int pile, std::initializer_list<Card> cards) {
        for (Card card : cards) p.tableau[pile][p.pileCount[pile]++] = card;
    };
    put(0, {Card(0, 4), Card(3, 5), Card(1, 6), Card(0, 5)});
    p.faceDownCount[0] = 2;
    put(1, {Card(3, 6)});
    put(2, {Card(2, 5)});
    put(3, {Card(2, 4)});
    Model::Position q = p;  // the Seven moved onto the other Eight
    q.tableau[1][q.pileCount[1]++] = q.tableau[0][--q.pileCount[0]];
    EXPECT_EQ(merge.merged(&q), hash(&p));
    EXPECT_EQ(merge.merged(&p), hash(&p));
    // The Six and Seven of the third suit home: nothing but the Seven's move is left at p.
    for (Model::Position* position : {&p, &q}) {
        position->foundations[2] = Card(2, 5);
        position->pileCount[2] = position->pileCount[3] = 0;
    }
    ASSERT_TRUE(Model::Over(p));
    ASSERT_FALSE(Model::Over(q));
    EXPECT_EQ(merge.merged(&q), hash(&q));
    EXPECT_NE(hash(&q), hash(&p));
}

}  // namespace
