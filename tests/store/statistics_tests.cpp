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

TEST_F(StoreTest, StatisticsFollowWinsLossesAndAbandonedDeals) {
    CountDealPlayed(kPlayer, "Golf");
    CountDealWon(kPlayer, "Golf", 120, 300);
    CountDealPlayed(kPlayer, "Golf");
    CountDealWon(kPlayer, "Golf", 80, 200);
    GameStatistics figures = ReadStatistics(kPlayer, "Golf");
    EXPECT_EQ(figures.played, 2);
    EXPECT_EQ(figures.won, 2);
    EXPECT_EQ(figures.streak, 2);
    EXPECT_EQ(figures.bestStreak, 2);
    EXPECT_EQ(figures.fastestWin, 200);
    EXPECT_EQ(figures.bestScore, 120);
    EXPECT_EQ(figures.AverageScore(), 100);

    // A loss with a negative final score, then a deal left unfinished: no score, but its time.
    CountDealPlayed(kPlayer, "Golf");
    CountDealLost(kPlayer, "Golf", -60, 50);
    CountDealPlayed(kPlayer, "Golf");
    CountDealLost(kPlayer, "Golf", std::nullopt, 10);
    figures = ReadStatistics(kPlayer, "Golf");
    EXPECT_EQ(figures.played, 4);
    EXPECT_EQ(figures.won, 2);
    EXPECT_EQ(figures.WinPercent(), 50);
    EXPECT_EQ(figures.streak, 0);
    EXPECT_EQ(figures.bestStreak, 2);
    EXPECT_EQ(figures.scored, 3);
    EXPECT_EQ(figures.AverageScore(), (120 + 80 - 60) / 3);
    EXPECT_EQ(figures.secondsPlayed, 560);

    // Other games and players are untouched, and everything survives a reload.
    EXPECT_EQ(ReadStatistics(kPlayer, "Pyramid").played, 0);
    EXPECT_EQ(ReadStatistics(kPlayer + 1, "Golf").played, 0);
    Reload();
    EXPECT_EQ(ReadStatistics(kPlayer, "Golf").secondsPlayed, 560);
    EXPECT_EQ(ReadStatistics(kPlayer, "Golf").bestScore, 120);
}

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

TEST_F(SavedGameTest, ADamagedFileIsSetAsideWithAMessage) {
    const std::vector<uint8_t> whole = EncodeSavedGame(Sample());
    // Cut short, one byte changed, and a whole file that claims another game.
    std::vector<std::vector<uint8_t>> damaged = {{whole.begin(), whole.begin() + 40}, whole, {}};
    damaged[1][30] ^= 0x10;
    SavedGame other = Sample();
    other.gameNumber = 3;
    damaged[2] = EncodeSavedGame(other);
    for (const std::vector<uint8_t>& bytes : damaged) {
        std::filesystem::remove_all(StateDirectory());
        std::ofstream(SavedGamePath(kPlayer, 12), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(ReadSavedGame(kPlayer, 12));
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("player20-game12.sav"), std::string::npos) << message;
        const std::vector<std::string> entries = StateEntries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].rfind("player20-game12.sav.bad-", 0), 0u) << entries[0];
        EXPECT_FALSE(HasSavedGame(kPlayer, 12));
    }
    // Bytes a reader must refuse however they are cut.
    for (size_t length = 0; length < whole.size(); length += 97)
        EXPECT_FALSE(DecodeSavedGame({whole.data(), length})) << length;
}

}  // namespace
