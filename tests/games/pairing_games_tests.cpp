// The three click-to-pair games without rule values: Take Fourteen, Simple Addition and Block
// Solitaire. Their sums, their selection rules, refilling from the stock, and when they end.
#include "games/block_solitaire.h"
#include "games/simple_addition.h"
#include "games/take_fourteen.h"
#include "tests/framework/game_fixture.h"

namespace {

class PairingTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        userPreferences.AutoGameOver = 0;
    }
    static void EmptyStock(Game& game) {
        while (game.deck.DealNext().IsValid()) {
        }
    }
};

// ---- Take Fourteen ----

void SetPiles(TakeFourteenGame& game, std::initializer_list<std::pair<int, Card>> tops) {
    game.position.cells.fill(Card());
    for (auto [pile, card] : tops) game.Cell(pile, game.Count(pile)) = card;
    game.CheckGameOver();
}

TEST_F(PairingTest, TakeFourteenPairsTopsThatMakeFourteen) {
    TakeFourteenGame& game = Start<TakeFourteenGame>();
    for (int pile = 0; pile < 12; ++pile) EXPECT_EQ(game.Count(pile), pile < 4 ? 5 : 4);
    EXPECT_EQ(game.deck.Remaining(), 0);
    for (int i = 0; i < game.OptionsMenu()->ItemCount(); ++i)
        EXPECT_NE(game.OptionsMenu()->Item(i)->CommandId(), kCommandGameSettings) << "no settings item";

    auto clickTop = [&](int pile) {
        Click(TakeFourteenGame::PileX(pile) + 20, TakeFourteenGame::CardY(game.Count(pile) - 1) + 40);
    };
    SetPiles(game, {{0, Card(0, 4)}, {1, Card(1, 6)}, {2, Card(2, Card::kAce)}, {3, Card(3, Card::kKing)},
                    {4, Card(0, 5)}, {4, Card(1, 5)}, {5, Card(2, 5)}});
    const int records = game.undo.Count();
    clickTop(0);
    clickTop(2);
    EXPECT_EQ(game.selectedCount, 1) << "Six and Ace fail: the first pile stays selected";
    EXPECT_TRUE(game.selected[0]);
    clickTop(0);
    EXPECT_EQ(game.selectedCount, 0);
    EXPECT_EQ(game.undo.Count(), records + 3) << "every click that selects or deselects saves";

    clickTop(0);
    clickTop(1);
    EXPECT_EQ(game.Count(0), 0) << "Six and Eight";
    EXPECT_EQ(game.Count(1), 0);
    EXPECT_EQ(game.points, 10);
    clickTop(3);
    clickTop(2);
    EXPECT_EQ(game.points, 20) << "King and Ace";
    clickTop(4);
    EXPECT_EQ(game.selectedCount, 1);
    EXPECT_EQ(game.Count(4), 2) << "two Sevens in one pile are no pair";
    clickTop(5);
    EXPECT_EQ(game.Count(4), 1);
    EXPECT_FALSE(game.gameOver);

    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.Count(4), 2);
    EXPECT_EQ(game.selectedCount, 1);
    EXPECT_TRUE(Played("undo.wav"));
    EXPECT_EQ(game.points, 15);
}

TEST_F(PairingTest, TakeFourteenIsWonOnlyWithEveryPileEmpty) {
    TakeFourteenGame& game = Start<TakeFourteenGame>();
    userPreferences.AutoGameOver = 1;
    SetPiles(game, {{0, Card(0, 4)}, {1, Card(1, 4)}});
    EXPECT_TRUE(game.gameOver);
    EXPECT_FALSE(game.IsWon());
    SetPiles(game, {});
    EXPECT_TRUE(game.gameOver);
    EXPECT_TRUE(game.IsWon());
    game.SaveUndo();
    auto record = game.PopUndoRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), TakeFourteenGame::kRecordSize);
    EXPECT_EQ(record->size(), 960u + 480 + 12 + 12);
}

// ---- Simple Addition ----

void SetSlots(SimpleAdditionGame& game, std::initializer_list<std::pair<int, Card>> cards) {
    game.position.cells.fill(Card());
    for (auto [slot, card] : cards) game.Cell(slot) = card;
    game.CheckGameOver();
}

TEST_F(PairingTest, SimpleAdditionRemovesTensAndCourtGroups) {
    SimpleAdditionGame& game = Start<SimpleAdditionGame>();
    EXPECT_EQ(game.deck.Remaining(), 39);
    auto click = [&](int slot) { Click(SimpleAdditionGame::SlotX(slot) + 20, SimpleAdditionGame::kSlotY + 30); };
    constexpr int kHearts = 1;
    SetSlots(game, {{0, Card(0, Card::kAce)}, {1, Card(kHearts, Card::kTen)}, {2, Card(kHearts, Card::kJack)},
                    {3, Card(kHearts, Card::kQueen)}, {4, Card(2, Card::kTen)}, {5, Card(3, 7)}, {6, Card(kHearts, Card::kKing)},
                    {7, Card(0, 3)}, {8, Card(1, 3)}});
    click(1);
    click(0);
    EXPECT_EQ(game.selectedCount, 1) << "a low card does not join a high one";
    click(4);
    EXPECT_EQ(game.selectedCount, 1) << "high cards of two suits do not go together";
    click(2);
    click(3);
    EXPECT_EQ(game.selectedCount, 3) << "Ten, Jack and Queen of one suit stay selected";
    const Card nextInStock = game.deck.Peek(0);
    click(6);
    EXPECT_EQ(game.points, 20) << "the King completes the group";
    EXPECT_EQ(game.selectedCount, 0);
    EXPECT_EQ(game.Cell(1), nextInStock) << "emptied slots refill from the left";
    EXPECT_EQ(game.deck.Remaining(), 31) << "four for the group, four for the slots left empty";

    click(0);
    click(5);
    EXPECT_EQ(game.points, 30) << "Ace and Nine";
    click(7);
    click(8);
    EXPECT_EQ(game.points, 40) << "Five and Five";

    // Once the stock is empty, holes stay.
    EmptyStock(game);
    SetSlots(game, {{0, Card(0, 2)}, {1, Card(1, 4)}, {2, Card(0, 9)}});
    click(0);
    click(1);
    EXPECT_FALSE(game.Cell(0).IsValid());
    EXPECT_FALSE(game.Cell(1).IsValid());
}

TEST_F(PairingTest, SimpleAdditionEndsWhenTheVisibleCardsHoldNothing) {
    SimpleAdditionGame& game = Start<SimpleAdditionGame>();
    userPreferences.AutoGameOver = 1;
    SetSlots(game, {{0, Card(0, Card::kTen)}, {1, Card(0, Card::kJack)}, {2, Card(0, Card::kQueen)},
                    {3, Card(0, Card::kKing)}, {4, Card(1, 0)}});
    EXPECT_FALSE(game.gameOver) << "a whole group is still a move";
    SetSlots(game, {{0, Card(0, Card::kTen)}, {4, Card(1, 0)}, {5, Card(1, 1)}});
    EXPECT_TRUE(game.gameOver) << "over although the stock is not empty";
    EXPECT_FALSE(game.IsWon());
    game.SaveUndo();
    auto record = game.PopUndoRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), SimpleAdditionGame::kRecordSize);
    EXPECT_EQ(record->size(), 960u + 104 + 13 + 12);
}

// ---- Block Solitaire ----

TEST_F(PairingTest, BlockSolitairePairsElevenFromFortyCards) {
    BlockSolitaireGame& game = Start<BlockSolitaireGame>();
    EXPECT_EQ(game.deck.Total(), 40);
    EXPECT_EQ(game.deck.Remaining(), 28);
    for (int i = 0; i < 40; ++i) {
        const int rank = game.deck.OrderAt(i).Rank();
        EXPECT_TRUE(rank != Card::kJack && rank != Card::kQueen && rank != Card::kKing);
    }
    auto click = [&](int slot) {
        Click(BlockSolitaireGame::SlotX(slot) + 20, BlockSolitaireGame::SlotY(slot) + 30);
    };
    // The cards go to their slots by swapping, and the stock is the rest of the forty.
    for (auto [slot, card] : {std::pair{0, Card(0, Card::kAce)}, std::pair{5, Card(1, Card::kTen)},
                              std::pair{6, Card(2, 3)}, std::pair{11, Card(3, 4)}}) {
        auto found = std::find(game.position.cells.begin(), game.position.cells.end(), card);
        if (found != game.position.cells.end()) std::swap(*found, game.Cell(slot));
        else game.Cell(slot) = card;
    }
    game.deck.IncludeAll();
    for (int rank : {Card::kJack, Card::kQueen, Card::kKing}) game.deck.ExcludeRank(rank);
    for (int slot = 0; slot < BlockSolitaireGame::kSlots; ++slot) game.deck.Exclude(game.Cell(slot));
    game.CheckGameOver();
    click(0);
    click(6);
    EXPECT_EQ(game.selectedCount, 1) << "Ace and Five fail: the first stays selected";
    click(0);
    EXPECT_EQ(game.selectedCount, 0);
    click(0);
    const Card nextInStock = game.deck.Peek(0);
    click(5);
    EXPECT_EQ(game.points, 10) << "Ace and Ten";
    EXPECT_EQ(game.Cell(0), nextInStock);
    EXPECT_EQ(game.deck.Remaining(), 26);
    click(6);
    click(11);
    EXPECT_EQ(game.points, 20) << "Five and Six";

    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.Cell(6), Card(2, 3));
    EXPECT_EQ(game.points, 5);
    EXPECT_TRUE(Played("undo.wav"));
}

TEST_F(PairingTest, BlockSolitaireIsWonOnlyWithSlotsAndStockEmpty) {
    BlockSolitaireGame& game = Start<BlockSolitaireGame>();
    userPreferences.AutoGameOver = 1;
    game.position.cells.fill(Card());
    EXPECT_TRUE(game.CheckGameOver());
    EXPECT_FALSE(game.IsWon()) << "cards remain in the stock";
    EmptyStock(game);
    EXPECT_TRUE(game.IsWon());
    game.SaveUndo();
    auto record = game.PopUndoRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), BlockSolitaireGame::kRecordSize);
    EXPECT_EQ(record->size(), 960u + 96 + 12 + 12);
}

}  // namespace

// ---- The model of play ----

namespace {

TEST(PairingModelTest, APairRefillsTheEmptiedPlacesFirstToLastAndAGroupGoesWhole) {
    PairingModel::Position position;
    position.places = 13;
    position.pairSum = 10;
    position.refills = position.groups = 1;
    for (int place = 0; place < 13; ++place) position.cells[place] = Card(place % 4, place / 4);  // all low
    position.cells[2] = Card(3, 1);  // Three
    position.cells[7] = Card(1, 5);  // Seven
    position.cells[9] = Card(3, Card::kTen);  // and the Jack, Queen and King of that suit
    position.cells[10] = Card(3, Card::kJack);
    position.cells[11] = Card(3, Card::kQueen);
    position.cells[12] = Card(3, Card::kKing);
    position.stockCount = 2;
    position.stock[0] = Card(2, 3);
    position.stock[1] = Card(2, 2);  // dealt first
    MoveList moves;
    PairingModel::Moves(position, moves);
    const PlayMove pair{.kind = PlayMove::kMove, .from = 2, .to = 7};
    const PlayMove group{.kind = PlayMove::kSelect, .from = 9, .count = 4};
    ASSERT_NE(std::find(moves.begin(), moves.end(), pair), moves.end());
    ASSERT_NE(std::find(moves.begin(), moves.end(), group), moves.end());
    EXPECT_EQ(PairingModel::Apply(position, pair), 10);
    EXPECT_EQ(position.cells[2], Card(2, 2));
    EXPECT_EQ(position.cells[7], Card(2, 3));
    EXPECT_EQ(PairingModel::Apply(position, group), 20);
    EXPECT_EQ(position.points, 30);
    for (int place = 9; place < 13; ++place) EXPECT_FALSE(position.cells[place].IsValid());
    EXPECT_FALSE(PairingModel::Won(position));
}

TEST(PairingModelTest, PilesGiveUpTheirTopCardsAndAnEmptyTableWins) {
    PairingModel::Position position;
    position.places = 2;
    position.cellsPerPlace = 2;
    position.pairSum = 14;
    position.cells = {};
    position.cells[0] = Card(0, 5);  // Seven under
    position.cells[1] = Card(0, 8);  // Ten
    position.cells[2] = Card(1, 0);  // Two
    position.cells[3] = Card(1, 5);  // Seven
    MoveList moves;
    PairingModel::Moves(position, moves);
    EXPECT_TRUE(moves.empty()) << "Ten and Seven make 17";
    EXPECT_TRUE(PairingModel::Over(position));
    position.cells[1] = Card();
    position.cells[3] = Card();
    position.cells[0] = Card(0, 5);
    position.cells[2] = Card(1, 5);
    PairingModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 1u);
    PairingModel::Apply(position, moves[0]);
    EXPECT_TRUE(PairingModel::Won(position));
}

}  // namespace
