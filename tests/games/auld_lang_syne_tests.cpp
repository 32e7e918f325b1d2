// Auld Lang Syne: suit-free foundations, ending early, "FilledIn" and the model's moves.

#include "games/auld_lang_syne.h"
#include "tests/games/ruled_game_test.h"

namespace {

using Auld = AuldLangSyneGame;

class AuldLangSyneTest : public RuledGameTest<AuldLangSyneGame> {
protected:
    static void SetPile(Auld& game, int pile, std::initializer_list<Card> cards) {
        game.position.piles[pile].fill(Card());
        int i = 0;
        for (Card card : cards) game.position.piles[pile][i++] = card;
        game.position.pileCounts[pile] = i;
    }
};

TEST_F(AuldLangSyneTest, FoundationsRunAceToKingInAnySuitAndStopThere) {
    Auld& game = Start<Auld>();
    EXPECT_EQ(game.position.startRank, Card::kAce);
    EXPECT_EQ(game.deck.Remaining(), 48) << "the first row is dealt";
    EXPECT_FALSE(Auld::Model::Fits(game.position, Card(0, 0), 0)) << "an empty foundation takes only the starting rank";
    game.position.foundations[0] = Card(1, Card::kAce);
    for (int rank = 0; rank <= Card::kKing; ++rank) {
        const Card next(rank % 4, rank);
        ASSERT_TRUE(Auld::Model::Fits(game.position, next, 0)) << rank;
        game.position.foundations[0] = next;
    }
    EXPECT_EQ(Auld::Model::FoundationCount(game.position, 0), 13);
    EXPECT_FALSE(Auld::Model::Fits(game.position, Card(2, Card::kAce), 0)) << "a fourteenth card";
}

// Emptied piles with cards still in the stock are not a win: ending the game there through the
// menu must show the losing screen, or "&End Game" would be a way to win any deal.
TEST_F(AuldLangSyneTest, EndingEarlyWithEmptyPilesIsNoWin) {
    Auld& game = Start<Auld>();
    for (int pile = 0; pile < 4; ++pile) SetPile(game, pile, {});
    ASSERT_GT(game.deck.Remaining(), 0);
    ASSERT_TRUE(Choose(kCommandEndGame));
    EXPECT_TRUE(game.gameOver);
    EXPECT_FALSE(game.IsWon());
    ASSERT_EQ(endScreens.size(), 1u);
    EXPECT_FALSE(endScreens[0]);
}

TEST_F(AuldLangSyneTest, FilledInStartsTheFoundationsAndCostsAQuarter) {
    SetRule("FilledIn", 1);
    SetRule("StartCard", 4);  // Six
    Auld& game = Start<Auld>();
    for (int suit = 0; suit < 4; ++suit) EXPECT_EQ(game.position.foundations[suit], Card(suit, 4));
    EXPECT_EQ(game.deck.Total(), 48);
    EXPECT_EQ(game.deck.Remaining(), 44);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 0.75);

    SetRule("FilledIn", 0);
    SetRule("StartCard", -1);
    ASSERT_TRUE(Choose(kCommandNewGame));
    EXPECT_EQ(game.position.foundations[0], game.deck.OrderAt(0)) << "the first card of the deck starts foundation 0";
    EXPECT_EQ(game.position.startRank, game.position.foundations[0].Rank());
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.0);
}

// ---- The model of play ----

TEST(AuldLangSyneModelTest, ATopCardGoesToTheFirstFoundationItFitsAndTheStockDealsARow) {
    AuldLangSyneModel::Position position;
    position.startRank = Card::kAce;
    position.pileCounts = {1, 0, 0, 13};
    position.piles[0][0] = Card(2, Card::kAce);
    for (int k = 0; k < 13; ++k) position.piles[3][k] = Card(1, (k + 6) % 13);  // a Seven on top
    position.stockCount = 2;
    position.stock[0] = Card(3, 5);
    position.stock[1] = Card(3, 4);  // dealt first
    MoveList moves;
    AuldLangSyneModel::Moves(position, moves);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[1], (PlayMove{.kind = PlayMove::kMove, .from = AuldLangSyneModel::kPilePlace,
                                  .to = AuldLangSyneModel::kFoundationPlace}))
        << "only the first of the four empty foundations";
    EXPECT_EQ(AuldLangSyneModel::Apply(position, moves[1]), 5);
    AuldLangSyneModel::Apply(position, moves[0]);
    EXPECT_EQ(position.piles[0][0], Card(3, 4));
    EXPECT_EQ(position.piles[1][0], Card(3, 5));
    EXPECT_EQ(position.pileCounts[3], 13) << "a full pile is passed over";
    EXPECT_EQ(position.stockCount, 0);
    EXPECT_TRUE(AuldLangSyneModel::Over(position));
    EXPECT_FALSE(AuldLangSyneModel::Won(position));
}

}  // namespace
