// Rules several games share, checked for each of them through the table: one recycle of the
// waste into the stock, and AutoFlip turning a face-down card a move uncovers.
#include "games/agnes.h"
#include "games/canfield.h"
#include "games/forty_thieves.h"
#include "games/four_seasons.h"
#include "games/gate.h"
#include "games/klondike.h"
#include "games/simplicity.h"
#include "tests/games/ruled_game_test.h"

namespace {

// ---- One recycle: what it costs, the order the stock comes back in, and whether an undo gives
// the recycle back ----

struct Recycling {
    int cardsDealt;        // the CardsDealt rule, 0 for the game's default
    int cost;              // points
    bool oldTopFirst;      // the waste gathered as it lies, else turned over as a whole
    bool undoKeepsItUsed;  // an undone recycle still counts
    bool undoSounds;
    const char* sound = nullptr;  // played by the recycle, where a test names one
};
template <typename Table>
constexpr Recycling kRecycling = {};
template <>
constexpr Recycling kRecycling<CanfieldGame> = {0, 5, false, true, true, "shuffle.wav"};
template <>
constexpr Recycling kRecycling<FourSeasonsGame> = {0, 5, false, true, false};
template <>
constexpr Recycling kRecycling<GateGame> = {0, 0, false, false, true};  // Gate records its recycles
template <>
constexpr Recycling kRecycling<SimplicityGame> = {3, 5, true, true, true};

template <typename Table>
using RecycleTest = RuledGameTest<Table>;
using RecyclingGames = ::testing::Types<CanfieldGame, FourSeasonsGame, GateGame, SimplicityGame>;
TYPED_TEST_SUITE(RecycleTest, RecyclingGames);

TYPED_TEST(RecycleTest, OneRecycleCostsItsPointsAndUndoFollowsTheRule) {
    const Recycling& rule = kRecycling<TypeParam>;
    this->SetRule("Recycles", 1);
    if (rule.cardsDealt) this->SetRule("CardsDealt", rule.cardsDealt);
    TypeParam& game = this->template Start<TypeParam>();
    while (game.deck.Remaining() > 0) this->ClickStock();
    const std::vector<Card> waste(game.position.waste.begin(), game.position.waste.begin() + game.position.wasteCount);
    const int cards = static_cast<int>(waste.size());
    ASSERT_GT(cards, 0);
    this->sounds.clear();
    this->ClickStock();
    if (rule.sound) {
        EXPECT_TRUE(this->Played(rule.sound));
    }
    EXPECT_EQ(game.position.recyclesUsed, 1);
    EXPECT_EQ(game.points, -rule.cost);
    ASSERT_EQ(game.deck.Remaining(), cards);
    if (rule.oldTopFirst) {
        EXPECT_EQ(game.deck.Peek(0), waste.back()) << "the old top of the waste is dealt first";
        EXPECT_EQ(game.deck.Peek(cards - 1), waste.front()) << "and its old bottom card last";
    } else {
        EXPECT_EQ(game.deck.Peek(0), waste.front()) << "the first card turned comes first again";
    }

    this->sounds.clear();
    ASSERT_TRUE(this->Choose(kCommandUndo));
    EXPECT_EQ(game.position.wasteCount, cards) << "the waste is back";
    EXPECT_EQ(game.position.recyclesUsed, rule.undoKeepsItUsed ? 1 : 0);
    EXPECT_EQ(game.points, -5) << "the points before the recycle, less the undo";
    EXPECT_EQ(this->Played("undo.wav"), rule.undoSounds);
    const int records = game.undo.Count();
    this->ClickStock();
    if (rule.undoKeepsItUsed) {
        EXPECT_EQ(game.position.wasteCount, cards) << "no recycle is left";
        EXPECT_EQ(game.undo.Count(), records);
    } else {
        EXPECT_EQ(game.deck.Remaining(), cards) << "the recycle is made again";
    }
}

// ---- AutoFlip ----

// Where a game's piles lie, and the card a red Seven builds on there.
template <typename Table>
struct FlipLayout {
    static int X(int pile) { return Table::PileX(pile); }
    static Card Onto() { return Card(kBlack2, 6); }
};
template <>
struct FlipLayout<FortyThievesGame> {
    static int X(int column) { return FortyThievesGame::ColumnX(column, 10); }
    static Card Onto() { return Card(kRed, 6); }  // in suit
};

template <typename Table>
using AutoFlipTest = RuledGameTest<Table>;
using FlippingGames = ::testing::Types<KlondikeGame, FortyThievesGame, AgnesGame>;
TYPED_TEST_SUITE(AutoFlipTest, FlippingGames);

// A press that turns a face-down top is a model move the golden traces make; AutoFlip is not.
TYPED_TEST(AutoFlipTest, TurnsTheUncoveredCardAndAnEmptyPileTakesNoPress) {
    using Layout = FlipLayout<TypeParam>;
    this->SetRule("StartCard", Card::kAce);
    TypeParam& game = this->template Start<TypeParam>();
    this->ClearPlaces(game);
    this->SetPile(game, 4, {Card(kBlack, 2), Card(kRed, 5)}, 1);
    this->SetPile(game, 5, {Layout::Onto()});
    game.CheckGameOver();
    const int records = game.undo.Count();
    this->Click(Layout::X(6) + 20, TypeParam::CardY(0) + 30);
    EXPECT_EQ(game.undo.Count(), records) << "an empty pile does nothing";
    EXPECT_EQ(game.points, 0);

    game.rules.autoFlip = 1;
    this->DragCard(Layout::X(4), TypeParam::CardY(1), Layout::X(5), TypeParam::CardY(1));
    EXPECT_EQ(game.position.pileCount[5], 2);
    EXPECT_EQ(game.position.faceDownCount[4], 0) << "the uncovered card turned by itself";
    EXPECT_EQ(game.points, 5) << "for the card turned";
}

}  // namespace
