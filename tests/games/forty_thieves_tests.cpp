// Forty Thieves: the deal with its linked row and column rules, building in suit round the
// starting rank, recycling, the game-over test with its single-card look-ahead on
// hand-built positions and the undo record, through the mouse path.
#include "games/forty_thieves.h"
#include "tests/games/ruled_game_test.h"

namespace {

constexpr int kSpades = 0, kHearts = 1, kClubs = 2;

using FortyThievesTest = RuledGameTest<FortyThievesGame>;

TEST_F(FortyThievesTest, DealFollowsRowsColumnsAndFaceDownRows) {
    SetRule("Columns", 7);
    SetRule("Rows", 3);
    SetRule("RowsFaceDown", 2);
    SetRule("FilledIn", 1);
    SetRule("StartCard", -1);
    FortyThievesGame& game = Start<FortyThievesGame>();
    for (int f = 0; f < 8; ++f) EXPECT_EQ(game.position.foundations[f], Card(f % 4, game.position.startRank));
    EXPECT_EQ(game.deck.Total(), 96);
    EXPECT_EQ(game.deck.Remaining(), 96 - 21);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(game.position.pileCount[column], 3);
        EXPECT_EQ(game.position.faceDownCount[column], 2);
    }
    EXPECT_EQ(game.position.pileCount[7], 0);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 0.9 * 1.1 * 1.1 * 0.85);

    // The face-down rows stay below the rows dealt; a value beyond them reads as none.
    SetRule("Rows", 2);
    SetRule("RowsFaceDown", 3);
    EXPECT_EQ(::ReadRules<FortyThievesRules>(FortyThievesGame::kGameNumber).rowsFaceDown, 0);
}

TEST_F(FortyThievesTest, BuildingWrapsRoundTheStartingRank) {
    SetRule("StartCard", 3);  // Five
    FortyThievesGame& game = Start<FortyThievesGame>();
    ExpectFits([&](Card card, Card onto, bool home) { return FortyThievesModel::CanPlay(game.CurrentPosition(), card, onto, home); },
               {{Card(kHearts, 3), Card(), true, true},
                {Card(kHearts, 4), Card(), true, false},
                {Card(kHearts, Card::kAce), Card(kHearts, Card::kKing), true, true},
                {Card(kHearts, 0), Card(kHearts, Card::kAce), true, true},
                {Card(kSpades, 0), Card(kHearts, Card::kAce), true, false, "in suit only"},
                {Card(kSpades, 0), Card(kSpades, 1), false, true, "down in suit"},
                {Card(kClubs, 0), Card(kSpades, 1), false, false},
                {Card(kSpades, Card::kAce), Card(kSpades, 0), false, true, "an Ace on a Two"},
                {Card(kSpades, 3), Card(kSpades, 4), false, false, "the starting rank goes on no card"},
                {Card(kSpades, 3), Card(), false, true, "but any card fills an empty column"}});

    ClearPlaces(game);
    game.position.foundations[0] = Card(kSpades, 3);
    SetPile(game, 0, {Card(kSpades, 5), Card(kSpades, 4)});
    game.CheckGameOver();
    EXPECT_FALSE(Accepts(game, {Card(kSpades, 5), Card(kSpades, 4)}, FortyThievesGame::FoundationX(0),
                         FortyThievesGame::kFoundationY))
        << "a stack of two never goes to a foundation";
}

// The model's game-over test with its single-card look-ahead, on positions built by hand.
TEST(FortyThievesModelTest, OverAndItsSingleCardLookAhead) {
    using model_positions::SetPile;
    FortyThievesModel::Position p;
    p.columnsInPlay = 5;
    auto over = [&p] { return FortyThievesModel::Over(p); };
    // Five lone cards of which none fits another or a foundation.
    auto block = [&p] {
        model_positions::Clear(p);
        p.foundations[0] = Card(kSpades, Card::kAce);
        SetPile(p, 0, {Card(kClubs, 0)});
        SetPile(p, 1, {Card(kHearts, 3)});
        SetPile(p, 2, {Card(kClubs, 6)});
        SetPile(p, 3, {Card(kHearts, 9)});
        SetPile(p, 4, {Card(kSpades, Card::kKing)});
    };
    block();
    EXPECT_TRUE(over()) << "with Recycle 0 the game ends as soon as the stock is empty";
    model_positions::SetStock(p, {Card(kHearts, 5)});
    EXPECT_FALSE(over()) << "the stock can still be dealt";
    model_positions::SetStock(p, {});
    SetPile(p, 4, {Card(kSpades, 0)});
    EXPECT_FALSE(over()) << "the Two of spades goes on its Ace";

    block();
    SetPile(p, 0, {Card(kClubs, 10), Card(kHearts, 2)}, 1);
    EXPECT_FALSE(over()) << "the Four onto the Five uncovers a face-down card";
    SetPile(p, 0, {Card(kClubs, 10), Card(kClubs, 8), Card(kHearts, 2)}, 1);
    EXPECT_TRUE(over()) << "the Ten of clubs has nowhere to go";
    SetPile(p, 2, {Card(kClubs, 9)});
    EXPECT_FALSE(over()) << "Four onto Five, then Ten onto Jack";

    p.movePartial = 1;
    SetPile(p, 2, {Card(kClubs, 6)});
    EXPECT_TRUE(over());
    SetPile(p, 2, {Card(kClubs, 9)});
    EXPECT_FALSE(over()) << "the whole face-up part may go on the Jack";
}

// A column whose top card can move away uncovers a card that goes home: the look-ahead must try
// it even when no other column holds more than one card and nothing is face down.
TEST_F(FortyThievesTest, LookAheadTriesEveryColumnForAUsefulUncovering) {
    userPreferences.AutoGameOver = 1;
    SetRule("Columns", 5);
    FortyThievesGame& game = Start<FortyThievesGame>();
    ClearPlaces(game);
    game.position.foundations[0] = Card(kHearts, 0);                         // the Two of hearts
    SetPile(game, 0, {Card(kHearts, 1), Card(kSpades, 5)});        // Three of hearts under Seven of spades
    SetPile(game, 1, {Card(kSpades, 6)});                          // Eight of spades
    SetPile(game, 2, {Card(kClubs, 0)});
    SetPile(game, 3, {Card(kClubs, 9)});
    SetPile(game, 4, {Card(kHearts, Card::kKing)});
    EXPECT_FALSE(game.CheckGameOver()) << "Seven onto Eight, then the Three of hearts goes home";
    auto x = [](int column) { return FortyThievesGame::ColumnX(column, 5); };
    DragCard(x(0), FortyThievesGame::CardY(1), x(1), FortyThievesGame::CardY(1));
    ASSERT_EQ(game.position.pileCount[1], 2);
    DragCard(x(0), FortyThievesGame::CardY(0), FortyThievesGame::FoundationX(0), FortyThievesGame::kFoundationY);
    EXPECT_EQ(game.position.foundations[0], Card(kHearts, 1));
}

// The recycle ends with the count of recycles used going up: the stock is not drawn again after
// it, so an empty stock recycled from an empty waste shows the "can turn" placeholder.
TEST_F(FortyThievesTest, RecycleOfAnEmptyWasteLeavesTheTurnPlaceholder) {
    SetRule("Recycle", 1);
    FortyThievesGame& game = Start<FortyThievesGame>();
    ClearPlaces(game);
    SetPile(game, 0, {Card(kHearts, 9)});
    game.Draw(true);
    ClickStock();
    EXPECT_EQ(game.points, -5);
    const int left = FortyThievesGame::kStockX, top = FortyThievesGame::kStockY;
    const int right = left + artwork->cardWidth, bottom = top + artwork->cardHeight;
    const auto region = [&] { return Region(left, top, right, bottom); };
    const std::vector<Pixel> shown = region();
    artwork->DrawStock(left, top, artwork->cardBack, game.deck, screen, true);
    EXPECT_EQ(region(), shown) << "placeholder cell 2";
    artwork->DrawStock(left, top, artwork->cardBack, game.deck, screen, false);
    EXPECT_NE(region(), shown);
}

TEST_F(FortyThievesTest, UndoRecordSizeAndStartingRankWorkedOutAgain) {
    SetRule("StartCard", -1);
    FortyThievesGame& game = Start<FortyThievesGame>();
    EXPECT_EQ(game.position.foundations[0], game.deck.OrderAt(0)) << "the first card of the deck starts foundation 0";
    const int firstStart = game.position.startRank;
    EXPECT_EQ(firstStart, game.position.foundations[0].Rank());
    ClickStock();
    ASSERT_EQ(game.undo.Count(), 1);
    const std::vector<uint8_t> record = test_support::ReadBytes(UndoJournal::RecordPath(1));
    ClickStock();
    EXPECT_EQ(game.position.wasteCount, 2);

    SetRule("StartCard", (firstStart + 5) % 13);
    ASSERT_TRUE(Choose(kCommandNewGame));
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.startRank, firstStart) << "the previous deal's starting rank comes back with it";
    EXPECT_EQ(game.position.wasteCount, 1);
    EXPECT_EQ(game.deck.Remaining(), 62);
    EXPECT_EQ(game.points, -5);
    EXPECT_TRUE(Played("undo.wav"));

    // A record of ten columns is refused while fewer are in play.
    game.rules.columnsInPlay = 6;
    EXPECT_FALSE(game.RestoreRecord(record));
    game.rules.columnsInPlay = 10;
    EXPECT_TRUE(game.RestoreRecord(record));
    EXPECT_EQ(game.position.wasteCount, 0);
}

}  // namespace
