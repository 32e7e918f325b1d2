// Four Seasons and Simplicity: building round the corner on piles and foundations and winning,
// through the table on hand-built positions; the game-over look-ahead on the model alone. Their
// recycles are in shared_rules_tests.cpp.
#include "games/four_seasons.h"
#include "games/simplicity.h"
#include "tests/games/ruled_game_test.h"

namespace {

template <typename Game>
class TopCardTest : public RuledGameTest<Game> {
protected:
    // An empty table with the stock dealt out and no recycle left.
    static void ClearTable(Game& game) {
        RuledGameTest<Game>::ClearPlaces(game);
        game.position.recyclesUsed = 1;
    }
};
using FourSeasonsTest = TopCardTest<FourSeasonsGame>;
using SimplicityTest = TopCardTest<SimplicityGame>;
using Seasons = FourSeasonsGame;

TEST_F(FourSeasonsTest, BuildingWrapsRoundOnFoundationsAndPiles) {
    SetRule("StartCard", 3);  // Five
    Seasons& game = Start<Seasons>();
    for (Card top : game.position.foundations) EXPECT_FALSE(top.IsValid());
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(Accepts(game, {Card(k, 3)}, Seasons::kFoundationX[k], Seasons::kFoundationY[k])) << "any Five";
    EXPECT_FALSE(Accepts(game, {Card(0, 4)}, Seasons::kFoundationX[0], Seasons::kFoundationY[0]));

    // Five .. King, Ace, Two .. Four of one suit.
    Card top(2, 3);
    for (int step = 0; step < 12; ++step) {
        const Card next(2, (top.Rank() + 1) % Card::kRankCount);
        ASSERT_TRUE(FourSeasonsModel::CanPlay(next, top, true)) << step;
        top = next;
    }
    EXPECT_EQ(top, Card(2, 2));
    ExpectFits(FourSeasonsModel::CanPlay, {{Card(1, Card::kAce), Card(2, Card::kKing), true, false, "foundations keep their suit"},
                                           {Card(1, Card::kKing), Card(0, Card::kAce), false, true, "King on Ace, any suit"},
                                           {Card(0, 5), Card(2, 6), false, true, "Seven on Eight of the same colour"},
                                           {Card(1, 5), Card(2, 6), false, true},
                                           {Card(1, 6), Card(2, 5), false, false}});

    ClearTable(game);
    EXPECT_TRUE(Accepts(game, {Card(1, 9)}, Seasons::kPileX[2], Seasons::kPileY[2])) << "an empty pile takes anything";
    for (int i = 0; i < 13; ++i) game.position.piles[2][i] = Card(i % 4, 12 - i);
    game.position.pileCount[2] = 13;
    EXPECT_FALSE(Accepts(game, {Card(3, 11)}, Seasons::kPileX[2], Seasons::kPileY[2])) << "a full pile takes nothing";
}

// The points and sounds of its moves are the same at any starting rank; the golden traces keep them.
TEST(SimplicityModelTest, BuildingInAlternatingColours) {
    ExpectFits(SimplicityModel::CanPlay, {{Card(kBlack, Card::kKing), Card(kRed, Card::kAce), false, true},
                                          {Card(kBlack, Card::kKing), Card(kBlack2, Card::kAce), false, false},
                                          {Card(kRed, Card::kAce), Card(kRed, Card::kKing), true, true}});
}

// The model's game-over look-ahead through the piles, on positions built by hand.
TEST(FourSeasonsModelTest, OverLooksAheadThroughThePiles) {
    using model_positions::SetPile;
    using Model = Seasons::Model;
    Model::Position p;
    p.startRank = p.startCard = 3;
    p.recyclesUsed = 1;
    p.foundations[0] = Card(0, 3);  // Five of suit 0, wants the Six
    SetPile(p, 0, {Card(1, 9)});     // Jack
    SetPile(p, 1, {Card(2, 0)});     // Two
    SetPile(p, 2, {Card(3, 7)});     // Nine
    SetPile(p, 3, {Card(1, 1)});     // Three
    SetPile(p, 4, {Card(2, 11)});    // King
    EXPECT_TRUE(Model::Over(p)) << "nothing moves anywhere";

    // The Queen on the Jack's pile can go on the King, uncovering a Six for the foundation.
    SetPile(p, 0, {Card(0, 4), Card(1, 10)});
    EXPECT_FALSE(Model::Over(p));
    SetPile(p, 0, {Card(1, 10)});
    EXPECT_TRUE(Model::Over(p)) << "clearing the pile helps only with a waste card to fill it";
    model_positions::SetWaste(p, {Card(3, 8)});
    p.recyclesUsed = 5;
    EXPECT_FALSE(Model::Over(p));
}

TEST_F(FourSeasonsTest, WinningNeedsEveryFoundationToEndBelowTheStart) {
    SetRule("StartCard", 0);  // Two: foundations end with the Ace
    SetRule("FilledIn", 1);
    Seasons& game = Start<Seasons>();
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 0.9);
    for (int suit = 0; suit < 4; ++suit) EXPECT_EQ(game.position.foundations[suit], Card(suit, 0));
    for (int suit = 0; suit < 4; ++suit) game.position.foundations[suit] = Card(suit, Card::kAce);
    EXPECT_TRUE(game.IsWon());
    game.position.foundations[2] = Card(2, Card::kKing);
    EXPECT_FALSE(game.IsWon());
}

}  // namespace
