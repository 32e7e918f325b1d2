// High-score tables: what is recorded, where it lands, and resetting.
#include "store/high_scores.h"

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

}  // namespace
