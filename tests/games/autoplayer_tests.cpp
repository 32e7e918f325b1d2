// The autoplayer: plays deals of every registered game through the mouse path (presses on
// pick-ups, drags to targets the game offers or to random places, clicks on the game's own click
// points, double clicks, undo and "End Game" from the menu) and checks after every action that
// each card is accounted for exactly once (tests/games/card_census.cpp).
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <span>
#include <map>
#include <random>

#include "games/accordion.h"
#include "games/agnes.h"
#include "games/forty_thieves.h"
#include "games/gate.h"
#include "games/simplicity.h"
#include "games/spider.h"
#include "games/auld_lang_syne.h"
#include "games/calculation.h"
#include "games/cribbage_solitaire.h"
#include "games/four_seasons.h"
#include "games/poker_solitaire.h"
#include "games/quadrille.h"
#include "games/canfield.h"
#include "games/game_registry.h"
#include "games/klondike.h"
#include "games/golf.h"
#include "games/pyramid.h"
#include "games/monte_carlo.h"
#include "games/take_fourteen.h"
#include "games/simple_addition.h"
#include "games/block_solitaire.h"
#include "platform/crt.h"
#include "tests/games/card_census.h"
#include "tests/framework/game_fixture.h"
#include "tests/ui/png_writer.h"

namespace {

// Click points on every card place of the games that keep no pick-ups.
std::vector<std::pair<int, int>> TakeFourteenPoints() {
    std::vector<std::pair<int, int>> points;
    for (int pile = 0; pile < TakeFourteenGame::kPiles; ++pile)
        for (int k = 0; k < TakeFourteenGame::kPileSlots; ++k)
            points.emplace_back(TakeFourteenGame::PileX(pile) + 20, TakeFourteenGame::CardY(k) + 5);
    return points;
}
std::vector<std::pair<int, int>> SimpleAdditionPoints() {
    std::vector<std::pair<int, int>> points;
    for (int slot = 0; slot < SimpleAdditionGame::kSlots; ++slot)
        points.emplace_back(SimpleAdditionGame::SlotX(slot) + 20, SimpleAdditionGame::kSlotY + 30);
    return points;
}
std::vector<std::pair<int, int>> BlockSolitairePoints() {
    std::vector<std::pair<int, int>> points;
    for (int slot = 0; slot < BlockSolitaireGame::kSlots; ++slot)
        points.emplace_back(BlockSolitaireGame::SlotX(slot) + 20, BlockSolitaireGame::SlotY(slot) + 30);
    return points;
}

template <typename T>
std::vector<std::pair<int, int>> GridClicks() {
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < T::kCells; ++i) points.emplace_back(T::CellX(i) + 20, T::CellY(i) + 30);
    return points;
}

template <typename T>
bool Restore(Game& game, std::span<const uint8_t> record) {
    return static_cast<T&>(game).RestoreRecord(record);
}

struct Player {
    bool (*restore)(Game&, std::span<const uint8_t>);  // the game's undo record reader
    std::vector<std::pair<int, int>> clickPoints;  // places a click does something (a stock)
};

const std::map<int, Player>& Players() {
    static const std::map<int, Player> players = {
        {8, {&Restore<FortyThievesGame>, {{FortyThievesGame::kStockX + 20, FortyThievesGame::kStockY + 30}}}},
        {2, {&Restore<AgnesGame>, {{AgnesGame::kStockX + 20, AgnesGame::kStockY + 30}}}},
        {10, {&Restore<GateGame>, {{GateGame::kStockX + 20, GateGame::kStockY + 30}}}},
        {18, {&Restore<SimplicityGame>, {{SimplicityGame::kStockX + 20, SimplicityGame::kStockY + 30}}}},
        {19, {&Restore<SpiderGame>, {{SpiderGame::kStockX + 20, SpiderGame::kStockY + 30}}}},
        {7, {&Restore<CribbageSolitaireGame>, GridClicks<CribbageSolitaireGame>()}},
        {14, {&Restore<PokerSolitaireGame>, GridClicks<PokerSolitaireGame>()}},
        {3, {&Restore<AuldLangSyneGame>, {{AuldLangSyneGame::kStockX + 20, AuldLangSyneGame::kStockY + 30}}}},
        {5, {&Restore<CalculationGame>, {{CalculationGame::kStockX + 20, CalculationGame::kStockY + 30}}}},
        {9, {&Restore<FourSeasonsGame>, {{FourSeasonsGame::kStockX + 20, FourSeasonsGame::kStockY + 30}}}},
        {16, {&Restore<QuadrilleGame>, {{QuadrilleGame::kStockX + 20, QuadrilleGame::kStockY + 30}}}},
        {6, {&Restore<CanfieldGame>, {{CanfieldGame::kStockX + 20, CanfieldGame::kStockY + 30}}}},
        {1, {&Restore<AccordionGame>, {}}},
        {12, {&Restore<KlondikeGame>, {{KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 30}}}},
        {11, {&Restore<GolfGame>, {{GolfGame::kStockX + 20, GolfGame::kStockY + 30}}}},
        {15, {&Restore<PyramidGame>, {{PyramidGame::kStockX + 20, PyramidGame::kStockY + 30}}}},
        {13, {&Restore<MonteCarloGame>, {}}},
        {20, {&Restore<TakeFourteenGame>, TakeFourteenPoints()}},
        {17, {&Restore<SimpleAdditionGame>, SimpleAdditionPoints()}},
        {4, {&Restore<BlockSolitaireGame>, BlockSolitairePoints()}},
    };
    return players;
}

int DealsPerGame() {
    if (const char* text = std::getenv("QUILLFEN_AUTOPLAY_DEALS")) return std::max(1, std::atoi(text));
    return 200;
}

// The screen is compared with a full redraw after every action of the first deals only: the
// comparison costs more than the action. The monkey's soak run checks at length.
int CoherentDealsPerGame() {
    if (const char* text = std::getenv("QUILLFEN_COHERENCE_DEALS")) return std::max(0, std::atoi(text));
    return 8;
}

class AutoplayerTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        // QUILLFEN_COHERENCE_PNG=folder writes the screen as shown and as fully redrawn there when
        // the two differ.
        if (const char* folder = std::getenv("QUILLFEN_COHERENCE_PNG")) {
            onIncoherentScreen = [dir = std::string(folder)](const Pixel* shown, const Pixel* redrawn, int w, int h) {
                WritePng(dir + "/shown.png", shown, w, h, w);
                WritePng(dir + "/redrawn.png", redrawn, w, h, w);
            };
        }
    }
    void TearDown() override {
        onIncoherentScreen = nullptr;
        GameTest::TearDown();
    }

    ::testing::AssertionResult Accounted(Game& game) {
        const std::string problem = CensusProblem(CensusFor(game.gameNumber)(game));
        if (problem.empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << problem;
    }

    // One action through the mouse or the menu. Greedy play never undoes and always drops where
    // the game accepts the cards, on a foundation whenever it can.
    void Act(Game& game, const Player& player, std::mt19937& random, bool greedy = false) {
        int roll = static_cast<int>(random() % 100);
        if (greedy) roll = roll < 16 ? 4 + roll : 30 + roll % 60;  // clicks, then drags, no undo
        lastAction = "nothing";
        if (roll < 4) {
            lastAction = "undo";
            Choose(kCommandUndo);
            return;
        }
        if (roll < 20 && !player.clickPoints.empty()) {
            const auto [x, y] = player.clickPoints[random() % player.clickPoints.size()];
            lastAction = "click at " + Point(x, y);
            Click(x, y);
            return;
        }
        if (game.pickups.empty()) return;
        auto spot = game.pickups.begin();
        std::advance(spot, random() % game.pickups.size());
        // The press may rebuild the pick-up list (a game's CheckGameOver does), so only the
        // origin is kept, not the entry.
        const int spotX = spot->x, spotY = spot->y;
        const int x = spotX + 10 + static_cast<int>(random() % 30), y = spotY + 5 + static_cast<int>(random() % 10);
        if (roll < 30) {
            lastAction = "double click at " + Point(x, y);
            DoubleClick(x, y);
            return;
        }
        Move(x, y, false);
        Press(x, y);
        if (game.dragging) {
            EXPECT_TRUE(Accounted(game)) << "with a stack lifted";
        }
        if (!game.dragging) {
            lastAction = "press and release at " + Point(x, y);
            Release(x, y);
            return;
        }
        // Mostly a target the game accepts, sometimes anywhere.
        std::vector<DropTarget> legal;
        for (DropTarget& target : game.dropTargets)
            if (game.CanDrop(game.dragRecord, target)) legal.push_back(target);
        // Foundation moves first, when there are any: random play then finishes more deals.
        std::vector<DropTarget> home;
        for (const DropTarget& target : legal)
            if (target.kind == kAutoMoveKind) home.push_back(target);
        if (!home.empty() && (roll < 70 || greedy)) legal = home;
        int toX, toY;
        if (!legal.empty() && roll < 90) {
            const DropTarget& target = legal[random() % legal.size()];
            toX = target.rect.left + 5 + (x - spotX) % 40;
            toY = target.rect.top + 5 + (y - spotY) % 40;
        } else {
            toX = 60 + static_cast<int>(random() % 680);
            toY = 60 + static_cast<int>(random() % 480);
        }
        lastAction = "drag from " + Point(x, y) + " to " + Point(toX, toY);
        Move(toX, toY);
        Release(toX, toY);
    }

    static std::string Point(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }
    std::string lastAction;
};

// One test per registered game, so CTest spreads them over the cores.
class AutoplayerEveryGame : public AutoplayerTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoplayerEveryGame, PlaysToTheEndWithEveryCardAccountedFor) {
    const int deals = DealsPerGame();
    constexpr int kMaxActions = 150;
    const GameEntry& entry = *FindGame(GetParam());
    auto found = Players().find(entry.number);
    ASSERT_NE(found, Players().end()) << "add the game to the autoplayer's players";
    ASSERT_NE(CensusFor(entry.number), nullptr) << "add the game's census";
    const Player& player = found->second;
    game = entry.create(artwork.get());
    int won = 0, blocked = 0, endedByPlayer = 0;
    for (int deal = 0; deal < deals; ++deal) {
        crt::srand(static_cast<unsigned>(deal * 7919 + entry.number));
        std::mt19937 random(static_cast<unsigned>(deal));
        // Half the deals run with Auto Game Over, half end blocked games by hand.
        userPreferences.AutoGameOver = deal % 2;
        game->AutoGameOverItem()->SetChecked(deal % 2);
        if (deal == 0) {
            game->NewGame(false);
        } else {
            game->ClearHotspots();
            game->NewGame(true);
        }
        const int sequences = game->EndSequenceCount();
        ASSERT_TRUE(Accounted(*game)) << "deal " << deal << " after the deal";
        const bool checkScreen = deal < CoherentDealsPerGame();
        if (checkScreen) {
            ASSERT_TRUE(ScreenCoherent(*game)) << entry.name << " deal " << deal << " after the deal";
        }
        for (int action = 0; action < kMaxActions && !game->gameOver; ++action) {
            Act(*game, player, random);
            ASSERT_TRUE(game) << "the game went away";
            ASSERT_FALSE(game->dragging);
            ASSERT_TRUE(Accounted(*game)) << "deal " << deal << " action " << action;
            if (checkScreen) {
                ASSERT_TRUE(ScreenCoherent(*game)) << entry.name << " deal " << deal << " action " << action << " ("
                                               << lastAction << ")";
            }
        }
        if (!game->gameOver) {
            ASSERT_TRUE(Choose(kCommandEndGame));
            ++endedByPlayer;
        } else {
            Tick();
            if (game->IsWon()) ++won;
            else ++blocked;
        }
        ASSERT_TRUE(game->gameOver);
        ASSERT_EQ(game->EndSequenceCount(), sequences + 1) << "deal " << deal << " ended once";
        ASSERT_NE(game->finalScore, Game::kScoreNotComputed);
    }
    std::printf("%s: %d deals, %d won, %d blocked, %d ended by the player\n", entry.name, deals, won, blocked,
                endedByPlayer);
    game.reset();
    EXPECT_TRUE(UndoFiles().empty());
}

// Greedy play wins a share of deals, and scores points on the way, in amounts that are a property
// of each game's rules: a rule change that makes a game unwinnable or blocks its moves (or makes
// it far easier) moves it out of the bands measured when they were written. Random greedy play
// rarely wins most games outright, so the points (cards brought home, pairs removed) carry most of
// the signal.
struct WinBand {
    int least, most;              // deals won of kGreedyDeals
    int leastPoints, mostPoints;  // points of all kGreedyDeals deals together
};
constexpr int kGreedyDeals = 40;
const std::map<int, WinBand>& WinBands() {
    static const std::map<int, WinBand> bands = {
#include "tests/games/greedy_win_bands.inc"
    };
    return bands;
}

TEST_P(AutoplayerEveryGame, GreedyPlayWinsItsShareOfDeals) {
    constexpr int kMaxActions = 600;
    const GameEntry& entry = *FindGame(GetParam());
    const Player& player = Players().at(entry.number);
    game = entry.create(artwork.get());
    userPreferences.AutoGameOver = 1;
    game->AutoGameOverItem()->SetChecked(1);
    int won = 0, points = 0;
    for (int deal = 0; deal < kGreedyDeals; ++deal) {
        crt::srand(static_cast<unsigned>(deal * 104729 + entry.number));
        std::mt19937 random(static_cast<unsigned>(deal + 1000));
        if (deal == 0) {
            game->NewGame(false);
        } else {
            game->ClearHotspots();
            game->NewGame(true);
        }
        for (int action = 0; action < kMaxActions && !game->gameOver; ++action) Act(*game, player, random, true);
        if (game->gameOver && game->IsWon()) ++won;
        points += game->points;
        if (!game->gameOver) {
            ASSERT_TRUE(Choose(kCommandEndGame));
        }
        Tick();
    }
    std::printf("%s: greedy play won %d of %d deals, %d points\n", entry.name, won, kGreedyDeals, points);
    auto band = WinBands().find(entry.number);
    ASSERT_NE(band, WinBands().end()) << "measure the game's bands: " << won << " won, " << points << " points";
    EXPECT_GE(won, band->second.least) << entry.name;
    EXPECT_LE(won, band->second.most) << entry.name;
    EXPECT_GE(points, band->second.leastPoints) << entry.name;
    EXPECT_LE(points, band->second.mostPoints) << entry.name;
    game.reset();
}

INSTANTIATE_TEST_SUITE_P(RegisteredGames, AutoplayerEveryGame, ::testing::ValuesIn(RegisteredGameNumbers()),
                         [](const ::testing::TestParamInfo<int>& info) { return GameTestName(info.param); });

// Damaged records: every game's reader refuses what it cannot use, never reads out of bounds
// (AddressSanitizer watches), and a record it accepts leaves every card accounted for.
TEST_F(AutoplayerTest, DamagedUndoRecordsAreRefusedOrLeaveAPossiblePosition) {
    std::mt19937 random(42);
    for (const GameEntry& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        const Player& player = Players().at(entry.number);
        game = entry.create(artwork.get());
        crt::srand(5);
        game->NewGame(false);
        for (int action = 0; action < 40; ++action) Act(*game, player, random);
        game->SaveUndo();
        std::ifstream file(UndoJournal::RecordPath(game->undo.Count()), std::ios::binary);
        const std::vector<uint8_t> good((std::istreambuf_iterator<char>(file)), {});
        ASSERT_GT(good.size(), kUndoGamePartOffset);
        ASSERT_TRUE(player.restore(*game, good));
        int accepted = 0;
        for (int trial = 0; trial < 3000; ++trial) {
            std::vector<uint8_t> record = good;
            const int damage = static_cast<int>(random() % 4);
            if (damage == 0) record.resize(random() % record.size());
            else {
                for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
                    // Mostly the game's own part, where its counts and cards are.
                    const size_t at = random() % 2 ? kUndoGamePartOffset + random() % (record.size() - kUndoGamePartOffset)
                                                   : random() % record.size();
                    record[at] = damage == 1 ? static_cast<uint8_t>(random()) : record[at] ^ 0x01;
                }
            }
            if (player.restore(*game, record)) {
                ++accepted;
                ASSERT_TRUE(Accounted(*game)) << "trial " << trial;
                ASSERT_TRUE(player.restore(*game, good));
            }
        }
        std::printf("%s: %d of 3000 damaged records accepted\n", entry.name, accepted);
        game.reset();
    }
}

}  // namespace
