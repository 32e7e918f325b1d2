// The statistics in the settings tree and the saved-game file, against a fresh settings file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "store/saved_game.h"
#include "store/statistics.h"
#include "store_fixture.h"

namespace {

constexpr int kPlayer = 20;

TEST_F(StoreTest, OnlyScoredDealsHaveAnAverageAndTheFirstScoreIsTheBestEvenBelowZero) {
    CountDealPlayed(kPlayer, "Spider");
    EXPECT_FALSE(ReadStatistics(kPlayer, "Spider").AverageScore());
    CountDealLost(kPlayer, "Spider", -200, 30);
    EXPECT_EQ(ReadStatistics(kPlayer, "Spider").bestScore, -200);
    EXPECT_EQ(ReadStatistics(kPlayer, "Spider").AverageScore(), -200);
}

TEST_F(StoreTest, DamagedStatisticsReadAsZeroAndAreRepairedByTheNextCount) {
    const std::string key = "[HKEY_CURRENT_USER\\" + StatisticsPath(kPlayer, "Golf") + "]\n";
    WriteFile("Windows Registry Editor Version 5.00\n\n" + key +
              "\"Played\"=\"many\"\n\"Won\"=dword:ffffff00\n\"Streak\"=hex:01,02\n"
              "\"BestScore\"=dword:fffffff6\n\"SecondsPlayed\"=dword:00000064\n\"Scored\"=dword:00000001\n"
              "\"ScoreTotal\"=dword:fffffff6\n");
    Reload();
    GameStatistics figures = ReadStatistics(kPlayer, "Golf");
    EXPECT_EQ(figures.played, 0);
    EXPECT_EQ(figures.won, 0);
    EXPECT_EQ(figures.streak, 0);
    EXPECT_EQ(figures.bestScore, -10);  // scores may be negative
    EXPECT_EQ(figures.secondsPlayed, 100);
    EXPECT_EQ(figures.WinPercent(), 0);

    // More wins than deals never shows: the next count brings the figures back into line.
    WriteFile("Windows Registry Editor Version 5.00\n\n" + key + "\"Played\"=dword:00000001\n\"Won\"=dword:00000009\n");
    Reload();
    CountDealPlayed(kPlayer, "Golf");
    EXPECT_EQ(ReadStatistics(kPlayer, "Golf").won, 2);
    EXPECT_LE(ReadStatistics(kPlayer, "Golf").WinPercent(), 100);
}

TEST_F(StoreTest, ResetForgetsOnlyThisPlayersFigures) {
    CountDealPlayed(kPlayer, "Golf");
    CountDealPlayed(kPlayer, "Agnes");
    CountDealPlayed(kPlayer + 1, "Golf");
    ResetStatistics(kPlayer);
    EXPECT_EQ(ReadStatistics(kPlayer, "Golf").played, 0);
    EXPECT_EQ(ReadStatistics(kPlayer, "Agnes").played, 0);
    EXPECT_EQ(ReadStatistics(kPlayer + 1, "Golf").played, 1);
    EXPECT_TRUE(KeyExists(PlayerPath(kPlayer + 1)));
}

class SavedGameTest : public StoreTest {
protected:
    SavedGameTest() { setenv("XDG_STATE_HOME", folder.c_str(), 1); }
    ~SavedGameTest() override { unsetenv("XDG_STATE_HOME"); }

    static SavedGame Sample() {
        SavedGame game;
        game.gameNumber = 12;
        game.dealNumber = 4000000000u;
        game.points = -25;
        game.elapsedSeconds = 321;
        game.rules = {{"Draw", "3"}, {"Scoring", "American"}};
        game.table = std::vector<uint8_t>(1000, 9);
        game.history = {std::vector<uint8_t>(990, 1), {}, std::vector<uint8_t>(1010, 3)};
        return game;
    }
    std::vector<std::string> StateEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(StateDirectory()))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(SavedGameTest, AGameIsKeptPerPlayerAndGameAndReadsBackWhole) {
    const SavedGame game = Sample();
    ASSERT_TRUE(WriteSavedGame(kPlayer, game));
    EXPECT_EQ(StateDirectory(), folder + "/quillfen-solitaire");
    EXPECT_FALSE(HasSavedGame(kPlayer + 1, 12));
    EXPECT_FALSE(HasSavedGame(kPlayer, 11));
    const std::optional<SavedGame> read = ReadSavedGame(kPlayer, 12);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->dealNumber, game.dealNumber);
    EXPECT_EQ(read->points, game.points);
    EXPECT_EQ(read->elapsedSeconds, game.elapsedSeconds);
    EXPECT_EQ(read->rules, game.rules);
    EXPECT_EQ(read->table, game.table);
    EXPECT_EQ(read->history, game.history);
    // No temporary file is left beside it.
    EXPECT_EQ(StateEntries(), std::vector<std::string>{"player20-game12.sav"});
    DiscardSavedGame(kPlayer, 12);
    EXPECT_FALSE(HasSavedGame(kPlayer, 12));
}

}  // namespace
