// The search codes of Klondike, Canfield, Agnes, Calculation, Spider and Four Seasons leave out what
// cannot differ within one search (where the stock's and the waste's cards lie, the reserve's cards,
// which of two like piles or foundations holds what, in Calculation the suits): two positions
// reached by play from the same deal with the same code must be the same position up to exactly
// that, and a position put in that order must keep its code. A direct hash must agree.
#include <algorithm>
#include <map>
#include <cstring>
#include <random>

#include "games/agnes.h"
#include "games/calculation.h"
#include "games/canfield.h"
#include "games/four_seasons.h"
#include "games/klondike.h"
#include "games/game_registry.h"
#include "games/spider.h"
#include "solver/solver.h"
#include "tests/framework/game_fixture.h"

namespace {

// Sorts places of one kind by their cards (the search treats them alike), keeping each place's
// count and face-down count with it.
template <typename Piles, typename Counts>
void SortPiles(Piles& piles, Counts& counts, Counts* faceDown = nullptr) {
    std::vector<size_t> order(piles.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto key = [&](size_t i) {
        std::vector<int> cards{faceDown ? (*faceDown)[i] : 0, counts[i]};
        for (int k = 0; k < counts[i]; ++k) cards.push_back(piles[i][static_cast<size_t>(k)].Index());
        return cards;
    };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return key(a) < key(b); });
    const Piles oldPiles = piles;
    const Counts oldCounts = counts;
    const Counts oldFaceDown = faceDown ? *faceDown : counts;
    for (size_t i = 0; i < order.size(); ++i) {
        piles[i] = oldPiles[order[i]];
        counts[i] = oldCounts[order[i]];
        if (faceDown) (*faceDown)[i] = oldFaceDown[order[i]];
    }
}

template <typename Tops>
void SortTops(Tops& tops) {
    std::sort(tops.begin(), tops.end(), [](Card a, Card b) { return (a.IsValid() ? a.Index() : 99) < (b.IsValid() ? b.Index() : 99); });
}

class SearchCodes : public GameTest {
protected:
    template <typename Position>
    Position Deal(int gameNumber, unsigned seed) {
        const std::string bytes = DealSeeded(gameNumber, seed).PositionBytes();
        Position p;
        std::memcpy(&p, bytes.data(), sizeof p);
        return p;
    }

    // Random play from `start`, many times over: every two positions met with the same search code
    // must agree once `normal` has put them in the order the code ignores, and the order `normal`
    // gives keeps the code and the hash. Some codes must repeat between different positions (else
    // nothing was checked). A game's direct hash must give equal codes one value and different
    // codes different ones, also when hashed from the parent's piles for every move offered.
    // (Klondike's code keeps where the stock's and the waste's cards lie, in an order of its own:
    // it is checked only for the order of the piles and foundations, without `full`.)
    template <typename Position, typename Normal>
    void CodesTellApart(int gameNumber, const Position& start, Normal normal, bool full = true) {
        const PlayModelOps& ops = *FindGame(gameNumber)->model;
        const PositionEncoder encode = SearchCodeFor(MoveScoreFor(gameNumber));
        ASSERT_NE(encode, nullptr);
        std::mt19937 random(7);
        const PositionHasher hash = SearchHashFor(MoveScoreFor(gameNumber));
        const PileHasher pileHash = SearchPileHashFor(MoveScoreFor(gameNumber));
        std::map<std::string, std::string> seen;
        std::map<std::string, uint64_t> hashes;
        int met = 0;
        for (int walk = 0; walk < 150; ++walk) {
            Position p = start;
            for (int step = 0; step < 150; ++step) {
                SCOPED_TRACE("walk " + std::to_string(walk) + ", step " + std::to_string(step));
                PositionCode code, whole, normalCode;
                encode(&p, code);
                Position q = p;
                normal(q);
                ops.encode(&q, whole);
                encode(&q, normalCode);
                ASSERT_EQ(normalCode.bytes, code.bytes);
                if (hash) {
                    ASSERT_EQ(hash(&q), hash(&p));
                    const auto [known, fresh] = hashes.emplace(code.bytes, hash(&p));
                    ASSERT_EQ(known->second, hash(&p));
                }
                const auto [at, fresh] = seen.emplace(code.bytes, whole.bytes);
                if (!fresh) {
                    if (full) {
                        ASSERT_EQ(at->second, whole.bytes);
                    }
                    met += step > 0;
                }
                MoveList moves;
                ops.moves(&p, moves);
                if (moves.empty()) break;
                std::array<uint64_t, kMaxPileHashes> piles;
                if (pileHash.child) pileHash.piles(&p, piles.data());
                for (const PlayMove& move : moves) {
                    Position child = p;
                    ops.apply(&child, move);
                    if (pileHash.child) {
                        ASSERT_EQ(pileHash.child(&p, piles.data(), &child), hash(&child));
                    }
                }
                ops.apply(&p, moves[random() % moves.size()]);
            }
        }
        EXPECT_GT(met, 100);
        std::vector<uint64_t> values;
        for (const auto& [bytes, value] : hashes) values.push_back(value);
        std::sort(values.begin(), values.end());
        EXPECT_EQ(std::unique(values.begin(), values.end()), values.end());
    }
};

// Each pass of the stock rule, and more than one card turned at a time. Klondike's search has a
// direct hash and pile hashes.
TEST_F(SearchCodes, StockGamesToldByTheSizeOfStockAndWaste) {
    ASSERT_TRUE(SearchHashFor(MoveScoreFor(KlondikeGame::kGameNumber)) && SearchPileHashFor(MoveScoreFor(KlondikeGame::kGameNumber)).child);
    for (const auto& [cardsDealt, recycles] : {std::pair{1, 0}, {3, 2}, {2, kUnlimitedRecycles}, {1, kUnlimitedRecycles}})
        for (unsigned seed : {1u, 2u}) {
            SCOPED_TRACE(std::to_string(cardsDealt) + " dealt, " + std::to_string(recycles) + " recycles, deal " + std::to_string(seed));
            auto canfield = Deal<CanfieldModel::Position>(CanfieldGame::kGameNumber, seed);
            canfield.cardsDealt = cardsDealt;
            canfield.recycles = recycles;
            CodesTellApart(CanfieldGame::kGameNumber, canfield, [](CanfieldModel::Position& q) {
                SortPiles(q.tableau, q.pileCount);
                SortTops(q.foundations);
                q.recyclesUsed = 0;  // the search keeps the turns left beside the code
            });
            auto klondike = Deal<KlondikeModel::Position>(KlondikeGame::kGameNumber, seed);
            klondike.rules.cardsDealt = cardsDealt;
            klondike.rules.recycles = recycles;
            CodesTellApart(KlondikeGame::kGameNumber, klondike, [](KlondikeModel::Position& q) {
                SortPiles(q.tableau, q.pileCount, &q.faceDownCount);
                SortTops(q.foundations);
            }, false);
        }
}

// Spider's columns are alike only once the stock is out: until then it deals to them in turn.
TEST_F(SearchCodes, BuildingGamesMeetOnlyTheirLikes) {
    CodesTellApart(FourSeasonsGame::kGameNumber, Deal<FourSeasonsModel::Position>(FourSeasonsGame::kGameNumber, 1),
                   [](FourSeasonsModel::Position& q) {
                       SortPiles(q.piles, q.pileCount);
                       SortTops(q.foundations);
                       q.recyclesUsed = 0;
                   });
    CodesTellApart(SpiderGame::kGameNumber, Deal<SpiderModel::Position>(SpiderGame::kGameNumber, 1), [](SpiderModel::Position& q) {
        if (q.stock.count == 0) SortPiles(q.tableau, q.pileCount, &q.faceDownCount);
        SortTops(q.foundations);
        q.points = 0;
    });
    CodesTellApart(AgnesGame::kGameNumber, Deal<AgnesModel::Position>(AgnesGame::kGameNumber, 1), [](AgnesModel::Position& q) {
        SortPiles(q.tableau, q.pileCount, &q.faceDownCount);
        SortTops(q.foundations);
    });
    CodesTellApart(CalculationGame::kGameNumber, Deal<CalculationModel::Position>(CalculationGame::kGameNumber, 1),
                   [](CalculationModel::Position& q) {
                       const auto rankOnly = [](Card& card) {
                           if (card.IsValid()) card = Card(0, card.Rank());
                       };
                       rankOnly(q.current);
                       for (Card& card : q.foundationTops) rankOnly(card);
                       for (Card& card : q.stock) rankOnly(card);
                       for (auto& pile : q.waste)
                           for (Card& card : pile) rankOnly(card);
                       SortPiles(q.waste, q.wasteCounts);
                       q.points = 0;
                   });
}

}  // namespace
