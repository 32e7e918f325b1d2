// Quadrille: the piles round the centre, the stock with its recycles, the game-over test's
// reachable cards, winning and undo.

#include "games/quadrille.h"
#include "tests/games/ruled_game_test.h"

namespace {

using Quad = QuadrilleGame;

class QuadrilleTest : public RuledGameTest<QuadrilleGame> {};

TEST_F(QuadrilleTest, EmptyPilesTakeOnlyTheirOwnFiveOrSix) {
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(QuadrilleModel::NextCard(k, Card()), Card(QuadrilleModel::kPileSuit[k], 3));
        EXPECT_EQ(QuadrilleModel::NextCard(4 + k, Card()), Card(QuadrilleModel::kPileSuit[k], 4));
    }
    SetRule("CardsDealt", 3);
    Quad& game = Start<Quad>();
    ClickStock();
    EXPECT_EQ(game.position.wasteCount, 3);
    EXPECT_EQ(game.position.dealtThisTurn, 3);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.2);
}

TEST_F(QuadrilleTest, KingsFollowAcesAndQueensGoOnlyToTheCentre) {
    EXPECT_EQ(QuadrilleModel::NextCard(0, Card(3, Card::kAce)), Card(3, Card::kKing));
    EXPECT_EQ(QuadrilleModel::NextCard(0, Card(3, 1)), Card(3, 0));
    EXPECT_FALSE(QuadrilleModel::NextCard(0, Card(3, Card::kKing)).IsValid()) << "a complete down pile";
    EXPECT_EQ(QuadrilleModel::NextCard(4, Card(3, Card::kTen)), Card(3, Card::kJack));
    EXPECT_FALSE(QuadrilleModel::NextCard(4, Card(3, Card::kJack)).IsValid()) << "a complete up pile";

    // A Queen goes only to the centre. (The moves' points and sounds at the default rules are in
    // the golden traces.)
    Quad& game = Start<Quad>();
    EXPECT_FALSE(Accepts(game, {Card(2, Card::kQueen)}, Quad::kPileX[1], Quad::kPileY[1]));
    EXPECT_TRUE(Accepts(game, {Card(2, Card::kQueen)}, Quad::kCentreX, Quad::kCentreY));
}

TEST_F(QuadrilleTest, RecyclesCostFivePointsAndFollowTheirLimit) {
    SetRule("Recycles", 0);
    SetRule("CardsDealt", 3);
    Quad& game = Start<Quad>();
    const auto turnAll = [&] {
        while (game.deck.Remaining() > 0) ClickStock();
    };
    turnAll();
    ClickStock();
    EXPECT_EQ(game.position.wasteCount, 52) << "no recycle allowed";
    EXPECT_EQ(game.points, 0);

    game.rules.recycles = RuleValues::kUnlimitedRecycles;
    for (int turn = 1; turn <= 5; ++turn) {
        ClickStock();
        EXPECT_EQ(game.deck.Remaining(), 52);
        EXPECT_EQ(game.points, -5 * turn);
        turnAll();
    }
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.recyclesUsed, 5) << "an undone recycle still counts";
    EXPECT_EQ(game.points, -5 * 5 - 5);
    EXPECT_TRUE(Played("undo.wav"));
}

TEST_F(QuadrilleTest, GameOverConsidersOnlyCardsThatCanReachTheWaste) {
    userPreferences.AutoGameOver = 1;
    SetRule("CardsDealt", 3);
    SetRule("Recycles", 0);
    Quad& game = Start<Quad>();
    EXPECT_FALSE(game.CheckGameOver()) << "never blocked before the first recycle with cards in the stock";
    game.position.recyclesUsed = 1;
    SetStock(game, {Card(3, 3), Card(0, 7), Card(1, 7)});
    ASSERT_EQ(game.deck.Remaining(), 3);
    const bool fiveThird = game.deck.Peek(2) == Card(3, 3);
    EXPECT_EQ(game.CheckGameOver(), !fiveThird) << "only every third stock card can come up";
    game.gameOver = false;
    game.rules.recycles = 1;
    game.position.recyclesUsed = 0;
    SetWaste(game, {Card(2, 8)});
    SetStock(game, {Card(0, 7), Card(1, 7)});
    EXPECT_FALSE(game.CheckGameOver());
}

TEST_F(QuadrilleTest, CompletePilesWinWithoutTheQueens) {
    Quad& game = Start<Quad>();
    for (int k = 0; k < 4; ++k) {
        game.position.foundations[k] = Card(QuadrilleModel::kPileSuit[k], Card::kKing);
        game.position.foundations[4 + k] = Card(QuadrilleModel::kPileSuit[k], Card::kJack);
    }
    EXPECT_TRUE(game.IsWon());
    game.position.foundations[6] = Card(QuadrilleModel::kPileSuit[2], Card::kTen);
    EXPECT_FALSE(game.IsWon());
}

TEST_F(QuadrilleTest, FilledInPlacesTwelveCardsAndUndoRestoresAMove) {
    SetRule("FilledIn", 1);
    Quad& game = Start<Quad>();
    EXPECT_EQ(game.deck.Remaining(), 40);
    EXPECT_EQ(game.position.centreCount, 4);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 0.9);
    ClickStock();
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.wasteCount, 0);
    EXPECT_EQ(game.deck.Remaining(), 40);
    EXPECT_EQ(game.points, -5);
}

}  // namespace
