// Pyramid's layouts, its selections and pairs, the stock and talon, its game-over test with and
// without recycles, its cursors and its undo record.
#include "games/pyramid.h"
#include "tests/framework/game_fixture.h"

namespace {

constexpr int kStockClickX = PyramidGame::kStockX + 20, kStockClickY = PyramidGame::kStockY + 30;

class PyramidTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        userPreferences.AutoGameOver = 0;
    }
    static void SetRule(const char* name, int32_t value) {
        SettingsKey key(GameSettingsPath("Pyramid"));
        WriteDwordValue(key, name, value);
    }
    static int TriangleCards(const PyramidGame& game) {
        int count = 0;
        for (const auto& row : game.triangle)
            for (Card card : row) count += card.IsValid();
        return count;
    }
    static int ExtraCards(const PyramidGame& game) {
        int count = 0;
        for (Card card : game.extraRow) count += card.IsValid();
        return count;
    }
    // An empty table whose stock holds exactly these cards.
    static void ClearTable(PyramidGame& game, std::initializer_list<Card> stock) {
        game.deck.SetPacks(1);
        game.deck.IncludeAll();
        for (int index = 0; index < Card::kCardsPerPack; ++index) {
            const Card card(index / 13, index % 13);
            if (std::find(stock.begin(), stock.end(), card) == stock.end()) game.deck.Exclude(card);
        }
        for (auto& row : game.triangle) row.fill(Card());
        game.extraRow.fill(Card());
        game.talon.fill(Card());
        game.talonCount = 0;
        game.waste = Card();
    }
    void ClickSlot(const PyramidGame& game, int row, int k) { Click(game.SlotX(row, k) + 20, game.SlotY(row) + 20); }
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
        EXPECT_EQ(TriangleCards(game), c.triangle);
        EXPECT_EQ(ExtraCards(game), c.extraRow);
        EXPECT_EQ(game.deck.Remaining(), c.stock);
        EXPECT_EQ(game.topY, c.topY);
        EXPECT_DOUBLE_EQ(game.GetScoreFactor(), (c.sevenRows ? 1.5 : 1.0) * (c.extra ? 0.75 : 1.0));
        // Only the last row is free; with the extra row it stays free, and the extra row too.
        EXPECT_EQ(static_cast<int>(game.pickups.size()), (c.sevenRows ? 7 : 6) + c.extraRow);
    }
}

TEST_F(PyramidTest, SelectionsPairsAndKings) {
    PyramidGame& game = Start<PyramidGame>();
    ClearTable(game, {Card(0, 0)});
    game.triangle[5][1] = Card(0, 3);              // Five, covered by the two cards below it
    game.triangle[6][0] = Card(1, 6);              // Eight
    game.triangle[6][1] = Card(2, 5);              // Seven
    game.triangle[6][2] = Card(3, Card::kKing);
    game.triangle[6][3] = Card(1, Card::kQueen);
    game.CheckGameOver();

    ClickSlot(game, 6, 0);
    EXPECT_EQ(game.first.card, Card(1, 6));
    ClickSlot(game, 6, 0);
    EXPECT_TRUE(game.first.Empty()) << "a second click deselects";
    ClickSlot(game, 6, 0);
    ClickSlot(game, 6, 1);
    EXPECT_EQ(game.first.card, Card(1, 6)) << "Eight and Seven make 15: the first stays selected";
    EXPECT_TRUE(game.second.Empty());
    EXPECT_TRUE(Played("nomatch1.wav"));
    ClickSlot(game, 6, 0);

    const int records = game.undo.Count();
    ClickSlot(game, 6, 2);
    EXPECT_FALSE(game.triangle[6][2].IsValid()) << "a King goes at once";
    EXPECT_EQ(game.points, 3);
    EXPECT_EQ(game.undo.Count(), records + 1);
    EXPECT_TRUE(Played("pair.wav"));

    ClickSlot(game, 6, 0);
    ClickSlot(game, 5, 1);
    EXPECT_TRUE(game.triangle[5][1].IsValid()) << "a covered card is not a pick-up";
    EXPECT_EQ(game.first.card, Card(1, 6));
    ClickSlot(game, 6, 0);
    game.triangle[6][1] = Card();
    game.CheckGameOver();
    ClickSlot(game, 6, 0);
    ClickSlot(game, 5, 1);
    EXPECT_FALSE(game.triangle[5][1].IsValid()) << "Eight and Five make 13";
    EXPECT_FALSE(game.triangle[6][0].IsValid());
    EXPECT_EQ(game.points, 8);

    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.triangle[5][1], Card(0, 3));
    EXPECT_EQ(game.triangle[6][0], Card(1, 6));
    EXPECT_EQ(game.points, 3 - 5) << "back to 3, less the undo";
}

TEST_F(PyramidTest, TheStockTurnsOntoTheTalonAndThePreviousCardPairsWithTheNext) {
    SetRule("Recycles", 1);
    PyramidGame& game = Start<PyramidGame>();
    ClearTable(game, {Card(0, 5)});  // a Seven
    game.triangle[6][0] = Card(1, 0);
    game.waste = Card(1, 4);  // a Six
    game.CheckGameOver();
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.talonCount, 1);
    EXPECT_EQ(game.talon[0], Card(1, 4));
    EXPECT_EQ(game.waste, Card(0, 5));
    EXPECT_TRUE(Played("flip.wav"));
    Click(PyramidGame::kTalonX + 20, PyramidGame::kTalonY + 20);
    Click(PyramidGame::kWasteX + 20, PyramidGame::kWasteY + 20);
    EXPECT_EQ(game.talonCount, 0);
    EXPECT_FALSE(game.waste.IsValid());
    EXPECT_EQ(game.points, 5);

    // An empty stock with a turn left takes the talon back for 10 points; then no more turns.
    game.deck.SetPacks(1);
    game.deck.IncludeAll();
    while (game.deck.DealNext().IsValid()) {
    }
    game.talon[0] = Card(2, 1);
    game.talon[1] = Card(2, 2);
    game.talonCount = 2;
    game.CheckGameOver();
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.talonCount, 0);
    EXPECT_EQ(game.deck.Remaining(), 2);
    EXPECT_EQ(game.deck.Peek(0), Card(2, 1)) << "the card turned first comes first again";
    EXPECT_EQ(game.turnsLeft, 0);
    EXPECT_EQ(game.points, -5);
    EXPECT_TRUE(Played("shuffle.wav"));
}

TEST_F(PyramidTest, GameOverLooksOnlyAtTheTalonTopWithoutRecycles) {
    PyramidGame& game = Start<PyramidGame>();
    ClearTable(game, {});
    game.triangle[6][0] = Card(1, 0);  // a Two; an Ace would go with a Queen only
    game.talon[0] = Card(0, Card::kJack);
    game.talon[1] = Card(0, 7);        // a Nine on top
    game.talonCount = 2;
    game.turnsLeft = 0;
    userPreferences.AutoGameOver = 1;
    EXPECT_TRUE(game.CheckGameOver()) << "the Jack under the Nine never comes back";
    EXPECT_FALSE(game.IsWon());

    game.gameOver = false;
    game.recyclesAtDeal = game.turnsLeft = 1;
    EXPECT_FALSE(game.CheckGameOver()) << "with a turn left, the Jack can pair with the Two";

    // The triangle cleared wins although cards remain in the talon and the extra row.
    game.gameOver = false;
    game.triangle[6][0] = Card();
    game.extraRow[0] = Card(3, 3);
    game.talon.fill(Card());
    game.talonCount = 0;
    game.turnsLeft = 0;
    EXPECT_TRUE(game.CheckGameOver());
    EXPECT_TRUE(game.IsWon());
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

TEST_F(PyramidTest, UndoRecordHasItsSizeAndKeepsRowsInTheLayout) {
    SetRule("SevenRows", 0);
    PyramidGame& game = Start<PyramidGame>();
    game.SaveUndo();
    auto record = game.PopUndoRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), PyramidGame::kRecordSize);
    EXPECT_EQ(record->size(), 960u + 49 * 8 + 7 * 8 + 52 * 8 + 8 + 12);
    EXPECT_TRUE(game.RestoreRecord(*record));
    // A card in the seventh row does not belong to a six-row triangle.
    std::vector<uint8_t> damaged = *record;
    const size_t seventhRow = kUndoGamePartOffset + 6 * 7 * 8;
    const size_t sixthRow = kUndoGamePartOffset + 5 * 7 * 8;
    std::copy_n(record->begin() + sixthRow, 8, damaged.begin() + seventhRow);
    std::fill_n(damaged.begin() + sixthRow, 8, 0xFF);  // moved down a row, not duplicated
    EXPECT_FALSE(game.RestoreRecord(damaged));
}

}  // namespace

// ---- The model of play ----

namespace {

PyramidModel::Position EmptyPyramid() {
    PyramidModel::Position position;
    position.rows = PyramidModel::kMaxRows;
    return position;
}

TEST(PyramidModelTest, TheTalonTurnsBackInTurnOrderForTenPoints) {
    PyramidModel::Position position = EmptyPyramid();
    position.recyclesAtDeal = position.turnsLeft = 1;
    position.talonCount = 2;
    position.talon[0] = Card(0, 3);
    position.talon[1] = Card(1, 4);
    position.waste = Card(2, 5);
    MoveList moves;
    PyramidModel::Moves(position, moves);
    ASSERT_EQ(moves.front(), (PlayMove{.kind = PlayMove::kStock, .from = PyramidModel::kStockPlace}));
    EXPECT_EQ(PyramidModel::Apply(position, moves.front()), -10);
    EXPECT_EQ(position.points, -10);
    EXPECT_EQ(position.turnsLeft, 0);
    EXPECT_EQ(position.talonCount, 0);
    EXPECT_FALSE(position.waste.IsValid());
    // The waste went onto the talon first; the card turned first comes first again.
    ASSERT_EQ(position.stockCount, 3);
    PyramidModel::Apply(position, moves.front());
    EXPECT_EQ(position.waste, Card(0, 3));
    PyramidModel::Apply(position, moves.front());
    EXPECT_EQ(position.waste, Card(1, 4));
    EXPECT_EQ(position.talon[0], Card(0, 3));
}

TEST(PyramidModelTest, AWaitingCardOffersItsPairsAndHoldsOffTheEnd) {
    PyramidModel::Position position = EmptyPyramid();
    position.waste = Card(0, Card::kQueen);  // 12
    position.triangle[PyramidModel::TrianglePlace(6, 0) - PyramidModel::kTrianglePlace] = Card(1, Card::kAce);
    position.triangle[PyramidModel::TrianglePlace(6, 3) - PyramidModel::kTrianglePlace] = Card(2, Card::kKing);
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

TEST(PyramidModelTest, TheCodeLeavesOutPointsAndSelection) {
    PyramidModel::Position a = EmptyPyramid();
    a.waste = Card(0, 1);
    PyramidModel::Position b = a;
    b.points = 40;
    b.selected = PyramidModel::kWastePlace;
    PositionCode codeA, codeB;
    PyramidModel::Encode(a, codeA);
    PyramidModel::Encode(b, codeB);
    EXPECT_EQ(codeA.bytes, codeB.bytes);
    b.waste = Card(0, 2);
    PyramidModel::Encode(b, codeB);
    EXPECT_NE(codeA.bytes, codeB.bytes);
}

}  // namespace
