// Four Seasons and Simplicity: building round the corner on piles and foundations, the two ways
// the waste goes back to the stock, the points per move and winning through the mouse path on
// hand-built positions; the game-over look-ahead on the model alone.
#include "games/four_seasons.h"
#include "games/simplicity.h"
#include "tests/games/ruled_game_test.h"

namespace {

constexpr int kBlack = 0, kRed = 1, kBlack2 = 2;

template <typename Game>
class TopCardTest : public RuledGameTest<Game> {
protected:
    static constexpr int kStockClickX = Game::kStockX + 20, kStockClickY = Game::kStockY + 30;

    // An empty table with the stock dealt out and no recycle left.
    static void ClearTable(Game& game) {
        RuledGameTest<Game>::ClearPlaces(game);
        game.position.recyclesUsed = 1;
    }
    static bool Accepts(Game& game, Card card, int x, int y) {
        DragRecord drag;
        drag.cards[0] = card;
        drag.count = 1;
        DropTarget target{x, y, {}, kPlainTargetKind};
        return game.CanDrop(drag, target);
    }
};
using FourSeasonsTest = TopCardTest<FourSeasonsGame>;
using SimplicityTest = TopCardTest<SimplicityGame>;
using Seasons = FourSeasonsGame;

TEST_F(FourSeasonsTest, BuildingWrapsRoundOnFoundationsAndPiles) {
    SetRule("StartCard", 3);  // Five
    Seasons& game = Start<Seasons>();
    for (Card top : game.position.foundations) EXPECT_FALSE(top.IsValid());
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(Accepts(game, Card(k, 3), Seasons::kFoundationX[k], Seasons::kFoundationY[k])) << "any Five";
    EXPECT_FALSE(Accepts(game, Card(0, 4), Seasons::kFoundationX[0], Seasons::kFoundationY[0]));

    // Five .. King, Ace, Two .. Four of one suit.
    Card top(2, 3);
    for (int step = 0; step < 12; ++step) {
        const Card next(2, (top.Rank() + 1) % Card::kRankCount);
        ASSERT_TRUE(FourSeasonsModel::CanPlay(next, top, true)) << step;
        top = next;
    }
    EXPECT_EQ(top, Card(2, 2));
    EXPECT_FALSE(FourSeasonsModel::CanPlay(Card(1, Card::kAce), Card(2, Card::kKing), true))
        << "foundations keep their suit";

    EXPECT_TRUE(FourSeasonsModel::CanPlay(Card(1, Card::kKing), Card(0, Card::kAce), false)) << "King on Ace, any suit";
    EXPECT_TRUE(FourSeasonsModel::CanPlay(Card(0, 5), Card(2, 6), false)) << "Seven on Eight of the same colour";
    EXPECT_TRUE(FourSeasonsModel::CanPlay(Card(1, 5), Card(2, 6), false));
    EXPECT_FALSE(FourSeasonsModel::CanPlay(Card(1, 6), Card(2, 5), false));

    ClearTable(game);
    EXPECT_TRUE(Accepts(game, Card(1, 9), Seasons::kPileX[2], Seasons::kPileY[2])) << "an empty pile takes anything";
    for (int i = 0; i < 13; ++i) game.position.piles[2][i] = Card(i % 4, 12 - i);
    game.position.pileCount[2] = 13;
    EXPECT_FALSE(Accepts(game, Card(3, 11), Seasons::kPileX[2], Seasons::kPileY[2])) << "a full pile takes nothing";
}

TEST_F(SimplicityTest, BuildingInAlternatingColoursAndScores) {
    SetRule("StartCard", 3);  // Five
    SimplicityGame& game = Start<SimplicityGame>();
    EXPECT_TRUE(SimplicityModel::CanPlay(Card(kBlack, Card::kKing), Card(kRed, Card::kAce), false));
    EXPECT_FALSE(SimplicityModel::CanPlay(Card(kBlack, Card::kKing), Card(kBlack2, Card::kAce), false));
    EXPECT_TRUE(SimplicityModel::CanPlay(Card(kRed, Card::kAce), Card(kRed, Card::kKing), true));

    ClearTable(game);
    SetPile(game, 0, {Card(kRed, 3)});  // a Five
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

// Four Seasons turns the waste over, so the first card turned comes first again; an undo takes
// the recycle back silently but leaves it used.
TEST_F(FourSeasonsTest, RecyclingRedealsInTheSameOrderAndUndoKeepsItUsed) {
    SetRule("Recycles", 1);
    Seasons& game = Start<Seasons>();
    const int stock = game.deck.Remaining();
    Click(kStockClickX, kStockClickY);
    const Card firstTurned = game.position.waste[0];
    for (int click = 1; click < stock; ++click) Click(kStockClickX, kStockClickY);
    ASSERT_EQ(game.deck.Remaining(), 0);
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.recyclesUsed, 1);
    EXPECT_EQ(game.points, -5);
    EXPECT_EQ(game.deck.Remaining(), stock);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.wasteCount, stock) << "the waste is back";
    EXPECT_EQ(game.position.recyclesUsed, 1) << "the recycle stays used";
    EXPECT_EQ(game.points, -5) << "the points before the recycle, less the undo";
    EXPECT_FALSE(Played("undo.wav"));
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.wasteCount, stock) << "no recycle is left";
    game.position.wasteCount = 0;
    for (int i = stock - 1; i >= 0; --i) game.deck.PutBack(game.position.waste[i]);
    game.position.waste.fill(Card());
    game.CheckGameOver();
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.waste[0], firstTurned) << "the first card turned comes first again";
}

// Simplicity gathers the waste as it lies: its old top card is dealt first.
TEST_F(SimplicityTest, RecycleDealsTheOldTopFirstAndCostsFive) {
    SetRule("Recycles", 1);
    SetRule("CardsDealt", 3);
    SimplicityGame& game = Start<SimplicityGame>();
    while (game.deck.Remaining() > 0) Click(kStockClickX, kStockClickY);
    const Card oldTop = game.position.waste[game.position.wasteCount - 1], oldBottom = game.position.waste[0];
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.recyclesUsed, 1);
    EXPECT_EQ(game.points, -5);
    EXPECT_EQ(game.deck.Peek(0), oldTop) << "the old top of the waste is dealt first";
    EXPECT_EQ(game.deck.Peek(game.deck.Remaining() - 1), oldBottom) << "and its old bottom card last";
}

// The model's game-over look-ahead through the piles, on positions built by hand.
TEST(FourSeasonsModelTest, OverLooksAheadThroughThePiles) {
    using model_positions::SetPile;
    using Model = Seasons::Model;
    Model::Position p;
    p.startRank = p.startCard = 3;
    p.recyclesUsed = 1;
    p.foundations[0] = Card(0, 3);  // Five of suit 0, wants the Six
    SetPile(p, 0, {Card(1, 9)});     // Jack
    SetPile(p, 1, {Card(2, 0)});     // Two
    SetPile(p, 2, {Card(3, 7)});     // Nine
    SetPile(p, 3, {Card(1, 1)});     // Three
    SetPile(p, 4, {Card(2, 11)});    // King
    EXPECT_TRUE(Model::Over(p)) << "nothing moves anywhere";

    // The Queen on the Jack's pile can go on the King, uncovering a Six for the foundation.
    SetPile(p, 0, {Card(0, 4), Card(1, 10)});
    EXPECT_FALSE(Model::Over(p));
    SetPile(p, 0, {Card(1, 10)});
    EXPECT_TRUE(Model::Over(p)) << "clearing the pile helps only with a waste card to fill it";
    p.waste[0] = Card(3, 8);
    p.wasteCount = 1;
    p.recyclesUsed = 5;
    EXPECT_FALSE(Model::Over(p));
}

TEST_F(FourSeasonsTest, WinningNeedsEveryFoundationToEndBelowTheStart) {
    SetRule("StartCard", 0);  // Two: foundations end with the Ace
    SetRule("FilledIn", 1);
    Seasons& game = Start<Seasons>();
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 0.9);
    for (int suit = 0; suit < 4; ++suit) EXPECT_EQ(game.position.foundations[suit], Card(suit, 0));
    for (int suit = 0; suit < 4; ++suit) game.position.foundations[suit] = Card(suit, Card::kAce);
    EXPECT_TRUE(game.IsWon());
    game.position.foundations[2] = Card(2, Card::kKing);
    EXPECT_FALSE(game.IsWon());
}

}  // namespace
