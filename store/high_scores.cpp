#include "store/high_scores.h"

#include <algorithm>

#include "platform/settings_file.h"
#include "store/settings_store.h"

namespace {

bool PlaceExists(std::string_view gameName, int place) {
    const RegKey probe = RegOpenKey(ScorePlacePath(gameName, place));
    RegCloseKey(probe);
    return probe != kNoRegKey;
}

void WritePlace(std::string_view gameName, int place, const ScoreEntry& entry) {
    const SettingsKey key(ScorePlacePath(gameName, place));
    WriteStringValue(key, "Name", entry.name);
    WriteDwordValue(key, "Score", entry.score);
}

}  // namespace

std::string ScoresPath(std::string_view gameName) {
    return GameSettingsPath(gameName) + "\\Scores";
}

std::string ScorePlacePath(std::string_view gameName, int place) {
    return ScoresPath(gameName) + "\\" + std::to_string(place);
}

int CountScores(std::string_view gameName) {
    for (int place = 1; place <= kScorePlaces; ++place) {
        if (!PlaceExists(gameName, place)) return place - 1;
    }
    return kScorePlaces;
}

ScoreEntry ReadScore(std::string_view gameName, int place) {
    ScoreEntry entry;
    if (!PlaceExists(gameName, place)) return entry;
    const SettingsKey key(ScorePlacePath(gameName, place));
    entry.name = ReadStringValue(key, "Name", "");
    entry.score = ReadDwordValue(key, "Score", 0);
    return entry;
}

int32_t TenthScore(std::string_view gameName) {
    return ReadScore(gameName, kScorePlaces).score;
}

bool AddScore(std::string_view gameName, std::string_view playerName, int32_t score) {
    if (playerName.empty()) return false;
    // Insertion, re-sort and the rewrite of every place reach the file as one save.
    RegistryBatch batch;
    if (score <= TenthScore(gameName)) return false;
    const int place = std::min(CountScores(gameName) + 1, kScorePlaces);
    WritePlace(gameName, place, ScoreEntry{std::string(playerName), score});
    SortScores(gameName);
    return true;
}

void SortScores(std::string_view gameName) {
    RegistryBatch batch;
    std::vector<ScoreEntry> table = ReadScoreTable(gameName);
    std::sort(table.begin(), table.end(),
              [](const ScoreEntry& a, const ScoreEntry& b) { return a.score > b.score; });
    ClearScores(gameName);
    for (size_t i = 0; i < table.size(); ++i) WritePlace(gameName, static_cast<int>(i) + 1, table[i]);
}

void ClearScores(std::string_view gameName) {
    RegistryBatch batch;
    const int count = CountScores(gameName);
    for (int place = 1; place <= count; ++place) RegDeleteKey(ScorePlacePath(gameName, place));
    RegDeleteKey(ScoresPath(gameName));
}

std::vector<ScoreEntry> ReadScoreTable(std::string_view gameName) {
    std::vector<ScoreEntry> table;
    const int count = CountScores(gameName);
    for (int place = 1; place <= count; ++place) table.push_back(ReadScore(gameName, place));
    return table;
}

int HighlightedPlace(const std::vector<ScoreEntry>& table, int32_t highlight) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].score == highlight) return static_cast<int>(i);
    }
    return -1;
}
