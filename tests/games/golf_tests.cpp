// Golf's layouts, its rank rule with and without wrapping round, its scoring, and damaged undo
// records.
#include "games/golf.h"
#include "tests/games/ruled_game_test.h"

namespace {

constexpr int kStockClickX = GolfGame::kStockX + 20, kStockClickY = GolfGame::kStockY + 30;

class GolfTest : public RuledGameTest<GolfGame> {
protected:
    // An empty table with an empty stock and the given foundation top.
    static void ClearTable(GolfGame& game, Card foundationTop) {
        while (game.deck.DealNext().IsValid()) {
        }
        for (auto& column : game.position.columns) column.fill(Card());
        game.position.columnCount.fill(0);
        game.position.pile.fill(Card());
        game.position.pileCount = 0;
        if (foundationTop.IsValid()) game.position.pile[game.position.pileCount++] = foundationTop;
    }
    static void SetColumn(GolfGame& game, int column, std::initializer_list<Card> cards) {
        int k = 0;
        for (Card card : cards) game.position.columns[column][k++] = card;
        game.position.columnCount[column] = k;
    }
    void ClickColumnTop(const GolfGame& game, int column) {
        Click(GolfGame::ColumnX(column) + 20, GolfGame::CardY(game.position.columnCount[column] - 1) + 40);
    }
};

TEST_F(GolfTest, LayoutsDealThirtyFiveOrThirtySixCards) {
    GolfGame& game = Start<GolfGame>();
    EXPECT_EQ(game.deck.Remaining(), 17);
    for (int column = 0; column < 7; ++column) EXPECT_EQ(game.position.columnCount[column], 5);
    EXPECT_EQ(game.position.pileCount, 0) << "without FlipFirst the foundation starts empty";
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 0.95);
    SettingsKey key(GameSettingsPath("Golf"));
    EXPECT_EQ(ReadDwordValue(key, "SevenByFive", 0), 1) << "missing rule values are stored with their defaults";
    EXPECT_EQ(ReadDwordValue(key, "WrapAround", 1), 0);

    SetRule("SevenByFive", 0);
    SetRule("FlipFirst", 1);
    ASSERT_TRUE(Choose(kCommandNewGame));
    for (int column = 0; column < 6; ++column) EXPECT_EQ(game.position.columnCount[column], 6);
    EXPECT_EQ(game.position.columnCount[6], 0);
    EXPECT_EQ(game.position.pileCount, 1) << "FlipFirst turns the first stock card";
    EXPECT_EQ(game.deck.Remaining(), 15);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.0);
}

TEST_F(GolfTest, KingsTakeNothingUnlessRanksWrapRound) {
    EXPECT_FALSE(GolfModel::CanPlay(Card(0, Card::kQueen), Card(1, Card::kKing), false));
    EXPECT_FALSE(GolfModel::CanPlay(Card(0, Card::kKing), Card(1, Card::kAce), false));
    EXPECT_TRUE(GolfModel::CanPlay(Card(0, Card::kTwo), Card(1, Card::kAce), false));
    EXPECT_TRUE(GolfModel::CanPlay(Card(0, Card::kQueen), Card(1, Card::kKing), true));

    // Through the mouse, with WrapAround on: Ace on a King and King on an Ace score 2 each.
    SetRule("WrapAround", 1);
    GolfGame& game = Start<GolfGame>();
    ClearTable(game, Card(0, Card::kKing));
    SetColumn(game, 0, {Card(2, Card::kKing), Card(1, Card::kAce)});
    SetColumn(game, 1, {Card(3, 5)});
    game.CheckGameOver();
    ClickColumnTop(game, 0);
    EXPECT_EQ(game.points, 2);
    ClickColumnTop(game, 0);
    EXPECT_EQ(game.points, 4);
    EXPECT_EQ(game.position.pileCount, 3);

    // Without it (the rule travels in the position) the same King stays put.
    game.position.wrapAround = 0;
    SetColumn(game, 0, {Card(3, Card::kQueen)});
    game.CheckGameOver();
    ClickColumnTop(game, 0);
    EXPECT_EQ(game.position.columnCount[0], 1) << "a Queen does not go on a King";
    EXPECT_EQ(game.points, 4);
}

TEST_F(GolfTest, UndoRecordRefusesDuplicates) {
    GolfGame& game = Start<GolfGame>();
    const auto columns = game.position.columns;
    // A column card repeated in the foundation is refused and leaves the game as it was.
    EXPECT_FALSE(RestoresDamagedRecord(game, [](auto part) {
        std::copy_n(part + 8 * 52 + 4, 8, part);
        part[8 * 52] = 1;
    }));
    EXPECT_EQ(game.position.columns, columns);
}

}  // namespace
