// Monte Carlo's close-up rules, the end of the stock, and its damaged undo records.
#include "games/monte_carlo.h"
#include "tests/games/ruled_game_test.h"

namespace {

class MonteCarloTest : public RuledGameTest<MonteCarloGame> {
protected:
    void ClickCell(int cell) { Click(MonteCarloGame::CellX(cell) + 20, MonteCarloGame::CellY(cell) + 30); }
    static void SetGrid(MonteCarloGame& game, std::initializer_list<std::pair<int, Card>> cards) {
        game.position.grid.fill(Card());
        for (auto [cell, card] : cards) game.position.grid[cell] = card;
        game.CheckGameOver();
    }
};

TEST_F(MonteCarloTest, ThreeRowsAndAnEmptyStockEndTheGame) {
    SetRule("Rows", 3);
    MonteCarloGame& game = Start<MonteCarloGame>();
    EXPECT_EQ(game.deck.Remaining(), 37);
    EXPECT_FALSE(game.position.grid[15].IsValid());
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.5 * 1.35);

    while (game.deck.DealNext().IsValid()) {
    }
    SetGrid(game, {{0, Card(0, 4)}, {10, Card(1, 4)}, {7, Card(2, 9)}});
    EXPECT_FALSE(game.gameOver) << "a blocked grid waits for the player without Auto Game Over";
    userPreferences.AutoGameOver = 1;
    EXPECT_TRUE(game.CheckGameOver());
    EXPECT_FALSE(game.IsWon());

    game.gameOver = false;
    userPreferences.AutoGameOver = 0;
    SetGrid(game, {{0, Card(0, 4)}, {5, Card(1, 4)}});
    ClickCell(0);
    ClickCell(5);
    EXPECT_TRUE(game.gameOver) << "a cleared grid ends the game even without Auto Game Over";
    EXPECT_TRUE(game.IsWon());
}

TEST_F(MonteCarloTest, UndoRecordRefusesCardsOutsideTheRows) {
    SetRule("Rows", 4);
    EXPECT_FALSE(RestoresDamagedRecord(Start<MonteCarloGame>(), [](auto grid) {
        std::copy_n(grid, 8, grid + 20 * 8);
        std::fill_n(grid, 8, 0xFF);
    })) << "the fifth row is not in play";
}

// ---- The model of play ----

TEST(MonteCarloModelTest, ThePairsLeftDecideWhenTheGridClosesUp) {
    MonteCarloModel::Position position;
    position.rows = 3;
    position.grid[0] = Card(0, 4);
    position.grid[6] = Card(1, 4);  // diagonal to cell 0
    position.grid[2] = Card(0, 7);
    position.grid[3] = Card(1, 7);
    position.grid[14] = Card(2, 9);
    position.stockCount = 1;
    position.stock[0] = Card(3, 9);
    MoveList moves;
    MonteCarloModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 2u);
    MonteCarloModel::Apply(position, moves[0]);
    EXPECT_FALSE(position.grid[0].IsValid()) << "a pair is left: no closing up yet";
    MonteCarloModel::Apply(position, moves[1]);
    EXPECT_EQ(position.grid[0], Card(2, 9));
    EXPECT_EQ(position.grid[1], Card(3, 9)) << "the stock fills the gaps after the cards";
    EXPECT_EQ(position.points, 10);
    MonteCarloModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 1u);
    MonteCarloModel::Apply(position, moves[0]);
    EXPECT_TRUE(MonteCarloModel::Won(position));
}

}  // namespace
