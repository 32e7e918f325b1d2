// Games whose undo sounds before the table changes: effects hold up the interface while they
// sound, so the order decides whether the player hears the undo before or after seeing it.
#include "games/game_registry.h"
#include "games/gate.h"
#include "games/quadrille.h"
#include "games/simplicity.h"
#include "tests/framework/game_fixture.h"

namespace {

class UndoSoundTest : public GameTest, public ::testing::WithParamInterface<int> {};

TEST_P(UndoSoundTest, SoundsBeforeTheTableChanges) {
    game = FindGame(GetParam())->create(artwork.get());
    game->NewGame(false);
    const int stockX = GetParam() == GateGame::kGameNumber         ? GateGame::kStockX
                       : GetParam() == SimplicityGame::kGameNumber ? SimplicityGame::kStockX
                                                                   : QuadrilleGame::kStockX;
    const int stockY = GetParam() == GateGame::kGameNumber         ? GateGame::kStockY
                       : GetParam() == SimplicityGame::kGameNumber ? SimplicityGame::kStockY
                                                                   : QuadrilleGame::kStockY;
    Click(stockX + 20, stockY + 30);
    ASSERT_EQ(game->undo.Count(), 1);
    const int32_t before = game->points;
    int32_t pointsWhenSounded = 12345;
    Services().playSound = [&](const char* name) {
        if (std::string(name) == "undo.wav") pointsWhenSounded = game->points;
    };
    ASSERT_TRUE(Choose(kCommandUndo));
    EXPECT_EQ(game->points, before - 5);
    EXPECT_EQ(pointsWhenSounded, before) << FindGame(GetParam())->name;
}

INSTANTIATE_TEST_SUITE_P(SoundFirst, UndoSoundTest,
                         ::testing::Values(GateGame::kGameNumber, SimplicityGame::kGameNumber,
                                           QuadrilleGame::kGameNumber));

}  // namespace
