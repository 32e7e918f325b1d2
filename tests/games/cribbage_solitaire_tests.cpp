// Cribbage Solitaire: hand scoring and the end of a game when the grid is full.
#include "games/cribbage_solitaire.h"
#include "tests/framework/game_fixture.h"

namespace {

using Crib = CribbageSolitaireGame;

class CribbageTest : public GameTest {
protected:
    void ClickCell(int i) { Click(Crib::CellX(i) + 20, Crib::CellY(i) + 30); }
};

// Pip values: rank index = pip - 2, and the Ace (pip 1) is index 12.
Card Pip(int suit, int pip) { return Card(suit, pip == 1 ? Card::kAce : pip - 2); }

TEST_F(CribbageTest, HandsScoreFifteensPairsRunsFlushesAndNobs) {
    EXPECT_EQ(Crib::Model::ScoreHand({Pip(0, 5), Pip(1, 5), Pip(2, 5), Card(3, Card::kJack)}, Pip(3, 5)), 29);
    EXPECT_EQ(Crib::Model::ScoreHand({Pip(0, 1), Pip(1, 2), Pip(2, 3), Pip(0, 7)}, Pip(1, 7)), 7) << "Ace-Two-Three runs";
    EXPECT_EQ(Crib::Model::ScoreHand({Pip(0, 12), Pip(1, 13), Pip(2, 1), Pip(0, 6)}, Pip(1, 8)), 2) << "Queen-King-Ace does not";
    EXPECT_EQ(Crib::Model::ScoreHand({Pip(0, 2), Pip(1, 2), Pip(2, 3), Pip(0, 4)}, Pip(1, 9)), 12) << "a double run";

    const std::array<Card, 4> hearts = {Pip(1, 2), Pip(1, 4), Pip(1, 8), Pip(1, 13)};
    const int withSpade = Crib::Model::ScoreHand(hearts, Pip(0, 6));
    EXPECT_EQ(Crib::Model::ScoreHand(hearts, Pip(1, 6)) - withSpade, 1) << "a flush of five scores 5, of four 4";
    const std::array<Card, 4> threeHearts = {Pip(1, 2), Pip(1, 4), Pip(1, 8), Pip(2, 13)};
    EXPECT_EQ(withSpade - Crib::Model::ScoreHand(threeHearts, Pip(0, 6)), 4);
    EXPECT_EQ(Crib::Model::ScoreHand(threeHearts, Pip(1, 6)), Crib::Model::ScoreHand(threeHearts, Pip(0, 6)))
        << "three hearts and a heart starter are no flush";
}

// The reserve piles are the grid games' shared code and model: the Poker Solitaire tests check
// them.

TEST_F(CribbageTest, AFullGridTurnsTheStarterAndScoresOnce) {
    Crib& game = Start<Crib>();
    for (int i = 0; i < 15; ++i) ClickCell(i);
    ASSERT_FALSE(game.gameOver);
    ClickCell(15);
    ASSERT_TRUE(game.gameOver);
    ASSERT_TRUE(game.position.starter.IsValid());
    EXPECT_EQ(game.points, game.hands.total);
    EXPECT_EQ(game.finalScore, game.hands.total) << "no time cost and no win bonus";
    EXPECT_EQ(game.EndSequenceCount(), 1);
    EXPECT_TRUE(messages.empty()) << "a full grid is no blocked game";
    Tick();
    EXPECT_EQ(game.EndSequenceCount(), 1);
}

}  // namespace
