// Each player's record of every game, kept in the settings tree beside the player:
//
//   Players\<player>\Statistics\<game name>
//       "Played", "Won", "Streak", "BestStreak", "Scored" (deals that reached a final score),
//       "BestScore", "ScoreTotal" (signed), "FastestWin", "SecondsPlayed" (DWORDs)
//
// A deal counts as played from its first move. Its end is counted once: won, or lost (no moves
// left, ended by the player, or left for another deal). A deal kept for resuming is neither yet.
// Values that are missing, of the wrong type or out of their range read as zero, so a damaged
// file costs figures, never a crash. Every update is one batch: one save of the settings file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct GameStatistics {
    int32_t played = 0;
    int32_t won = 0;
    int32_t streak = 0;      // wins in a row up to now
    int32_t bestStreak = 0;
    int32_t scored = 0;      // deals that ended with a final score
    int32_t bestScore = 0;   // meaningful when scored > 0
    int32_t scoreTotal = 0;
    int32_t fastestWin = 0;  // seconds; 0 before the first win
    int32_t secondsPlayed = 0;

    // Whole percent of played deals won, rounded down; 0 before the first deal.
    int WinPercent() const;
    // The mean final score, rounded towards zero; none before a deal has ended with a score.
    std::optional<int32_t> AverageScore() const;
};

std::string StatisticsPath(int player, std::string_view gameName);

GameStatistics ReadStatistics(int player, std::string_view gameName);
// The first move of a deal.
void CountDealPlayed(int player, std::string_view gameName);
// The end of a counted deal. A deal left unfinished has no final score.
void CountDealWon(int player, std::string_view gameName, int32_t finalScore, int32_t seconds);
void CountDealLost(int player, std::string_view gameName, std::optional<int32_t> finalScore, int32_t seconds);
// Forgets every figure of the player in every game.
void ResetStatistics(int player);
