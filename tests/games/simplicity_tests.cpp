// Simplicity's deal, its wrap-round building on piles and foundations, recycling, scoring and its
// game-over look-ahead, through the mouse path on hand-built positions.

#include "games/simplicity.h"
#include "tests/games/ruled_game_test.h"
#include "tests/games/model_rule_variants.h"

namespace {

constexpr int kBlack = 0, kRed = 1, kBlack2 = 2;
constexpr int kStockClickX = SimplicityGame::kStockX + 20, kStockClickY = SimplicityGame::kStockY + 30;

class SimplicityTest : public RuledGameTest<SimplicityGame> {
protected:
    static void ClearTable(SimplicityGame& game) {
        while (game.deck.DealNext().IsValid()) {
        }
        for (auto& pile : game.position.piles) pile.fill(Card());
        game.position.pileCount.fill(0);
        game.position.foundations.fill(Card());
        game.position.waste.fill(Card());
        game.position.wasteCount = 0;
        game.position.recyclesUsed = 1;
    }
    static void SetPile(SimplicityGame& game, int pile, std::initializer_list<Card> cards) {
        int k = 0;
        for (Card card : cards) game.position.piles[pile][k++] = card;
        game.position.pileCount[pile] = k;
    }
    void DragCard(int fromX, int fromY, int toX, int toY) { Drag(fromX + 10, fromY + 10, toX + 10, toY + 10); }
};

TEST_F(SimplicityTest, BuildingWrapsRoundAndScores) {
    SetRule("StartCard", 3);  // Five
    SimplicityGame& game = Start<SimplicityGame>();
    EXPECT_TRUE(SimplicityModel::CanPlay(Card(kBlack, Card::kKing), Card(kRed, Card::kAce), false));
    EXPECT_FALSE(SimplicityModel::CanPlay(Card(kBlack, Card::kKing), Card(kBlack2, Card::kAce), false));
    EXPECT_TRUE(SimplicityModel::CanPlay(Card(kRed, Card::kAce), Card(kRed, Card::kKing), true));

    ClearTable(game);
    SetPile(game, 0, {Card(kRed, 3)});                       // a Five
    SetPile(game, 1, {Card(kBlack, Card::kAce)});
    game.position.waste[0] = Card(kBlack2, 3);
    game.position.waste[1] = Card(kRed, Card::kKing);
    game.position.wasteCount = 2;
    game.CheckGameOver();
    // Waste King onto the black Ace: 5 points.
    DragCard(SimplicityGame::kWasteX, SimplicityGame::kWasteY, SimplicityGame::kPileX[1], SimplicityGame::kPileY[1]);
    EXPECT_EQ(game.position.pileCount[1], 2);
    EXPECT_EQ(game.points, 5);
    // Any Five starts a foundation: from the waste 10, from a pile 5.
    DragCard(SimplicityGame::kWasteX, SimplicityGame::kWasteY, SimplicityGame::kFoundationX[2],
             SimplicityGame::kFoundationY[2]);
    DragCard(SimplicityGame::kPileX[0], SimplicityGame::kPileY[0], SimplicityGame::kFoundationX[1],
             SimplicityGame::kFoundationY[1]);
    EXPECT_EQ(game.position.foundations[2], Card(kBlack2, 3));
    EXPECT_EQ(game.position.foundations[1], Card(kRed, 3));
    EXPECT_EQ(game.points, 20);
    EXPECT_FALSE(Played("foundation.wav")) << "Simplicity plays no move sounds";
}

TEST_F(SimplicityTest, FullPileTakesNoMoreCards) {
    SimplicityGame& game = Start<SimplicityGame>();
    ClearTable(game);
    for (int k = 0; k < 13; ++k) game.position.piles[0][k] = Card(k % 2, 12 - k);
    game.position.pileCount[0] = 13;
    DragRecord drag;
    drag.cards[0] = Card(kRed, 5);
    drag.count = 1;
    DropTarget full{SimplicityGame::kPileX[0], SimplicityGame::kPileY[0], {}, kPlainTargetKind};
    EXPECT_FALSE(game.CanDrop(drag, full));
    DropTarget empty{SimplicityGame::kPileX[3], SimplicityGame::kPileY[3], {}, kPlainTargetKind};
    EXPECT_TRUE(game.CanDrop(drag, empty));
}

TEST_F(SimplicityTest, RecycleDealsTheOldTopFirstAndCostsFive) {
    SetRule("Recycles", 1);
    SetRule("CardsDealt", 3);
    SimplicityGame& game = Start<SimplicityGame>();
    while (game.deck.Remaining() > 0) Click(kStockClickX, kStockClickY);
    const Card oldTop = game.position.waste[game.position.wasteCount - 1];
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.recyclesUsed, 1);
    EXPECT_EQ(game.points, -5);
    EXPECT_EQ(game.deck.Peek(0), oldTop) << "the old top of the waste is dealt first";
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.deck.Remaining(), 0) << "the recycle is taken back";
    EXPECT_EQ(game.position.recyclesUsed, 1) << "but not given back";
    EXPECT_EQ(game.points, -5);
    const int waste = game.position.wasteCount;
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.wasteCount, waste) << "no recycle left";
}

TEST_F(SimplicityTest, LookAheadSeesAPileThatCanBeDugDown) {
    userPreferences.AutoGameOver = 1;
    SetRule("StartCard", 3);
    SimplicityGame& game = Start<SimplicityGame>();
    ClearTable(game);
    game.position.foundations[0] = Card(kBlack, 3);
    for (int pile = 0; pile < 12; ++pile) SetPile(game, pile, {Card(kBlack2, pile < 6 ? 8 : 9)});
    // Pile 0: black Five under a red Queen; pile 5's black King takes the Queen, freeing the Five.
    SetPile(game, 0, {Card(kBlack, 4), Card(kRed, 10)});
    SetPile(game, 5, {Card(kBlack2, Card::kKing)});
    EXPECT_FALSE(game.CheckGameOver()) << "the black Six under the Queen goes home";
    SetPile(game, 5, {Card(kBlack2, 7)});
    EXPECT_TRUE(game.CheckGameOver());
}

// The model and the mouse agree under rule values other than the defaults.
TEST_F(ModelRuleVariantsTest, Simplicity) {
    ExpectMouseMakesModelMoves<SimplicityGame>("Simplicity", {{"CardsDealt", 3}, {"Recycles", 99999}}, 4);
    ExpectMouseMakesModelMoves<SimplicityGame>("Simplicity",
        {{"FilledIn", 1}, {"CardsDealt", 2}, {"Recycles", 1}, {"StartCard", 7}}, 5);
}

}  // namespace
