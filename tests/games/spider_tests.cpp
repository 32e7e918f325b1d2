// Spider's deal, its in-suit building round the starting card, complete suits going home, card
// turning and stock deals, through the mouse path on hand-built positions.

#include "games/spider.h"
#include "tests/games/ruled_game_test.h"

namespace {

constexpr int kSpades = 0, kHearts = 1;

class SpiderTest : public RuledGameTest<SpiderGame> {
protected:
    static int TopY(const SpiderGame& game, int column) { return SpiderGame::CardY(game.position.pileCount[column] - 1) + 5; }
};

TEST_F(SpiderTest, DealRowsFaceDownAsTheRulesSay) {
    SetRule("RowsFaceDown", 0);
    SpiderGame& game = Start<SpiderGame>();
    for (int column = 0; column < 10; ++column) EXPECT_EQ(game.position.faceDownCount[column], 0);
    SetRule("RowsFaceDown", 3);
    ASSERT_TRUE(Choose(kCommandNewGame));
    for (int column = 0; column < 10; ++column) EXPECT_EQ(game.position.faceDownCount[column], 3);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.5 * 1.15);
}

TEST_F(SpiderTest, ColumnsBuildDownInSuitAndTheStartCardIsTheBottom) {
    SpiderGame& game = Start<SpiderGame>();
    ExpectFits([&](Card card, Card onto, bool home) { return SpiderModel::CanPlace(card, onto, home, game.position.startCard); },
               {{Card(kHearts, 5), Card(kSpades, 6), false, false, "Seven on Eight needs the suit"},
                {Card(kHearts, 5), Card(kHearts, 6), false, true},
                {Card(kHearts, Card::kKing), Card(kHearts, Card::kAce), false, false, "a King only goes to an empty column"},
                {Card(kHearts, Card::kKing), Card(), false, true},
                {Card(kHearts, Card::kQueen), Card(kHearts, Card::kAce), false, false, "nothing goes on the Ace"},
                {Card(kHearts, Card::kAce), Card(kHearts, Card::kTwo), false, true}});
}

TEST_F(SpiderTest, CompleteSuitGoesHomeForSixtyFivePoints) {
    SpiderGame& game = Start<SpiderGame>();
    ClearPlaces(game);
    // King down to Ace of hearts in column 2, on top of a face-down card.
    game.position.tableau[2][0] = Card(kSpades, 3);
    int i = 1;
    for (int rank = Card::kKing; rank >= 0; --rank) game.position.tableau[2][i++] = Card(kHearts, rank);
    game.position.tableau[2][i++] = Card(kHearts, Card::kAce);
    game.position.pileCount[2] = i;
    game.position.faceDownCount[2] = 1;
    SetPile(game, 0, {Card(kSpades, 8)});
    game.CheckGameOver();
    EXPECT_FALSE(game.gameOver) << "a full suit is a move";
    const int kingY = SpiderGame::CardY(1) + 5;
    // A run of twelve is not a suit: dropping it on a foundation is refused.
    Drag(SpiderGame::ColumnX(2) + 10, SpiderGame::CardY(2) + 5, SpiderGame::FoundationX(3) + 10,
         SpiderGame::kFoundationY + 10);
    EXPECT_EQ(game.position.pileCount[2], 14);
    DoubleClick(SpiderGame::ColumnX(2) + 10, kingY);
    EXPECT_EQ(game.position.pileCount[2], 1);
    EXPECT_EQ(game.points, 65);
    EXPECT_EQ(game.position.foundations[0], Card(kHearts, Card::kAce));
    EXPECT_TRUE(Played("foundation.wav"));
}

// Without SuitAssembled single cards go home one by one, and a run by its deepest card.
TEST_F(SpiderTest, CardsAndRunsGoHomeWhenSuitsNeedNotBeAssembled) {
    SetRule("SuitAssembled", 0);
    SpiderGame& game = Start<SpiderGame>();
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.25);
    ClearPlaces(game);
    game.position.foundations[2] = Card(kHearts, 4);  // the Six of hearts
    SetPile(game, 0, {Card(kSpades, 9), Card(kHearts, 5), Card(kHearts, 4), Card(kHearts, 3)});
    SetPile(game, 1, {Card(kSpades, 7)});
    SetPile(game, 2, {Card(kHearts, 0), Card(kHearts, Card::kAce)});
    game.CheckGameOver();
    for (const Card home : {Card(kHearts, Card::kAce), Card(kHearts, 0)}) {
        Drag(SpiderGame::ColumnX(2) + 10, TopY(game, 2), SpiderGame::FoundationX(0) + 10, SpiderGame::kFoundationY + 10);
        EXPECT_EQ(game.position.foundations[0], home);
    }
    EXPECT_EQ(game.points, 10);
    // Pick up the Seven-Six-Five run by its Seven and drop it on the Six.
    Drag(SpiderGame::ColumnX(0) + 10, SpiderGame::CardY(1) + 5, SpiderGame::FoundationX(2) + 10,
         SpiderGame::kFoundationY + 10);
    EXPECT_EQ(game.position.pileCount[0], 1);
    EXPECT_EQ(game.position.foundations[2], Card(kHearts, 3)) << "the foundation shows the run's last card";
    EXPECT_EQ(game.points, 10 + 15) << "five points for every card of the run";
    EXPECT_TRUE(Played("foundation.wav"));

    // With assembling on, the same run is refused and goes back.
    game.rules.suitAssembled = 1;
    ASSERT_TRUE(Choose(kCommandUndo));
    ASSERT_EQ(game.position.pileCount[0], 4);
    Drag(SpiderGame::ColumnX(0) + 10, SpiderGame::CardY(1) + 5, SpiderGame::FoundationX(2) + 10,
         SpiderGame::kFoundationY + 10);
    EXPECT_EQ(game.position.pileCount[0], 4);
    EXPECT_EQ(game.position.foundations[2], Card(kHearts, 4));
}

// The model's game-over search: runs that uncover cards count as moves.
TEST(SpiderModelTest, OverSearchFindsRunsThatUncoverCards) {
    using model_positions::SetPile;
    SpiderModel::Position p;
    SetPile(p, 0, {Card(kSpades, 9), Card(kHearts, 4)}, 1);
    SetPile(p, 1, {Card(kHearts, 8)});
    SetPile(p, 2, {Card(kSpades, 2)});
    // Tops of which none fits on another.
    const Card others[] = {Card(kSpades, Card::kKing), Card(kSpades, 9), Card(kSpades, 7), Card(kSpades, 5),
                           Card(kHearts, Card::kKing), Card(kHearts, 0), Card(kSpades, Card::kAce)};
    for (int column = 3; column < 10; ++column) SetPile(p, column, {others[column - 3]});
    EXPECT_TRUE(SpiderModel::Over(p)) << "no run can move anywhere";
    model_positions::SetStock(p, {Card(kHearts, 3)});
    EXPECT_FALSE(SpiderModel::Over(p)) << "the stock can still be dealt";
    model_positions::SetStock(p, {});
    p.tableau[1][0] = Card(kHearts, 5);  // the Six of hearts can now go on the Seven
    EXPECT_FALSE(SpiderModel::Over(p));
}

// Eight columns each hold a Two under a same-suit Nine-Eight-Seven-Six and two columns are empty:
// the runs can wander between the columns for about a thousand positions, but nothing ever
// uncovers the Twos or completes a suit. The search must say so rather than give up.
TEST(SpiderModelTest, OverSearchIsExhaustiveOnLargeDeadPositions) {
    using model_positions::SetPile;
    SpiderModel::Position p;
    for (int column = 0; column < 8; ++column) {
        const int suit = column % 4;
        SetPile(p, column, {Card(suit, 0), Card(suit, 7), Card(suit, 6), Card(suit, 5), Card(suit, 4)});
    }
    EXPECT_TRUE(SpiderModel::Over(p)) << "a dead position ends the game";
    SpiderModel::SearchStart start;
    for (int column = 0; column < 8; ++column)
        for (int i = 0; i < 5; ++i) start.columns[column].push_back(p.tableau[column][i]);
    EXPECT_FALSE(SpiderModel::SearchProgress(start, p.foundations, Card::kAce, true));

    // The same table with one Two hiding a face-down card is alive: its run can leave for an
    // empty column and then the Two can follow to the other.
    SetPile(p, 3, {Card(kSpades, 10), Card(3, 0), Card(3, 7), Card(3, 6), Card(3, 5), Card(3, 4)}, 1);
    EXPECT_FALSE(SpiderModel::Over(p));
    // Three Aces over the face-down card are one too many for the two empty columns (nothing goes
    // on an Ace): only a search through every position can tell.
    SetPile(p, 3, {Card(kSpades, 10), Card(0, Card::kAce), Card(1, Card::kAce), Card(2, Card::kAce)}, 1);
    EXPECT_TRUE(SpiderModel::Over(p));
    SetPile(p, 3, {Card(kSpades, 10), Card(0, Card::kAce), Card(1, Card::kAce)}, 1);
    EXPECT_FALSE(SpiderModel::Over(p));
}

}  // namespace
