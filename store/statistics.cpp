#include "store/statistics.h"

#include <algorithm>
#include <limits>

#include "platform/settings_file.h"
#include "store/settings_store.h"

namespace {

constexpr int32_t kMaxCount = std::numeric_limits<int32_t>::max();

struct Field {
    const char* name;
    int32_t GameStatistics::*member;
    bool mayBeNegative;
};
constexpr Field kFields[] = {
    {"Played", &GameStatistics::played, false},     {"Won", &GameStatistics::won, false},
    {"Streak", &GameStatistics::streak, false},     {"BestStreak", &GameStatistics::bestStreak, false},
    {"Scored", &GameStatistics::scored, false},     {"BestScore", &GameStatistics::bestScore, true},
    {"ScoreTotal", &GameStatistics::scoreTotal, true}, {"FastestWin", &GameStatistics::fastestWin, false},
    {"SecondsPlayed", &GameStatistics::secondsPlayed, false},
};

int32_t ReadField(RegKey key, const Field& field) {
    uint32_t raw = 0;
    if (RegQueryDword(key, field.name, &raw) != kRegOk) return 0;
    const auto value = static_cast<int32_t>(raw);
    return value < 0 && !field.mayBeNegative ? 0 : value;
}

// Counts never wrap: a figure that reached the top stays there.
int32_t Add(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(), kMaxCount));
}

// Reads the figures, lets change alter them and writes them back in one save. Figures that make
// no sense together (more wins than deals) are brought back into line first.
template <typename Change>
void Update(int player, std::string_view gameName, Change change) {
    if (player < 0) return;
    GameStatistics figures = ReadStatistics(player, gameName);
    change(figures);
    figures.won = std::min(figures.won, figures.played);
    figures.bestStreak = std::max(figures.bestStreak, figures.streak);
    RegistryBatch batch;
    const SettingsKey key(StatisticsPath(player, gameName));
    for (const Field& field : kFields) RegSetDword(key, field.name, static_cast<uint32_t>(figures.*field.member));
}

void CountEnd(GameStatistics& figures, std::optional<int32_t> finalScore, int32_t seconds) {
    figures.secondsPlayed = Add(figures.secondsPlayed, std::max(seconds, 0));
    if (!finalScore) return;
    figures.bestScore = figures.scored > 0 ? std::max(figures.bestScore, *finalScore) : *finalScore;
    figures.scored = Add(figures.scored, 1);
    figures.scoreTotal = Add(figures.scoreTotal, *finalScore);
}

}  // namespace

int GameStatistics::WinPercent() const {
    if (played <= 0) return 0;
    return static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(won) * 100 / played, 0, 100));
}

std::optional<int32_t> GameStatistics::AverageScore() const {
    if (scored <= 0) return std::nullopt;
    return scoreTotal / scored;
}

std::string StatisticsPath(int player, std::string_view gameName) {
    return PlayerPath(player) + "\\Statistics\\" + std::string(gameName);
}

GameStatistics ReadStatistics(int player, std::string_view gameName) {
    GameStatistics figures;
    const RegKey key = RegOpenKey(StatisticsPath(player, gameName));
    if (key == kNoRegKey) return figures;
    for (const Field& field : kFields) figures.*field.member = ReadField(key, field);
    RegCloseKey(key);
    return figures;
}

void CountDealPlayed(int player, std::string_view gameName) {
    Update(player, gameName, [](GameStatistics& figures) { figures.played = Add(figures.played, 1); });
}

void CountDealWon(int player, std::string_view gameName, int32_t finalScore, int32_t seconds) {
    Update(player, gameName, [&](GameStatistics& figures) {
        figures.won = Add(figures.won, 1);
        figures.streak = Add(figures.streak, 1);
        if (seconds >= 0 && (figures.fastestWin == 0 || seconds < figures.fastestWin))
            figures.fastestWin = std::max(seconds, 1);
        CountEnd(figures, finalScore, seconds);
    });
}

void CountDealLost(int player, std::string_view gameName, std::optional<int32_t> finalScore, int32_t seconds) {
    Update(player, gameName, [&](GameStatistics& figures) {
        figures.streak = 0;
        CountEnd(figures, finalScore, seconds);
    });
}

void ResetStatistics(int player) {
    if (player < 0) return;
    const std::string root = PlayerPath(player) + "\\Statistics";
    RegistryBatch batch;
    const RegKey key = RegOpenKey(root);
    if (key == kNoRegKey) return;
    const std::vector<std::string> games = RegEnumKeys(key);
    RegCloseKey(key);
    for (const std::string& game : games) RegDeleteKey(root + "\\" + game);
    RegDeleteKey(root);
}
