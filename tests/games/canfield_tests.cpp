// Canfield on hand-built positions: the model's moves rule by rule and its game-over test, then
// the table's pick-ups. Its recycles are in shared_rules_tests.cpp.

#include "games/canfield.h"
#include "tests/games/ruled_game_test.h"

namespace {

class CanfieldTest : public RuledGameTest<CanfieldGame> {
protected:
    static void ClearTable(CanfieldGame& game) {
        ClearPlaces(game);
        SetStock(game, {});
        game.position.reserve.fill(Card());
        game.position.reserveCount = 0;
        game.position.recyclesUsed = 1;
    }
};

// The model's moves (places: 1 waste, 2 reserve, 3.. foundations, 7.. piles) on a Ten base with
// the red King home and piles of a red Ten, black Nine and red Eight; a black Jack; a red Ten; a red Ace.
TEST(CanfieldModelTest, MovesFollowEachRule) {
    using M = CanfieldModel;
    const auto move = [](int from, int index, int to, int count) { return tableau::MakeMove(from, index, to, count); };
    M::Position p;
    p.baseCard = Card(kRed, Card::kTen);
    p.foundations[0] = Card(kRed, Card::kKing);
    p.waste[p.wasteCount++] = Card(kRed, Card::kAce);
    p.reserve = {Card(kBlack, Card::kTen), Card(kBlack2, Card::kKing)};
    p.reserveCount = 2;
    const Card piles[4][3] = {{Card(kRed, 8), Card(kBlack, 7), Card(kRed, 6)}, {Card(kBlack2, Card::kJack)},
                              {Card(kRed2, Card::kTen)}, {Card(kRed2, Card::kAce)}};
    for (int k = 0; k < 4; ++k)
        for (Card card : piles[k])
            if (card.IsValid()) p.tableau[k][p.pileCount[k]++] = card;
    MoveList moves;
    M::Moves(p, moves);
    // No stock (empty, no recycle); the Ace home round the corner, the King on the Ace, the whole
    // pile but not its lower part, and the base rank to every empty foundation.
    const MoveList whole = {move(1, 0, 3, 1), move(2, 1, 10, 1), move(7, 0, 8, 3), move(9, 0, 4, 1),
                            move(9, 0, 5, 1),  move(9, 0, 6, 1),  move(9, 0, 8, 1)};
    EXPECT_EQ(moves, whole);
    EXPECT_TRUE(M::BuildsDown(Card(kBlack, Card::kAce), Card(kRed, Card::kTwo)));
    EXPECT_FALSE(M::BuildsDown(Card(kBlack, Card::kKing), Card(kBlack2, Card::kAce)));
    p.pileCount[1] = 11;
    p.tableau[1][10] = Card(kBlack2, Card::kJack);
    M::Moves(p, moves);
    EXPECT_EQ(std::ranges::count(moves, move(7, 0, 8, 3)), 0) << "no pile grows past 13 cards";
    EXPECT_EQ(std::ranges::count(moves, move(9, 0, 8, 1)), 1);
    p.pileCount[1] = 1;
    p.movePartial = 1;
    M::Moves(p, moves);
    EXPECT_EQ(moves.at(2), move(7, 1, 9, 2)) << "part of a pile, then the whole of it";

    // What an empty pile takes: the reserve's card only while the reserve holds one (with
    // FillFromStock), else the waste's card and any pile's top, whole pile or part.
    p.pileCount[3] = 0;
    const auto into = [&](int pile) {
        M::Moves(p, moves);
        std::string from;
        for (const PlayMove& m : moves)
            if (m.to == M::kFirstPile + pile) from += std::to_string(m.from) + ":" + std::to_string(m.count) + " ";
        return from;
    };
    EXPECT_EQ(into(3), "2:1 ");
    EXPECT_FALSE(M::FitsPile(p, 3, p.waste[0], 1, false));
    p.fillFromStock = 0;
    EXPECT_EQ(into(3), "1:1 2:1 7:1 7:2 7:3 8:1 9:1 ");
    EXPECT_TRUE(M::FitsPile(p, 3, p.waste[0], 1, false));
    p.fillFromStock = 1;
    p.reserveCount = 0;
    EXPECT_EQ(into(3), "1:1 7:1 7:2 7:3 8:1 9:1 ");

    // A move that empties a pile brings the reserve's card to it at once, 5 points and 5 more.
    p.reserveCount = 2;
    p.pileCount[3] = 1;
    p.movePartial = 0;
    EXPECT_EQ(M::Apply(p, move(7, 0, 8, 3)), 10);
    EXPECT_EQ(p.tableau[0][0], Card(kBlack2, Card::kKing));
    EXPECT_EQ(p.reserveCount, 1);
}

// The table offers a pile's top card and the whole pile. (A move that empties a pile and brings
// the reserve's card is the model's Apply above; ModelProperty holds the mouse to it.)
TEST_F(CanfieldTest, TableOffersTheTopCardOrTheWholePile) {
    CanfieldGame& game = Start<CanfieldGame>();
    ClearTable(game);
    game.position.recyclesUsed = 0;
    SetStock(game, {Card(kRed, 3)});
    game.position.baseCard = Card(kBlack, Card::kAce);
    game.position.foundations[0] = Card(kBlack, Card::kAce);
    game.position.reserve[0] = Card(kRed, Card::kKing);
    game.position.reserve[1] = Card(kBlack, 3);
    game.position.reserveCount = 2;
    SetPile(game, 0, {Card(kBlack, Card::kTwo)});
    SetPile(game, 1, {Card(kRed, 8), Card(kBlack, 7), Card(kRed, 6)});
    SetPile(game, 2, {Card(kBlack2, Card::kTen)});
    SetPile(game, 3, {Card(kBlack, 5)});
    game.CheckGameOver();
    int fromPile = 0, wholePiles = 0;
    for (const Hotspot& spot : game.pickups) {
        if (spot.x != CanfieldGame::ColumnX(1)) continue;
        ++fromPile;
        wholePiles += spot.count == 3 && spot.y == CanfieldGame::CardY(0);
    }
    EXPECT_EQ(fromPile, 2) << "the top card and the whole pile";
    EXPECT_EQ(wholePiles, 1);
}

// The model's game-over test on positions built by hand.
TEST(CanfieldModelTest, OverOnlyWhenNothingCanMove) {
    using model_positions::SetPile;
    CanfieldModel::Position p;
    p.recyclesUsed = 1;
    p.baseCard = Card(kBlack, Card::kAce);
    p.foundations[0] = Card(kBlack, Card::kAce);
    SetPile(p, 0, {Card(kRed, 5)});
    SetPile(p, 1, {Card(kRed2, 9)});
    SetPile(p, 2, {Card(kRed, Card::kKing)});
    SetPile(p, 3, {Card(kRed2, 2)});
    model_positions::SetWaste(p, {Card(kBlack2, 3)});
    EXPECT_TRUE(CanfieldModel::Over(p)) << "no recycle left and nothing fits";
    EXPECT_FALSE(CanfieldModel::Won(p));
    p.waste[0] = Card(kBlack2, 1);  // a black Three on the red Four
    EXPECT_FALSE(CanfieldModel::Over(p));
    p.waste[0] = Card(kBlack2, 3);
    model_positions::SetStock(p, {Card(kBlack, 0)});  // the black Two would go home
    EXPECT_FALSE(CanfieldModel::Over(p));
}

}  // namespace
