// Pyramid's layouts, its selections, the talon turned back, its game-over test with and without
// recycles, its cursors and its undo record.
#include "games/pyramid.h"
#include "tests/games/ruled_game_test.h"

namespace {

class PyramidTest : public RuledGameTest<PyramidGame> {
protected:
    static int Dealt(const auto& slots) {
        return static_cast<int>(std::ranges::count_if(slots, [](Card card) { return card.IsValid(); }));
    }
    // An empty table whose stock holds exactly these cards.
    static void ClearTable(PyramidGame& game, std::initializer_list<Card> stock) {
        SetStock(game, stock);
        const int rows = game.position.rows, turns = game.position.turnsLeft;
        game.position = PyramidModel::Position();
        game.position.rows = rows;
        game.position.recyclesAtDeal = game.position.turnsLeft = turns;
    }
};

TEST_F(PyramidTest, LayoutsDealTheirCards) {
    struct Case {
        int sevenRows, extra, triangle, extraRow, stock, topY;
    };
    for (const Case& c : {Case{1, 0, 28, 0, 24, 110}, Case{1, 1, 28, 7, 17, 70}, Case{0, 0, 21, 0, 31, 150},
                          Case{0, 1, 21, 6, 25, 110}}) {
        SetRule("SevenRows", c.sevenRows);
        SetRule("ExtraCards", c.extra);
        PyramidGame& game = Start<PyramidGame>();
        EXPECT_EQ(Dealt(game.position.triangle), c.triangle);
        EXPECT_EQ(Dealt(game.position.extra), c.extraRow);
        EXPECT_EQ(game.deck.Remaining(), c.stock);
        EXPECT_EQ(game.topY, c.topY);
        // Only the last row is free; with the extra row it stays free, and the extra row too.
        EXPECT_EQ(static_cast<int>(game.pickups.size()), (c.sevenRows ? 7 : 6) + c.extraRow);
    }
}

TEST_F(PyramidTest, AnEmptyStockWithATurnLeftTakesTheTalonBackInTurnOrder) {
    SetRule("Recycles", 1);
    PyramidGame& game = Start<PyramidGame>();
    ClearTable(game, {});
    game.deck.IncludeAll();  // every card dealt, so the talon's cards can go back
    while (game.deck.DealNext().IsValid()) {
    }
    game.TriangleCard(6, 0) = Card(1, 0);
    game.position.talon[0] = Card(2, 1);
    game.position.talon[1] = Card(2, 2);
    game.position.talonCount = 2;
    game.position.waste = Card(2, 3);
    game.CheckGameOver();
    ClickStock();
    EXPECT_EQ(game.position.talonCount, 0);
    EXPECT_FALSE(game.position.waste.IsValid());
    ASSERT_EQ(game.deck.Remaining(), 3);
    EXPECT_EQ(game.deck.Peek(0), Card(2, 1)) << "the card turned first comes first again";
    EXPECT_EQ(game.deck.Peek(2), Card(2, 3));
    EXPECT_EQ(game.position.turnsLeft, 0);
    EXPECT_EQ(game.points, -10);
    EXPECT_TRUE(Played("shuffle.wav"));
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.talonCount, 3) << "the record holds the waste already on the talon";
    EXPECT_FALSE(game.position.waste.IsValid());
}

TEST_F(PyramidTest, CursorShowsWhereAClickDoesSomething) {
    PyramidGame& game = Start<PyramidGame>();
    if (game.playCardCursor == 0 || game.noCardCursor == 0) GTEST_SKIP() << "no cursor files in the data folder";
    Move(game.SlotX(6, 0) + 20, game.SlotY(6) + 20, false);
    EXPECT_EQ(backend->CurrentCursor(), game.playCardCursor);
    Move(game.SlotX(0, 0) + 20, game.SlotY(0) + 20, false);
    EXPECT_EQ(backend->CurrentCursor(), game.noCardCursor);
    Move(700, 500, false);
    EXPECT_EQ(backend->CurrentCursor(), 0);
}

TEST_F(PyramidTest, UndoRecordKeepsRowsInTheLayout) {
    SetRule("SevenRows", 0);
    // A card in the seventh row does not belong to a six-row triangle.
    EXPECT_FALSE(RestoresDamagedRecord(Start<PyramidGame>(), [](auto triangle) {
        const auto sixthRow = triangle + 5 * 7 * 8;
        std::copy_n(sixthRow, 8, triangle + 6 * 7 * 8);
        std::fill_n(sixthRow, 8, 0xFF);  // moved down a row, not duplicated
    }));
}

// ---- The model of play ----

PyramidModel::Position EmptyPyramid() {
    PyramidModel::Position position;
    position.rows = PyramidModel::kMaxRows;
    return position;
}

TEST(PyramidModelTest, AWaitingCardOffersItsPairsAndHoldsOffTheEnd) {
    PyramidModel::Position position = EmptyPyramid();
    position.waste = Card(0, Card::kQueen);  // 12
    position.triangle[PyramidModel::TriangleIndex(6, 0)] = Card(1, Card::kAce);
    position.triangle[PyramidModel::TriangleIndex(6, 3)] = Card(2, Card::kKing);
    MoveList moves;
    PyramidModel::Moves(position, moves);
    EXPECT_EQ(moves.size(), 2u) << "the pair and the King";
    position.selected = PyramidModel::kWastePlace;
    PyramidModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].from, PyramidModel::kWastePlace);
    EXPECT_EQ(moves[0].to, PyramidModel::TrianglePlace(6, 0));
    EXPECT_EQ(PyramidModel::Apply(position, moves[0]), 5);
    EXPECT_EQ(position.selected, -1);
    EXPECT_FALSE(PyramidModel::Over(position)) << "the King is still there";
    PyramidModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(PyramidModel::Apply(position, moves[0]), 3);
    EXPECT_TRUE(PyramidModel::Won(position));
}

TEST(PyramidModelTest, WithoutRecyclesOnlyTheTalonTopCounts) {
    PyramidModel::Position position = EmptyPyramid();
    position.triangle[PyramidModel::TriangleIndex(6, 0)] = Card(1, 0);  // a Two
    position.talon[0] = Card(0, Card::kJack);
    position.talon[1] = Card(0, 7);  // a Nine on top
    position.talonCount = 2;
    EXPECT_TRUE(PyramidModel::Over(position)) << "the Jack under the Nine never comes back";
    EXPECT_FALSE(PyramidModel::Won(position));
    position.recyclesAtDeal = position.turnsLeft = 1;
    EXPECT_FALSE(PyramidModel::Over(position)) << "with a turn left, the Jack can pair with the Two";
    // The triangle cleared wins although cards remain in the talon and the extra row.
    position.triangle[PyramidModel::TriangleIndex(6, 0)] = Card();
    position.extra[0] = Card(3, 3);
    position.turnsLeft = 0;
    EXPECT_TRUE(PyramidModel::Won(position));
}

}  // namespace
