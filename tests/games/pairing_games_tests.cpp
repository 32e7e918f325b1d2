// The click-to-pair games without rule values: Simple Addition's end with a group showing, the
// undo records the layouts refuse, and the shared model's refilling, groups and piles.
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
};

void SetSlots(SimpleAdditionGame& game, std::initializer_list<std::pair<int, Card>> cards) {
    game.position.cells.fill(Card());
    for (auto [slot, card] : cards) game.Cell(slot) = card;
    game.CheckGameOver();
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
}

// A record whose cells leave a hole in a pile, or hold a court card where the game deals none,
// is refused; the record as saved is taken.
TEST_F(PairingTest, UndoRecordsRefuseHolesInPilesAndCourtCardsInForty) {
    // The fifth pile holds four cards: its third moves up to the fifth slot.
    EXPECT_FALSE(RestoresDamagedRecord(Start<TakeFourteenGame>(), [](auto cells) {
        std::copy_n(cells + 22 * 8, 8, cells + 24 * 8);
        std::fill_n(cells + 22 * 8, 8, 0xFF);
    }));
    EXPECT_FALSE(RestoresDamagedRecord(Start<BlockSolitaireGame>(), [](auto cells) {
        std::fill_n(cells, 8, 0);
        cells[4] = Card::kJack;  // the first slot's card becomes a Jack
    }));
}

// ---- The model of play ----

TEST(PairingModelTest, APairRefillsTheEmptiedPlacesFirstToLastAndAGroupGoesWhole) {
    PairingModel::Position position;
    position.places = 13;
    position.pairSum = 10;
    position.refills = position.groups = 1;
    for (int place = 0; place < 13; ++place) position.cells[place] = Card(place % 4, place / 4);  // all low
    position.cells[2] = Card(3, 1);  // Three
    position.cells[7] = Card(1, 5);  // Seven
    for (int k = 0; k < 4; ++k) position.cells[9 + k] = Card(3, Card::kTen + k);  // Ten, Jack, Queen and King
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
