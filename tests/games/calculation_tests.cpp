// Calculation: the starting choices, the stepped foundations, and the model's moves.

#include "games/calculation.h"
#include "tests/framework/game_fixture.h"

namespace {

using Calc = CalculationGame;

TEST(CalculationTest, StartingChoicesGiveTheirRanksAndTheFoundationsStepRoundTheCycle) {
    for (const auto& [choice, ranks] : {std::pair{12, std::array{12, 0, 1, 2}}, {3, {3, 8, 0, 5}}, {7, {7, 3, 12, 8}},
                                        {11, {Card::kKing, Card::kKing, Card::kKing, Card::kKing}}})
        for (int k = 0; k < 4; ++k) EXPECT_EQ(Calc::Model::StartRank(choice, k), ranks[k]) << "choice " << choice << ", foundation " << k;

    // Foundation 3 from the Four steps by four, round the cycle.
    const int bySteps[] = {6, 10, 1, 5, 9, 0, 4, 8, 12, 3, 7, 11};  // 8, Q, 3, 7, J, 2, 6, 10, A, 5, 9, K
    int rank = 2;
    for (int expected : bySteps) {
        rank = Calc::Model::FollowingRank(rank, 3);
        EXPECT_EQ(rank, expected);
    }
}

// ---- The model of play ----

TEST(CalculationModelTest, OnlyTheCurrentCardGoesToAWastePileAndTheStockWaitsForIt) {
    CalculationModel::Position position;
    for (int f = 0; f < CalculationModel::kFoundations; ++f) {
        position.startRanks[f] = f;
        position.foundationCounts[f] = 1;
        position.foundationTops[f] = Card(f, f);
    }
    position.current = Card(0, 1);  // follows the Two on foundation 0
    position.wasteCounts[2] = 1;
    position.waste[2][0] = Card(1, 3);  // follows the Three on foundation 1 (step two)
    position.stockCount = 1;
    position.stock[0] = Card(2, 7);
    MoveList moves;
    CalculationModel::Moves(position, moves);
    // The current card to foundation 0 or any waste pile, the waste top to foundation 1; no stock.
    ASSERT_EQ(moves.size(), 6u);
    EXPECT_EQ(moves.front().to, CalculationModel::kFoundationPlace);
    EXPECT_EQ(moves.back(), (PlayMove{.kind = PlayMove::kMove, .from = CalculationModel::kWastePlace + 2,
                                      .to = CalculationModel::kFoundationPlace + 1}));
    EXPECT_EQ(CalculationModel::Apply(position, moves[1]), 0);
    EXPECT_EQ(position.wasteCounts[0], 1);
    CalculationModel::Moves(position, moves);
    EXPECT_EQ(moves.front().kind, PlayMove::kStock);
    CalculationModel::Apply(position, moves.front());
    EXPECT_EQ(position.current, Card(2, 7));
    EXPECT_FALSE(CalculationModel::Over(position)) << "a waste top still fits";
}

}  // namespace
