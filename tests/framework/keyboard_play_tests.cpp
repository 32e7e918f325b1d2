// Play by keyboard through the real message routing: the ring's stops and their order, the first
// moves of every game made with keys against the mouse, Escape, and the keys and labels of the
// menus.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "framework/keyboard_play.h"
#include "games/game_registry.h"
#include "games/klondike.h"
#include "tests/framework/game_fixture.h"

namespace {

class KeyboardPlayTest : public GameTest {
protected:
    KeyboardPlay& Keys() { return game->Keyboard(); }

    // Presses arrow keys along the shortest path to `target`; the first key shows the ring.
    ::testing::AssertionResult GoTo(int target) {
        if (!Keys().Active()) Key(VK_RIGHT);
        if (target < 0) return ::testing::AssertionFailure() << "no stop there";
        std::map<int, std::pair<int, int>> came;  // stop -> (previous stop, key)
        std::deque<int> queue{Keys().Focus()};
        came[Keys().Focus()] = {-1, 0};
        const std::pair<KeyboardPlay::Direction, int> arrows[] = {
            {KeyboardPlay::kLeft, VK_LEFT}, {KeyboardPlay::kRight, VK_RIGHT}, {KeyboardPlay::kUp, VK_UP}, {KeyboardPlay::kDown, VK_DOWN}};
        while (!queue.empty() && !came.count(target)) {
            const int at = queue.front();
            queue.pop_front();
            for (auto [direction, key] : arrows) {
                const int next = Keys().Neighbour(at, direction);
                if (came.emplace(next, std::pair{at, key}).second) queue.push_back(next);
            }
        }
        if (!came.count(target)) return ::testing::AssertionFailure() << "stop " << target << " cannot be reached";
        std::vector<int> path;
        for (int at = target; came[at].first >= 0; at = came[at].first) path.insert(path.begin(), came[at].second);
        for (int key : path) Key(key);
        if (Keys().Focus() != target) return ::testing::AssertionFailure() << "the arrows ended on " << Keys().Focus();
        return ::testing::AssertionSuccess();
    }

    // Makes a model move with keys only, the way its mouse gesture would.
    void PlayByKeys(const PlayMove& move) {
        MoveGesture gesture;
        ASSERT_TRUE(game->GestureFor(move, gesture));
        if (move.kind == PlayMove::kStock || move.kind == PlayMove::kDeal) {
            Key('D');
            return;
        }
        ASSERT_TRUE(GoTo(Keys().StopAt(gesture.fromX, gesture.fromY)));
        Key(VK_SPACE);
        if (gesture.kind == MoveGesture::kDrag) {
            ASSERT_TRUE(Keys().Lifted());
            ASSERT_TRUE(GoTo(Keys().StopAt(gesture.toX, gesture.toY)));
            Key(VK_RETURN);
        } else if (gesture.kind == MoveGesture::kTwoClicks) {
            ASSERT_TRUE(GoTo(Keys().StopAt(gesture.toX, gesture.toY)));
            Key(VK_SPACE);
        }
        EXPECT_FALSE(Keys().Lifted());
    }
};

// The first moves of every game made with keys give the position the mouse gives.
TEST_F(KeyboardPlayTest, EveryGamePlaysByKeysAsByTheMouse) {
    for (const GameDescriptor& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        std::vector<std::string> byMouse;
        DealSeeded(entry.number, 7);
        MoveList played;
        for (int step = 0; step < 4; ++step) {
            MoveList moves;
            game->PlayMoves(moves);
            if (moves.empty()) break;
            // A move that is not the stock, when there is one: those exercise the ring.
            const auto pick = std::find_if(moves.begin(), moves.end(), [](const PlayMove& m) {
                return m.kind != PlayMove::kStock && m.kind != PlayMove::kDeal;
            });
            played.push_back(pick != moves.end() ? *pick : moves.front());
            MoveGesture gesture;
            ASSERT_TRUE(game->GestureFor(played.back(), gesture));
            Perform(gesture);
            byMouse.push_back(game->PositionBytes());
        }
        ASSERT_FALSE(played.empty());
        DealSeeded(entry.number, 7);
        for (size_t i = 0; i < played.size(); ++i) {
            PlayByKeys(played[i]);
            if (HasFatalFailure()) return;
            EXPECT_TRUE(game->PositionBytes() == byMouse[i])
                << "move " << i + 1 << ": kind " << int(played[i].kind) << " from " << int(played[i].from) << " to "
                << int(played[i].to);
        }
        Move(400, 590, false);  // the mouse takes the ring away: the table is left as drawn
        EXPECT_TRUE(ScreenCoherent(*game));
        game.reset();
    }
}

TEST_F(KeyboardPlayTest, EscapePutsLiftedCardsBackAndOtherwiseLeavesTheTable) {
    DealSeeded(KlondikeGame::kGameNumber, 3);
    const std::string dealt = game->PositionBytes();
    const int records = game->undo.Count();
    // Lift the top card of the rightmost tableau pile.
    Key(VK_RIGHT);
    ASSERT_TRUE(GoTo(static_cast<int>(Keys().Stops().size()) - 1));
    Key(VK_SPACE);
    ASSERT_TRUE(Keys().Lifted());
    ASSERT_TRUE(game->dragging);
    Key(VK_RIGHT);  // the ring moves among the drop targets while the cards are held
    Key('Z', true);  // no undo with cards in the air
    EXPECT_TRUE(game->dragging);
    Key(VK_ESCAPE);
    EXPECT_FALSE(game->dragging);
    EXPECT_FALSE(Keys().Lifted());
    EXPECT_TRUE(game->PositionBytes() == dealt);
    EXPECT_EQ(game->undo.Count(), records);
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "invalid.wav"), 0);
    EXPECT_EQ(leftGame, 0);
    Move(400, 590, false);
    EXPECT_TRUE(ScreenCoherent(*game));
    // With nothing lifted Escape keeps its meaning: back to the selection screen.
    Key(VK_ESCAPE);
    EXPECT_EQ(leftGame, 1);
}

TEST_F(KeyboardPlayTest, MenusOpenWithAltAndShowTheirShortcutKeys) {
    DealSeeded(KlondikeGame::kGameNumber, 3);
    // Alt tapped alone opens the Game menu with its first item lit; tapped again it closes.
    Post(WM_SYSKEYDOWN, VK_MENU, 0, 0);
    Post(WM_SYSKEYUP, VK_MENU, 0, 0);
    ASSERT_TRUE(game->GameMenu()->IsPanelOpen());
    EXPECT_EQ(game->GameMenu()->DropDown()->Highlighted(), game->GameMenu()->Item(0));
    Post(WM_SYSKEYDOWN, VK_MENU, 0, 0);
    Post(WM_SYSKEYUP, VK_MENU, 0, 0);
    EXPECT_FALSE(game->IsMenuOpen());
    // Alt with a title's letter opens that menu, and the items' letters choose.
    Post(WM_SYSKEYDOWN, VK_MENU, 0, 0);
    Post(WM_SYSKEYDOWN, 'H', 0, 0);
    Post(WM_SYSKEYUP, 'H', 0, 0);
    Post(WM_SYSKEYUP, VK_MENU, 0, 0);
    ASSERT_TRUE(game->HelpMenu()->IsPanelOpen());
    std::vector<std::string> rules;
    Services().rulesText = [&](const std::string& name) { rules.push_back(name); };
    Key('R');
    EXPECT_FALSE(game->IsMenuOpen());
    EXPECT_EQ(rules, std::vector<std::string>{"Klondike"});
    // F1 and Ctrl+N outside the menus.
    Key(VK_F1);
    EXPECT_EQ(rules.size(), 2u);
    const uint32_t deal = game->dealNumber;
    Key('N', true);
    EXPECT_NE(game->dealNumber, deal);
}

}  // namespace
