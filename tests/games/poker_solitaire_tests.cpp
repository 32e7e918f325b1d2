// Poker Solitaire: hands under both tables, reserves, scoring a full grid and winning against the
// high-score table.
#include "games/poker_solitaire.h"
#include "store/high_scores.h"
#include "tests/games/ruled_game_test.h"

namespace {

using Poker = PokerSolitaireGame;

class PokerTest : public RuledGameTest<PokerSolitaireGame> {
protected:
    void ClickCell(int i) { Click(Poker::CellX(i) + 20, Poker::CellY(i) + 30); }
};

std::array<Card, 5> Hand(std::initializer_list<Card> cards) {
    std::array<Card, 5> hand;
    std::copy(cards.begin(), cards.end(), hand.begin());
    return hand;
}

TEST_F(PokerTest, HandsScoreUnderBothTables) {
    const auto royal = Hand({Card(2, 8), Card(2, 9), Card(2, 10), Card(2, 11), Card(2, 12)});
    EXPECT_EQ(Poker::Model::ScoreHand(royal, true), 100);
    EXPECT_EQ(Poker::Model::ScoreHand(royal, false), 30);
    const auto lowMixed = Hand({Card(0, 12), Card(1, 0), Card(2, 1), Card(3, 2), Card(0, 3)});
    EXPECT_EQ(Poker::Model::ScoreHand(lowMixed, true), 0) << "Ace to Five is no straight";
    const auto lowSuited = Hand({Card(1, 12), Card(1, 0), Card(1, 1), Card(1, 2), Card(1, 3)});
    EXPECT_EQ(Poker::Model::ScoreHand(lowSuited, true), 20);
    EXPECT_EQ(Poker::Model::ScoreHand(lowSuited, false), 5);
    const auto fullHouse = Hand({Card(0, 11), Card(1, 11), Card(0, 2), Card(1, 2), Card(2, 2)});
    EXPECT_EQ(Poker::Model::ScoreHand(fullHouse, true), 25);
    EXPECT_EQ(Poker::Model::ScoreHand(fullHouse, false), 10);
    EXPECT_EQ(Poker::Model::ClassifyHand(Hand({Card(0, 3), Card(1, 4), Card(2, 5), Card(3, 6), Card(0, 7)})), Poker::Model::kStraight);
    EXPECT_EQ(Poker::Model::ClassifyHand(Hand({Card(0, 3), Card(1, 3), Card(2, 3), Card(3, 3), Card(0, 7)})), Poker::Model::kFourOfAKind);
    EXPECT_EQ(Poker::Model::ClassifyHand(Hand({Card(0, 3), Card(1, 3), Card(2, 5), Card(3, 5), Card(0, 7)})), Poker::Model::kTwoPair);
    EXPECT_EQ(Poker::Model::ClassifyHand(Hand({Card(0, 3), Card(1, 4), Card(2, 5), Card(3, 6), Card(0, 8)})), Poker::Model::kNothing);
}

TEST_F(PokerTest, ReservesCostThreePointsEachTimeAndKeepToTheirCapacity) {
    Poker& game = Start<Poker>();
    EXPECT_TRUE(std::none_of(game.dropTargets.begin(), game.dropTargets.end(),
                             [](const DropTarget& t) { return t.kind == Poker::kReserveKind; }));
    SetRule("ReservePiles", 2);
    ASSERT_TRUE(Choose(kCommandNewGame));
    const Card first = game.position.current;
    Drag(Poker::kCurrentX + 20, Poker::kCurrentY + 20, Poker::ReserveX(0) + 20, Poker::kReserveY + 20);
    EXPECT_EQ(game.position.reserveCounts[0], 1);
    EXPECT_EQ(game.points, -3);
    EXPECT_TRUE(Played("reserve.wav"));
    const Card second = game.position.current;
    ASSERT_TRUE(second.IsValid());
    Drag(Poker::kCurrentX + 20, Poker::kCurrentY + 20, Poker::ReserveX(0) + 20, Poker::ReserveCardY(1) + 20);
    EXPECT_EQ(game.position.current, second) << "one card per pile";
    Drag(Poker::ReserveX(0) + 20, Poker::kReserveY + 20, Poker::ReserveX(1) + 20, Poker::kReserveY + 20);
    EXPECT_EQ(game.position.reserves[1][0], first);
    EXPECT_EQ(game.points, -6) << "moving between reserves costs again";
    EXPECT_EQ(game.position.current, second) << "a reserve card brings no new card";
}

TEST_F(PokerTest, AFullGridIsScoredAndWinsAgainstAShortTable) {
    Poker& game = Start<Poker>();
    for (int i = 0; i < 24; ++i) ClickCell(i);
    ASSERT_FALSE(game.gameOver);
    ClickCell(24);
    ASSERT_TRUE(game.gameOver);
    EXPECT_EQ(game.finalScore, game.hands.total);
    EXPECT_EQ(game.EndSequenceCount(), 1);
    EXPECT_TRUE(game.IsWon()) << "a short table counts every score from 0 as a win";
    ASSERT_EQ(endScreens.size(), 1u);
    EXPECT_TRUE(endScreens[0]);
    EXPECT_TRUE(messages.empty());
}

TEST_F(PokerTest, ANegativeScoreLosesAndEnglishScoringIsAString) {
    {
        SettingsKey key(GameSettingsPath("Poker Solitaire"));
        WriteStringValue(key, "Scoring", "English");
    }
    Poker& game = Start<Poker>();
    EXPECT_FALSE(game.position.american);
    game.points = -20;
    ASSERT_TRUE(Choose(kCommandEndGame));
    EXPECT_EQ(game.finalScore, -20);
    EXPECT_FALSE(game.IsWon());
    ASSERT_EQ(endScreens.size(), 1u);
    EXPECT_FALSE(endScreens[0]);
}

// The last card may come from a reserve: the full grid is still scored, because the game is
// over either way and ending it unscored would lose the player's hands.
TEST_F(PokerTest, AGridFilledFromAReserveIsScored) {
    SetRule("ReservePiles", 1);
    Poker& game = Start<Poker>();
    for (int i = 0; i < 24; ++i) ClickCell(i);
    const int reserveX = Poker::ReserveX(0) + 20, reserveY = Poker::ReserveCardY(0) + 30;
    Drag(Poker::kCurrentX + 20, Poker::kCurrentY + 30, reserveX, reserveY);
    ASSERT_EQ(game.position.reserveCounts[0], 1);
    ASSERT_TRUE(game.position.current.IsValid()) << "a new card was drawn";
    Drag(reserveX, reserveY, Poker::CellX(24) + 20, Poker::CellY(24) + 30);
    ASSERT_TRUE(game.gameOver);
    EXPECT_EQ(game.EndSequenceCount(), 1);
    EXPECT_EQ(game.finalScore, game.hands.total - 3);
}

// A game ended from the menu is over, so its hand scores are drawn beside the grid.
TEST_F(PokerTest, EndGameDrawsTheHandScores) {
    Poker& game = Start<Poker>();
    ClickCell(0);
    ASSERT_TRUE(Choose(kCommandEndGame));
    ASSERT_TRUE(game.gameOver);
    game.Draw(true);
    // Row 0's score stands left of the row; compare that strip with the bare table.
    const int left = Poker::CellX(0) - 24, right = Poker::CellX(0) - 2;
    const int middle = Poker::CellY(0) + artwork->cardHeight * 55 / 100;
    const std::vector<Pixel> shown = Region(left, middle - 14, right, middle + 14);
    artwork->RestoreBackground(left, right, middle - 14, middle + 14);
    EXPECT_NE(Region(left, middle - 14, right, middle + 14), shown) << "the row's score is drawn";
}

// ---- The model of play ----

TEST(PokerModelTest, TheLastCellScoresTheHandsAndReservesCostEachDrop) {
    PokerSolitaireModel::Position position;
    position.reservePiles = 1;
    position.cardsPerPile = 1;
    // Rows of one rank each (ranks 0..4, suits 0..3 and one more) leave the last cell empty.
    for (int cell = 0; cell < 24; ++cell) position.grid[cell] = Card(cell % 5 % 4, cell / 5 + (cell % 5 == 4 ? 5 : 0));
    position.current = Card(3, 9);
    position.stockCount = 1;
    position.stock[0] = Card(3, 10);
    MoveList moves;
    PokerSolitaireModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 2u) << "the last cell and the reserve";
    PokerSolitaireModel::Position toReserve = position;
    EXPECT_EQ(PokerSolitaireModel::Apply(toReserve, moves[1]), -3);
    EXPECT_EQ(toReserve.current, Card(3, 10)) << "the next card is turned";
    PokerSolitaireModel::Moves(toReserve, moves);
    ASSERT_EQ(moves.size(), 3u) << "the current card or the reserve card to the cell, and the reserve card back onto "
                                   "its pile";
    PokerSolitaireModel::Moves(position, moves);
    const int scored = PokerSolitaireModel::Apply(position, moves[0]);
    EXPECT_TRUE(PokerSolitaireModel::Over(position));
    EXPECT_GT(scored, 0);
    EXPECT_EQ(position.points, scored);
    EXPECT_EQ(position.stockCount, 1) << "nothing is turned after the grid is full";
}

}  // namespace
