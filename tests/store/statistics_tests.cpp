// The statistics in the settings tree, against a fresh settings file. (Saved games are kept and
// read back through the real program in the shell's deal-keeping tests.)
#include <gtest/gtest.h>

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

}  // namespace
