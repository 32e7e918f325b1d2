// Klondike's rule values, its stock and waste, and its game-over test on hand-built positions.
#include "games/klondike.h"
#include "tests/games/ruled_game_test.h"

namespace {

class KlondikeTest : public RuledGameTest<KlondikeGame> {
protected:
    static int StockSize(const KlondikeGame& game) { return game.deck.Remaining(); }

    // An empty table: no stock, no waste, no piles, the waste already turned once.
    static void ClearTable(KlondikeGame& game) {
        ClearPlaces(game);
        game.position.turnsUsed = 1;
    }
};

TEST_F(KlondikeTest, DefaultsLimitTheTurns) {
    KlondikeGame& game = Start<KlondikeGame>();
    for (int turn = 0; turn <= 3; ++turn) {
        if (turn > 0) ClickStock();  // turn the waste over
        EXPECT_EQ(game.position.turnsUsed, turn);
        EXPECT_EQ(StockSize(game), 24);
        for (int click = 0; click < 8; ++click) ClickStock();
        EXPECT_EQ(StockSize(game), 0);
        EXPECT_EQ(game.position.wasteCount, 24);
    }
    EXPECT_TRUE(Played("flip.wav"));
    EXPECT_TRUE(Played("shuffle.wav"));
    EXPECT_EQ(game.points, -15);
    const int records = game.undo.Count();
    ClickStock();
    EXPECT_EQ(game.position.turnsUsed, 3) << "a fourth turn is refused";
    EXPECT_EQ(game.position.wasteCount, 24);
    EXPECT_EQ(game.undo.Count(), records);
}

TEST_F(KlondikeTest, StartCardFromTheDeckWithAndWithoutFilledIn) {
    SetRule("StartCard", -1);
    KlondikeGame& game = Start<KlondikeGame>();
    EXPECT_EQ(game.position.foundations[0], game.deck.OrderAt(0)) << "the first card of the deck";
    EXPECT_EQ(game.position.startRank, game.position.foundations[0].Rank());
    EXPECT_EQ(StockSize(game), 23);

    SetRule("FilledIn", 1);
    ASSERT_TRUE(Choose(kCommandNewGame));
    for (int suit = 0; suit < 4; ++suit) EXPECT_EQ(game.position.foundations[suit], Card(suit, game.position.startRank));
    EXPECT_EQ(game.deck.Total(), 48);
    EXPECT_EQ(StockSize(game), 20);
    for (int i = 0; i < 48; ++i) EXPECT_NE(game.deck.OrderAt(i).Rank(), game.position.startRank);
    EXPECT_DOUBLE_EQ(game.GetScoreFactor(), 1.25 * 0.9 * 1.2);

    // Undo reads back a record whose foundations start at that rank, not at the Ace.
    const int before = StockSize(game);
    ClickStock();
    ASSERT_NE(StockSize(game), before);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(StockSize(game), before);
}

// At the default start a King goes on an Ace but an Ace never on a Two; from a Six the ranks
// wrap round.
TEST_F(KlondikeTest, RanksWrapAroundTheStartingRank) {
    KlondikeGame& game = Start<KlondikeGame>();
    const auto canPlay = [&](Card card, Card onto, bool home) { return KlondikeModel::CanPlay(game.CurrentPosition(), card, onto, home); };
    ExpectFits(canPlay, {{Card(kBlack, Card::kKing), Card(kRed, Card::kAce), false, true},
                         {Card(kRed, Card::kKing), Card(kRed2, Card::kAce), false, false},
                         {Card(kBlack, Card::kAce), Card(kRed, 0), false, false}});
    SetRule("StartCard", 4);  // Six
    ASSERT_TRUE(Choose(kCommandNewGame));
    ASSERT_EQ(game.position.startRank, 4);
    // Foundations run Six .. King, Ace, Two .. Five.
    ExpectFits(canPlay, {{Card(kRed, 5), Card(kRed, 4), true, true},
                         {Card(kRed, Card::kAce), Card(kRed, Card::kKing), true, true},
                         {Card(kRed, 0), Card(kRed, Card::kAce), true, true},
                         {Card(kRed, 4), Card(kRed, 3), true, false, "the starting rank goes on nothing"},
                         {Card(kRed, 4), Card(kBlack, 5), false, false, "a Six never goes on a Seven"},
                         {Card(kBlack, 3), Card(kRed, 4), false, true, "a Five, the highest card, goes on a Six"}});

    // With TableauStart on only a Five fills an empty pile.
    ClearTable(game);
    SetPile(game, 1, {Card(kBlack, 9)}, 0);
    game.CheckGameOver();
    EXPECT_TRUE(Accepts(game, {Card(kRed, 3)}, KlondikeGame::PileX(0), KlondikeGame::kTableauY));
    EXPECT_FALSE(Accepts(game, {Card(kRed, 5)}, KlondikeGame::PileX(0), KlondikeGame::kTableauY));
}

TEST_F(KlondikeTest, StockAndWasteEdgeCases) {
    KlondikeGame& game = Start<KlondikeGame>();
    // One card left with three dealt per click: the click deals it and the fan shows one card.
    while (game.deck.Remaining() > 1) game.deck.DealNext();
    const Card last = game.deck.Peek(0);
    SetWaste(game, {});
    ClickStock();
    EXPECT_EQ(game.position.wasteCount, 1);
    EXPECT_EQ(game.position.waste[0], last);
    EXPECT_EQ(game.position.dealtThisTurn, 1);
    ASSERT_FALSE(game.pickups.empty());
    EXPECT_EQ(game.pickups.front().x, KlondikeGame::kWasteX);

    // Turning an empty waste still costs 5 points and a turn; undo restores cards, not turns.
    SetWaste(game, {});
    const int points = game.points;
    ClickStock();
    EXPECT_EQ(game.points, points - 5);
    EXPECT_EQ(game.position.turnsUsed, 1);
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game.position.turnsUsed, 1) << "turns are not part of the record";
    EXPECT_EQ(game.points, points - 5) << "the undo costs what the turn gave back";
}

// Each step of the model's game-over test, on positions built by hand where that step decides.
TEST(KlondikeModelTest, OverDecisions) {
    using model_positions::SetPile, model_positions::SetStock, model_positions::SetWaste;
    KlondikeModel::Position p;
    p.turnsUsed = 1;
    auto over = [&] { return KlondikeModel::Over(p); };

    SetPile(p, 0, {Card(kBlack, 4)}, 0);
    SetPile(p, 1, {Card(kBlack2, 8)}, 0);
    EXPECT_TRUE(over()) << "nothing fits anywhere";
    SetPile(p, 2, {Card(kRed, 9)}, 1);
    EXPECT_FALSE(over()) << "a face-down top can be turned";
    SetPile(p, 2, {}, 0);

    SetStock(p, {Card(kRed, 7)});
    p.turnsUsed = 0;
    EXPECT_FALSE(over()) << "the waste has never been turned and the stock holds cards";
    p.turnsUsed = 1;
    EXPECT_FALSE(over()) << "the stock's red Nine fits on the black Ten";
    SetStock(p, {Card(kRed, 1)});
    EXPECT_TRUE(over()) << "a red Three fits nowhere";
    SetStock(p, {});

    SetWaste(p, {Card(kRed2, 3)});  // red Five on the black Six
    EXPECT_FALSE(over()) << "the waste's top fits a pile";
    p.turnsUsed = 3;
    SetWaste(p, {Card(kRed2, 0), Card(kRed2, 1), Card(kRed2, 3), Card(kRed2, 2)});
    EXPECT_TRUE(over()) << "no turn left: only the top (a Four) counts";
    p.turnsUsed = 1;
    EXPECT_FALSE(over()) << "after a turn the third card (the Five) comes up";
    SetWaste(p, {});

    // Pile to pile: uncovering a face-down card is a move; emptying a pile is one only if a King
    // could then fill it.
    SetPile(p, 0, {Card(kBlack, 4)}, 0);
    SetPile(p, 1, {Card(kRed, 5)}, 0);  // black Six onto red Seven
    EXPECT_TRUE(over()) << "moving the Six would only empty its pile";
    SetPile(p, 0, {Card(kRed2, 2), Card(kBlack, 4)}, 1);
    EXPECT_FALSE(over()) << "moving the Six uncovers a card";
    SetPile(p, 0, {Card(kBlack, 4)}, 0);
    SetPile(p, 3, {Card(kRed2, 2), Card(kBlack2, Card::kKing)}, 1);
    EXPECT_FALSE(over()) << "a King on a face-down card could fill the emptied pile";
    p.rules.tableauStart = 0;
    SetPile(p, 3, {}, 0);
    EXPECT_FALSE(over()) << "without TableauStart any card fills an empty pile";
    p.rules.tableauStart = 1;
    SetPile(p, 1, {Card(kBlack2, 8)}, 0);

    // To a foundation.
    p.foundations[0] = Card(kBlack, 3);
    EXPECT_FALSE(over()) << "the black Six goes on its Five";
    p.foundations[0] = Card();
    SetPile(p, 1, {Card(kBlack2, Card::kAce)}, 0);
    EXPECT_FALSE(over()) << "an Ace starts a foundation";
    model_positions::Clear(p);
    EXPECT_TRUE(KlondikeModel::Won(p));
}

// The table ends a blocked game only with Auto Game Over on; the player's end and a win end it
// whatever the preference.
TEST_F(KlondikeTest, GameOverFollowsThePlayerAndThePreference) {
    userPreferences.AutoGameOver = 1;
    KlondikeGame& game = Start<KlondikeGame>();
    ClearTable(game);
    SetPile(game, 0, {Card(kBlack, 4)}, 0);
    SetPile(game, 1, {Card(kBlack2, 8)}, 0);
    EXPECT_TRUE(game.CheckGameOver()) << "nothing fits anywhere";
    userPreferences.AutoGameOver = 0;
    EXPECT_FALSE(game.CheckGameOver());
    game.endedByUser = true;
    EXPECT_TRUE(game.CheckGameOver()) << "ended by the player";
    EXPECT_FALSE(game.IsWon());
    game.endedByUser = false;
    ClearTable(game);
    EXPECT_TRUE(game.CheckGameOver());
    EXPECT_TRUE(game.IsWon());
}

}  // namespace
