// Gate's deal, its posts feeding empty columns, wrap-round building, the undo record of every
// press and its game-over test on hand-built positions, through the mouse path.

#include "games/gate.h"
#include "tests/games/ruled_game_test.h"

namespace {

using GateTest = RuledGameTest<GateGame>;

TEST_F(GateTest, EmptyColumnTakesOnlyAPostCardWhileBothPostsHoldCards) {
    SetRule("StartCard", Card::kAce);
    GateGame& game = Start<GateGame>();
    game.position.pileCount[3] = 0;
    SetWaste(game, {Card(kRed, 7)});
    game.CheckGameOver();
    const auto emptyTakes = [&](Card card) { return Accepts(game, {card}, GateGame::ColumnX(3), GateGame::CardY(0)); };
    EXPECT_FALSE(emptyTakes(Card(kRed, 7)));
    EXPECT_TRUE(emptyTakes(game.position.posts[0][4]));
    game.rules.fillFromWaste = 1;
    EXPECT_TRUE(emptyTakes(Card(kRed, 7)));
    game.rules.fillFromWaste = 0;
    game.position.postCount[1] = 0;
    EXPECT_TRUE(emptyTakes(Card(kRed, 7))) << "once a post is empty, any card";

    // Through the mouse: the left post's last card to the empty column, 5 points.
    game.position.postCount[1] = 5;
    game.CheckGameOver();
    const Card postCard = game.position.posts[0][4];
    Drag(GateGame::kLeftPostX + 10, game.PostTopY(0) + 10, GateGame::ColumnX(3) + 10, GateGame::CardY(0) + 10);
    EXPECT_EQ(game.position.tableau[3][0], postCard);
    EXPECT_EQ(game.position.postCount[0], 4);
    EXPECT_EQ(game.points, 5);
}

TEST_F(GateTest, StartingRankGoesOnNoPile) {
    SetRule("StartCard", 3);
    GateGame& game = Start<GateGame>();
    ExpectFits([&](Card card, Card onto, bool home) { return GateModel::CanPlay(game.CurrentPosition(), card, onto, home); },
               {{Card(kBlack, 3), Card(kRed, 4), false, false},
                {Card(kBlack, Card::kKing), Card(kRed, Card::kAce), false, true},
                {Card(kBlack, Card::kAce), Card(kRed, 0), false, true},
                {Card(kRed, 0), Card(kRed, Card::kAce), true, true},
                {Card(kRed, 3), Card(kRed, 2), true, false}});
}

TEST_F(GateTest, EveryPressOffTheStockCostsAnUndoRecord) {
    GateGame& game = Start<GateGame>();
    Click(400, 560);  // bare table
    EXPECT_EQ(game.undo.Count(), 1);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.points, -5) << "undo costs 5 even for a press that moved nothing";
    EXPECT_TRUE(Played("undo.wav"));
}

// The model's game-over test on a position built by hand: no posts, every column one red Ten,
// foundations at the Ace, no stock and an empty waste.
TEST(GateModelTest, OverWhenNoCandidateFits) {
    GateModel::Position p;
    p.startRank = p.startCard = Card::kAce;
    p.recyclesUsed = 1;
    p.foundations = {Card(0, Card::kAce), Card(1, Card::kAce), Card(2, Card::kAce), Card(3, Card::kAce)};
    for (int column = 0; column < 8; ++column) model_positions::SetPile(p, column, {Card(column % 2 ? 1 : 3, 8)});
    EXPECT_TRUE(GateModel::Over(p));
    p.tableau[0][0] = Card(kBlack, 0);  // a Two goes on its Ace
    EXPECT_FALSE(GateModel::Over(p));
}

}  // namespace
