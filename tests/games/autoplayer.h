// The autoplayer's player: plays a game through the mouse path (presses on pick-ups, drags to
// targets the game offers or to random places, clicks on the game's own click points, double
// clicks, undo from the menu) with a seeded random choice, checking that each card is accounted
// for exactly once. Shared by the autoplayer tests and the golden-trace recorder.
#pragma once
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


// Click points on every card place of the games that keep no pick-ups.
inline std::vector<std::pair<int, int>> TakeFourteenPoints() {
    std::vector<std::pair<int, int>> points;
    for (int pile = 0; pile < TakeFourteenGame::kPiles; ++pile)
        for (int k = 0; k < TakeFourteenGame::kPileSlots; ++k)
            points.emplace_back(TakeFourteenGame::PileX(pile) + 20, TakeFourteenGame::CardY(k) + 5);
    return points;
}
inline std::vector<std::pair<int, int>> SimpleAdditionPoints() {
    std::vector<std::pair<int, int>> points;
    for (int slot = 0; slot < SimpleAdditionGame::kSlots; ++slot)
        points.emplace_back(SimpleAdditionGame::SlotX(slot) + 20, SimpleAdditionGame::kSlotY + 30);
    return points;
}
inline std::vector<std::pair<int, int>> BlockSolitairePoints() {
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

inline const std::map<int, Player>& Players() {
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

inline int DealsPerGame() {
    if (const char* text = std::getenv("QUILLFEN_AUTOPLAY_DEALS")) return std::max(1, std::atoi(text));
    return 200;
}

// The screen is compared with a full redraw after every action of the first deals only: the
// comparison costs more than the action. The monkey's soak run checks at length.
inline int CoherentDealsPerGame() {
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
