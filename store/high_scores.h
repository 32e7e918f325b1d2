// Every game's table of the ten best scores, kept below the game's settings key:
//
//   <game name>\Scores             (no values)
//   <game name>\Scores\1 ... \10   "Name" (string), "Score" (DWORD, signed)
//
// Places are always 1..n without gaps, best first, and never hold a score of 0 or less. Nothing
// is cached: every count, read and insertion goes to the settings tree. The dialog that shows a
// table (HighScoresDialog) builds on ReadScoreTable and HighlightedPlace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int kScorePlaces = 10;

struct ScoreEntry {
    std::string name;
    int32_t score = 0;
};

std::string ScoresPath(std::string_view gameName);
std::string ScorePlacePath(std::string_view gameName, int place);

// The number of places 1, 2, ... that exist before the first missing one, at most kScorePlaces.
int CountScores(std::string_view gameName);
// The entry at a place (1-based); an empty name and 0 when the place does not exist, which is
// then not created.
ScoreEntry ReadScore(std::string_view gameName, int place);
// The score at place 10, or 0 while the table is not full. A game compares its final score with
// this to tell whether it made the table.
int32_t TenthScore(std::string_view gameName);
// Offers a final score: recorded when the player name is not empty and the score beats the tenth
// place (any score above 0 while the table is not full). A full table loses its tenth place.
// Returns true when the score was recorded; the table is then sorted again.
bool AddScore(std::string_view gameName, std::string_view playerName, int32_t score);
// Rewrites places 1..CountScores in descending order of score. Equal scores keep no defined order.
void SortScores(std::string_view gameName);
// Deletes places 1..CountScores and then the Scores key.
void ClearScores(std::string_view gameName);

// The table as the dialog shows it: places 1..CountScores.
std::vector<ScoreEntry> ReadScoreTable(std::string_view gameName);
// The index in the table of the first entry whose score equals highlight, or -1. Later equal
// entries are not highlighted; 0 (the menu's call) never matches, as no table holds 0.
int HighlightedPlace(const std::vector<ScoreEntry>& table, int32_t highlight);
