// The autoplayer: plays a game through the mouse path with a seeded random choice (the moves the
// game's model offers, made where the table makes them, Undo from the menu, and presses, double
// clicks and drags the model did not offer), checking that each card is accounted for exactly
// once. Shared by the autoplayer, golden-trace and model tests.
#pragma once
#include <cctype>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <span>
#include <map>
#include <random>

#include "games/game_registry.h"
#include "tests/games/card_census.h"
#include "tests/framework/game_fixture.h"
#include "tools/dev/png_writer.h"


// A position held as bytes, aligned for the model's Position type, to apply moves to a copy.
class PositionCopy {
public:
    PositionCopy(const PlayModelOps& ops, const std::string& bytes) : ops(ops), storage(bytes.size() / 8 + 2) {
        std::memcpy(storage.data(), bytes.data(), bytes.size());
    }
    void* Data() { return storage.data(); }
    std::string Code() const {
        PositionCode code;
        ops.encode(storage.data(), code);
        return code.bytes;
    }

private:
    const PlayModelOps& ops;
    std::vector<uint64_t> storage;
};

inline std::string Describe(const PlayMove& move) {
    return "move kind " + std::to_string(move.kind) + " from " + std::to_string(move.from) + " index " +
           std::to_string(move.index) + " to " + std::to_string(move.to) + " count " + std::to_string(move.count);
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

    // Deal `deal` of a run, its shuffle seeded by `seed`: the first as the shell starts a game,
    // the later ones as New Game deals them.
    void StartDeal(unsigned seed, int deal) {
        game->deck.Seed(seed);
        if (deal > 0) game->ClearHotspots();
        game->NewGame(deal > 0);
    }
    // The preference and its menu item together, as the menu sets them.
    void SetAutoGameOver(int on) {
        userPreferences.AutoGameOver = on;
        game->AutoGameOverItem()->SetChecked(on);
    }

    ::testing::AssertionResult Accounted(Game& game) {
        const std::string problem = CensusProblem(game);
        if (problem.empty()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << problem;
    }

    // The offered move that scores most (the first of equals after a random start).
    static size_t BestScoring(Game& game, const MoveList& moves, std::mt19937& random) {
        const PlayModelOps& ops = *FindGame(game.gameNumber)->model;
        const std::string bytes = game.PositionBytes();
        const size_t start = random() % moves.size();
        size_t best = start;
        int bestPoints = INT32_MIN;
        for (size_t k = 0; k < moves.size(); ++k) {
            const size_t i = (start + k) % moves.size();
            PositionCopy copy(ops, bytes);
            const int points = ops.apply(copy.Data(), moves[i]);
            if (points > bestPoints) {
                bestPoints = points;
                best = i;
            }
        }
        return best;
    }

    // One action through the mouse or the menu: mostly a move the game's model offers, made with
    // the mouse where the table makes it (often the one that scores most, so random play finishes
    // more deals); sometimes Undo from the menu; sometimes a press, double click or drag the model
    // did not choose, which the game must take without harm. Greedy play never undoes and always
    // makes the offered move that scores most.
    void Act(Game& game, std::mt19937& random, bool greedy = false) {
        const int roll = static_cast<int>(random() % 100);
        lastAction = "nothing";
        if (!greedy && roll < 4) {
            lastAction = "undo";
            Choose(kCommandUndo);
            return;
        }
        MoveList moves;
        game.PlayMoves(moves);
        if (!moves.empty() && (greedy || roll < 75)) {
            const size_t pick = greedy || roll < 45 ? BestScoring(game, moves, random) : random() % moves.size();
            MoveGesture gesture;
            EXPECT_TRUE(game.GestureFor(moves[pick], gesture)) << Describe(moves[pick]);
            lastAction = Describe(moves[pick]) + " by the mouse";
            Perform(gesture);
            return;
        }
        if (game.pickups.empty()) return;
        auto spot = game.pickups.begin();
        std::advance(spot, random() % game.pickups.size());
        // The press may rebuild the pick-up list (a game's CheckGameOver does), so only the
        // origin is kept, not the entry.
        const int spotX = spot->x, spotY = spot->y;
        const int x = spotX + 10 + static_cast<int>(random() % 30), y = spotY + 5 + static_cast<int>(random() % 10);
        if (roll < 82) {
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
        const int toX = 60 + static_cast<int>(random() % 680), toY = 60 + static_cast<int>(random() % 480);
        lastAction = "drag from " + Point(x, y) + " to " + Point(toX, toY);
        Move(toX, toY);
        Release(toX, toY);
    }

    static std::string Point(int x, int y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }
    std::string lastAction;
};
