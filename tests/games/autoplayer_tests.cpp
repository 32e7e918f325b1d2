// The autoplayer: plays deals of every registered game through the mouse path (tests/games/
// autoplayer.h) and checks after every action that each card is accounted for exactly once
// (tests/games/card_census.cpp).
#include <cstdio>
#include <fstream>

#include "tests/games/autoplayer.h"

namespace {

// One test per registered game, so CTest spreads them over the cores.
class AutoplayerEveryGame : public AutoplayerTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoplayerEveryGame, PlaysToTheEndWithEveryCardAccountedFor) {
    const int deals = DealsPerGame();
    constexpr int kMaxActions = 150;
    const GameDescriptor& entry = *FindGame(GetParam());
    ASSERT_NE(entry.model, nullptr) << "the game needs a model of play";
    ASSERT_NE(entry.model->cards, nullptr) << "the model needs a Cards function for the census";
    game = entry.create(artwork.get());
    int won = 0, blocked = 0, endedByPlayer = 0;
    for (int deal = 0; deal < deals; ++deal) {
        std::mt19937 random(static_cast<unsigned>(deal));
        // Half the deals run with Auto Game Over, half end blocked games by hand.
        SetAutoGameOver(deal % 2);
        StartDeal(static_cast<unsigned>(deal * 7919 + entry.number), deal);
        const int sequences = game->EndSequenceCount();
        ASSERT_TRUE(Accounted(*game)) << "deal " << deal << " after the deal";
        const bool checkScreen = deal < CoherentDealsPerGame();
        if (checkScreen) {
            ASSERT_TRUE(ScreenCoherent(*game)) << entry.name << " deal " << deal << " after the deal";
        }
        for (int action = 0; action < kMaxActions && !game->gameOver; ++action) {
            Act(*game, random);
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
    const GameDescriptor& entry = *FindGame(GetParam());
    game = entry.create(artwork.get());
    SetAutoGameOver(1);
    int won = 0, points = 0;
    for (int deal = 0; deal < kGreedyDeals; ++deal) {
        std::mt19937 random(static_cast<unsigned>(deal + 1000));
        StartDeal(static_cast<unsigned>(deal * 104729 + entry.number), deal);
        for (int action = 0; action < kMaxActions && !game->gameOver; ++action) Act(*game, random, true);
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
    for (const GameDescriptor& entry : RegisteredGames()) {
        SCOPED_TRACE(entry.name);
        game = entry.create(artwork.get());
        game->deck.Seed(5);
        game->NewGame(false);
        for (int action = 0; action < 40; ++action) Act(*game, random);
        game->SaveUndo();
        const std::vector<uint8_t> good = test_support::ReadBytes(UndoJournal::RecordPath(game->undo.Count()));
        ASSERT_GT(good.size(), kUndoGamePartOffset);
        ASSERT_TRUE(game->RestoreRecord(good));
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
            if (game->RestoreRecord(record)) {
                ++accepted;
                ASSERT_TRUE(Accounted(*game)) << "trial " << trial;
                ASSERT_TRUE(game->RestoreRecord(good));
            }
        }
        std::printf("%s: %d of 3000 damaged records accepted\n", entry.name, accepted);
        game.reset();
    }
}

}  // namespace
