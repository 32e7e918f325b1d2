// Canfield's deal, its wrap-around building, the reserve's automatic fill, recycling and its
// game-over test on hand-built positions, all through the mouse path.

#include "games/canfield.h"
#include "tests/games/ruled_game_test.h"
#include "tests/games/model_rule_variants.h"

namespace {

constexpr int kStockClickX = CanfieldGame::kStockX + 20, kStockClickY = CanfieldGame::kStockY + 30;
constexpr int kBlack = 0, kRed = 1, kBlack2 = 2, kRed2 = 3;

class CanfieldTest : public RuledGameTest<CanfieldGame> {
protected:
    // Leaves only these cards in the stock.
    static void SetStock(CanfieldGame& game, std::initializer_list<Card> keep) {
        game.deck.SetPacks(1);
        game.deck.IncludeAll();
        for (int index = 0; index < Card::kCardsPerPack; ++index) {
            const Card card(index / 13, index % 13);
            bool kept = false;
            for (Card k : keep) kept |= k == card;
            if (!kept) game.deck.Exclude(card);
        }
    }
    static void ClearTable(CanfieldGame& game) {
        SetStock(game, {});
        game.position.waste.fill(Card());
        game.position.wasteCount = 0;
        game.position.reserve.fill(Card());
        game.position.reserveCount = 0;
        for (auto& pile : game.position.tableau) pile.fill(Card());
        game.position.pileCount.fill(0);
        game.position.foundations.fill(Card());
        game.position.recyclesUsed = 1;
    }
    static void SetPile(CanfieldGame& game, int pile, std::initializer_list<Card> cards) {
        int k = 0;
        for (Card card : cards) game.position.tableau[pile][k++] = card;
        game.position.pileCount[pile] = k;
    }
};

TEST_F(CanfieldTest, FoundationsWrapFromTheBaseRankAndPilesWrapRoundTheAce) {
    CanfieldGame& game = Start<CanfieldGame>();
    ClearTable(game);
    game.position.baseCard = Card(kRed, Card::kTen);
    game.position.foundations[0] = Card(kRed, Card::kKing);
    EXPECT_TRUE(CanfieldModel::BuildsUp(game.CurrentPosition(), Card(kRed, Card::kAce), 0))
        << "Ten .. King, then the Ace";
    EXPECT_FALSE(CanfieldModel::BuildsUp(game.CurrentPosition(), Card(kRed2, Card::kAce), 0));
    EXPECT_TRUE(CanfieldModel::BuildsUp(game.CurrentPosition(), Card(kBlack, Card::kTen), 1))
        << "an empty foundation takes the base rank";
    EXPECT_FALSE(CanfieldModel::BuildsUp(game.CurrentPosition(), Card(kBlack, Card::kAce), 1));
    EXPECT_TRUE(CanfieldModel::BuildsDown(Card(kBlack, Card::kAce), Card(kRed, Card::kTwo)));
    EXPECT_TRUE(CanfieldModel::BuildsDown(Card(kBlack, Card::kKing), Card(kRed, Card::kAce)));
    EXPECT_FALSE(CanfieldModel::BuildsDown(Card(kBlack, Card::kKing), Card(kBlack2, Card::kAce)));
}

TEST_F(CanfieldTest, WholePileOrTopCardOnlyUnlessPartialMoves) {
    CanfieldGame& game = Start<CanfieldGame>();
    ClearTable(game);
    game.position.baseCard = Card(kBlack, Card::kTwo);
    game.position.foundations[0] = Card(kBlack, Card::kTwo);
    SetPile(game, 0, {Card(kRed, 8), Card(kBlack, 7), Card(kRed, 6)});
    SetPile(game, 1, {Card(kBlack2, 9)});
    SetPile(game, 2, {Card(kBlack2, 4)});
    SetPile(game, 3, {Card(kBlack2, 5)});
    game.CheckGameOver();
    int fromPile = 0, wholePiles = 0;
    for (const Hotspot& spot : game.pickups) {
        if (spot.x != CanfieldGame::ColumnX(0)) continue;
        ++fromPile;
        wholePiles += spot.count == 3 && spot.y == CanfieldGame::CardY(0);
    }
    EXPECT_EQ(fromPile, 2) << "the top card and the whole pile";
    EXPECT_EQ(wholePiles, 1);
    // The whole pile, red Ten down to red Eight, goes on the black Jack.
    Drag(CanfieldGame::ColumnX(0) + 10, CanfieldGame::CardY(0) + 5, CanfieldGame::ColumnX(1) + 10,
         CanfieldGame::CardY(1) + 10);
    EXPECT_EQ(game.position.pileCount[0], 0);
    EXPECT_EQ(game.position.pileCount[1], 4);
    EXPECT_EQ(game.points, 0) << "pile to pile earns nothing";

    SetRule("MovePartial", 1);
    game.CheckGameOver();
    Drag(CanfieldGame::ColumnX(1) + 10, CanfieldGame::CardY(2) + 5, CanfieldGame::ColumnX(0) + 10,
         CanfieldGame::CardY(0) + 10);
    EXPECT_EQ(game.position.pileCount[1], 2);
    EXPECT_EQ(game.position.pileCount[0], 2);
}

TEST_F(CanfieldTest, EmptyPileFillsFromTheReserveAndRefusesTheWaste) {
    CanfieldGame& game = Start<CanfieldGame>();
    ClearTable(game);
    game.position.recyclesUsed = 0;
    SetStock(game, {Card(kRed, 3)});
    game.position.baseCard = Card(kBlack, Card::kAce);
    game.position.foundations[0] = Card(kBlack, Card::kAce);
    game.position.reserve[0] = Card(kRed, Card::kKing);
    game.position.reserve[1] = Card(kBlack, 3);
    game.position.reserveCount = 2;
    game.position.waste[0] = Card(kRed2, Card::kQueen);
    game.position.wasteCount = 1;
    SetPile(game, 0, {Card(kBlack, Card::kTwo)});
    SetPile(game, 1, {Card(kBlack2, 7)});
    SetPile(game, 2, {Card(kBlack2, Card::kTen)});
    SetPile(game, 3, {Card(kBlack, 5)});
    game.CheckGameOver();

    DragRecord queen;
    queen.cards[0] = game.position.waste[0];
    queen.count = 1;
    DropTarget empty{CanfieldGame::ColumnX(0), CanfieldGame::CardY(0), {}, kPlainTargetKind};
    game.position.pileCount[0] = 0;
    EXPECT_FALSE(game.CanDrop(queen, empty)) << "FillFromStock keeps an empty pile for the reserve";
    SetRule("FillFromStock", 0);
    EXPECT_TRUE(game.CanDrop(queen, empty));
    SetRule("FillFromStock", 1);
    game.position.pileCount[0] = 1;
    game.CheckGameOver();

    // The Two goes home; the empty pile takes the reserve's Five at once.
    Drag(CanfieldGame::ColumnX(0) + 10, CanfieldGame::CardY(0) + 5, CanfieldGame::ColumnX(0) + 10,
         CanfieldGame::kFoundationY + 10);
    EXPECT_EQ(game.position.foundations[0], Card(kBlack, Card::kTwo));
    EXPECT_EQ(game.position.pileCount[0], 1);
    EXPECT_EQ(game.position.tableau[0][0], Card(kBlack, 3));
    EXPECT_EQ(game.position.reserveCount, 1);
    EXPECT_EQ(game.points, 5 + 5 + 5) << "pile to foundation 5, the fill 5 for the reserve card and 5 more";
}

TEST_F(CanfieldTest, RecyclesCostFiveAndAreLimited) {
    SetRule("Recycles", 1);
    CanfieldGame& game = Start<CanfieldGame>();
    for (int click = 0; click < 34; ++click) Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.deck.Remaining(), 0);
    EXPECT_EQ(game.position.wasteCount, 34);
    const Card firstTurned = game.position.waste[0];
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.recyclesUsed, 1);
    EXPECT_EQ(game.deck.Remaining(), 34);
    EXPECT_EQ(game.deck.Peek(0), firstTurned) << "the stock comes back in its old order";
    EXPECT_EQ(game.points, -5);
    EXPECT_TRUE(Played("shuffle.wav"));
    // Undo takes the recycle back but not the count of recycles used.
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.wasteCount, 34);
    EXPECT_EQ(game.position.recyclesUsed, 1);
    EXPECT_EQ(game.points, -5) << "the recorded 0 less the undo penalty";
    const int records = game.undo.Count();
    Click(kStockClickX, kStockClickY);
    EXPECT_EQ(game.position.wasteCount, 34) << "no second recycle";
    EXPECT_EQ(game.undo.Count(), records);
}

TEST_F(CanfieldTest, GameOverOnlyWhenNothingCanMove) {
    userPreferences.AutoGameOver = 1;
    CanfieldGame& game = Start<CanfieldGame>();
    ClearTable(game);
    game.position.baseCard = Card(kBlack, Card::kAce);
    game.position.foundations[0] = Card(kBlack, Card::kAce);
    SetPile(game, 0, {Card(kRed, 5)});
    SetPile(game, 1, {Card(kRed2, 9)});
    SetPile(game, 2, {Card(kRed, Card::kKing)});
    SetPile(game, 3, {Card(kRed2, 2)});
    game.position.waste[0] = Card(kBlack2, 3);
    game.position.wasteCount = 1;
    EXPECT_TRUE(game.CheckGameOver()) << "no recycle left and nothing fits";
    EXPECT_FALSE(game.IsWon());
    game.position.waste[0] = Card(kBlack2, 1);  // a black Three on the red Four
    EXPECT_FALSE(game.CheckGameOver());
    game.position.waste[0] = Card(kBlack2, 3);
    SetStock(game, {Card(kBlack, 0)});  // the black Two would go home
    EXPECT_FALSE(game.CheckGameOver());
}

TEST_F(CanfieldTest, UndoRecordHasItsSizeAndRestoresTheMove) {
    CanfieldGame& game = Start<CanfieldGame>();
    Click(kStockClickX, kStockClickY);
    ASSERT_EQ(game.undo.Count(), 1);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.wasteCount, 0);
    EXPECT_EQ(game.deck.Remaining(), 34);
    EXPECT_EQ(game.points, -5);
    EXPECT_TRUE(Played("undo.wav"));
}

// The model and the mouse agree under rule values other than the defaults.
TEST_F(ModelRuleVariantsTest, Canfield) {
    ExpectMouseMakesModelMoves<CanfieldGame>("Canfield",
        {{"MovePartial", 1}, {"Recycles", 99999}, {"CardsDealt", 3}, {"FillFromStock", 0}}, 4);
    ExpectMouseMakesModelMoves<CanfieldGame>("Canfield", {{"Recycles", 2}, {"CardsDealt", 2}}, 5);
}

}  // namespace
