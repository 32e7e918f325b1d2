// Agnes: the deal and the reserve fed by the stock, wrap-round building with the starting rank
// kept off the piles, scoring, the game-over test on hand-built positions and the undo record,
// through the mouse path.
#include "games/agnes.h"
#include "tests/games/ruled_game_test.h"

namespace {

void SetReserve(AgnesModel::Position& p, int pile, std::initializer_list<Card> cards) {
    p.reserve[pile].fill(Card());
    int k = 0;
    for (Card card : cards) p.reserve[pile][k++] = card;
    p.reserveCount[pile] = k;
}

class AgnesTest : public RuledGameTest<AgnesGame> {
protected:
    // An empty table: no stock, no piles, no reserve, empty foundations.
    static void ClearTable(AgnesGame& game) {
        ClearPlaces(game);
        for (int pile = 0; pile < AgnesModel::kReservePiles; ++pile) SetReserve(game.position, pile, {});
    }
    static bool EmptyPileTakes(AgnesGame& game, Card card) {
        return Accepts(game, {card}, AgnesGame::PileX(0), AgnesGame::kTableauY);
    }
};

TEST_F(AgnesTest, EmptyPileTakesOnlyTheRankBelowTheStart) {
    SetRule("StartCard", Card::kAce);
    AgnesGame& game = Start<AgnesGame>();
    ClearTable(game);
    SetPile(game, 1, {Card(kBlack, 9)});
    game.CheckGameOver();
    EXPECT_TRUE(EmptyPileTakes(game, Card(kRed, Card::kKing)));
    EXPECT_FALSE(EmptyPileTakes(game, Card(kRed, 10)));

    SetRule("StartCard", 3);  // Five: only a Four fills a pile
    ASSERT_TRUE(Choose(kCommandNewGame));
    ClearTable(game);
    game.CheckGameOver();
    EXPECT_TRUE(EmptyPileTakes(game, Card(kRed, 2)));
    EXPECT_FALSE(EmptyPileTakes(game, Card(kRed, Card::kKing)));
    EXPECT_FALSE(EmptyPileTakes(game, Card(kRed, 3))) << "the starting rank goes only to a foundation";
    game.rules.tableauStart = 0;
    EXPECT_TRUE(EmptyPileTakes(game, Card(kRed, 3))) << "unless empty piles take any card";
    // Building wraps round: a black Ace on a red Two, a King on the Ace; never a Five on a Six.
    ExpectFits([&](Card card, Card onto, bool home) { return AgnesModel::CanPlay(game.CurrentPosition(), card, onto, home); },
               {{Card(kBlack, Card::kAce), Card(kRed, 0), false, true},
                {Card(kRed, Card::kKing), Card(kBlack, Card::kAce), false, true},
                {Card(kBlack, 3), Card(kRed, 4), false, false},
                {Card(kRed, Card::kKing), Card(kRed, Card::kAce), false, false, "same colour"},
                {Card(kRed, Card::kAce), Card(kRed, Card::kKing), true, true}});
}

// The model's game-over test on positions built by hand.
TEST(AgnesModelTest, OverOnlyWhenNothingCanMove) {
    using model_positions::SetPile;
    AgnesModel::Position p;
    p.startRank = p.rules.startCard = Card::kAce;
    p.foundations[0] = Card(kBlack, Card::kAce);
    SetPile(p, 0, {Card(kRed, 5)});
    SetPile(p, 1, {Card(kBlack2, 2), Card(kRed, 9)}, 1);
    SetPile(p, 2, {Card(kBlack, 9), Card(kRed, 10)}, 1);
    SetReserve(p, 0, {Card(kBlack, 3)});
    EXPECT_TRUE(AgnesModel::Over(p)) << "nothing fits anywhere";
    EXPECT_FALSE(AgnesModel::Won(p));
    SetReserve(p, 0, {Card(kBlack, 0)});  // the black Two goes on its Ace
    EXPECT_FALSE(AgnesModel::Over(p));
    SetReserve(p, 0, {Card(kBlack, 3)});
    model_positions::SetStock(p, {Card(kRed2, 4)});
    EXPECT_FALSE(AgnesModel::Over(p)) << "the stock can still be dealt";
    model_positions::SetStock(p, {});
    // No empty pile: the red Seven could go on the black Eight, emptying its pile.
    SetPile(p, 3, {Card(kBlack2, 6)});
    SetPile(p, 4, {Card(kRed, Card::kKing)});
    SetPile(p, 5, {Card(kRed2, 1)});
    SetPile(p, 6, {Card(kRed2, 8)});
    EXPECT_TRUE(AgnesModel::Over(p)) << "an emptied pile that nothing can fill helps nothing";
    SetPile(p, 4, {Card(kBlack2, 7), Card(kRed, Card::kKing)}, 1);
    EXPECT_FALSE(AgnesModel::Over(p)) << "a King over a face-down card could fill it";
    p.rules.tableauStart = 0;
    SetPile(p, 4, {Card(kRed, Card::kKing)});
    EXPECT_FALSE(AgnesModel::Over(p)) << "any card fills an empty pile";
}

TEST_F(AgnesTest, UndoRecordHoldsThePositionAndTheStartIsWorkedOutAgain) {
    SetRule("StartCard", 3);
    AgnesGame& game = Start<AgnesGame>();
    const Card firstReserve = game.deck.Peek(0);
    ClickStock();
    ASSERT_EQ(game.undo.Count(), 1);
    EXPECT_EQ(game.position.reserve[0][0], firstReserve);

    // A new deal with another starting rank, then Undo back into the first deal.
    ClickStock();
    SetRule("StartCard", 7);
    SetRule("FilledIn", 1);
    ASSERT_TRUE(Choose(kCommandNewGame));
    EXPECT_EQ(game.position.startRank, 7);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.deck.Remaining(), 17);
    EXPECT_EQ(game.position.reserveCount[0], 1);
    for (int f = 0; f < 4; ++f) EXPECT_FALSE(game.position.foundations[f].IsValid());
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.deck.Remaining(), 24);
    EXPECT_EQ(game.position.reserveCount[0], 0);
    EXPECT_EQ(game.points, -5) << "the recorded points less the undo penalty";
    EXPECT_TRUE(Played("undo.wav"));

    // Foundations tell the starting rank: a record of the filled-in deal restores its Nines.
    ASSERT_TRUE(Choose(kCommandNewGame));
    ClickStock();
    SetRule("StartCard", 2);
    SetRule("FilledIn", 0);
    ASSERT_TRUE(Choose(kCommandNewGame));
    EXPECT_EQ(game.position.startRank, 2);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.startRank, 7);
    for (int suit = 0; suit < 4; ++suit) EXPECT_EQ(game.position.foundations[suit], Card(suit, 7));
    // A record with a card in hand is refused.
    std::vector<uint8_t> damaged = test_support::ReadBytes(UndoJournal::RecordPath(1));
    for (int i = 0; i < 8; ++i) damaged[960 + 32 + i] = 0;  // a black Two in hand
    EXPECT_FALSE(game.RestoreRecord(damaged));
}

}  // namespace
