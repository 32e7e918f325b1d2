// High-score tables and statistics against a fresh settings file: what is recorded and where it
// lands. (Saved games are kept and read back through the real program in the shell's
// deal-keeping tests.)
#include "store/high_scores.h"
#include "store/statistics.h"

#include "store_fixture.h"

namespace {

using HighScores = StoreTest;

constexpr const char* kGame = "Spider";

std::vector<int32_t> Scores(const char* game) {
    std::vector<int32_t> scores;
    for (const ScoreEntry& entry : ReadScoreTable(game)) scores.push_back(entry.score);
    return scores;
}

TEST_F(HighScores, RefusesEmptyNamesAndScoresAtOrBelowZero) {
    EXPECT_FALSE(AddScore(kGame, "Ann", 0));
    EXPECT_FALSE(AddScore(kGame, "Ann", -5));
    EXPECT_FALSE(AddScore(kGame, "", 50));
    EXPECT_FALSE(KeyExists(ScoresPath(kGame)));
    EXPECT_EQ(TenthScore(kGame), 0);

    EXPECT_TRUE(AddScore(kGame, "Ann", 1));
    EXPECT_EQ(String(ScorePlacePath(kGame, 1), "Name"), "Ann");
    EXPECT_EQ(Dword(ScorePlacePath(kGame, 1), "Score"), 1u);
    // Reading a place that does not exist does not create it.
    EXPECT_EQ(ReadScore(kGame, 2).name, "");
    EXPECT_FALSE(KeyExists(ScorePlacePath(kGame, 2)));
}

TEST_F(HighScores, FullTableReplacesItsTenthPlaceOnlyWhenBeaten) {
    for (int32_t score = 100; score <= 550; score += 50) {
        EXPECT_TRUE(AddScore(kGame, "P" + std::to_string(score), score));
    }
    EXPECT_EQ(CountScores(kGame), kScorePlaces);
    EXPECT_EQ(Scores(kGame), (std::vector<int32_t>{550, 500, 450, 400, 350, 300, 250, 200, 150, 100}));
    EXPECT_EQ(TenthScore(kGame), 100);

    EXPECT_FALSE(AddScore(kGame, "Tie", 100));
    EXPECT_TRUE(AddScore(kGame, "Ann", 101));
    EXPECT_EQ(Scores(kGame), (std::vector<int32_t>{550, 500, 450, 400, 350, 300, 250, 200, 150, 101}));
    EXPECT_TRUE(AddScore(kGame, "Top", 1000));
    const std::vector<ScoreEntry> table = ReadScoreTable(kGame);
    EXPECT_EQ(table.front().name, "Top");
    EXPECT_EQ(table.back().name, "P150");
    EXPECT_FALSE(KeyExists(ScorePlacePath(kGame, 11)));
}

// ---- Statistics ----

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
