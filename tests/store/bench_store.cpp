// Speed of the settings store: a value read on an existing key, a score added to a full table
// (re-sort and atomic save included), and loading a well-filled settings file.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/settings_file.h"
#include "store/high_scores.h"
#include "store/settings_store.h"
#include "tests/test_support.h"

namespace {

constexpr int kPlayers = 100;
constexpr int kGames = 20;

// A settings file in a private folder, removed when the benchmark ends.
struct ScratchFile {
    ScratchFile() { SetRegistryFile(folder.String() + "/settings.reg"); }
    ~ScratchFile() { SetRegistryFile(folder.String() + "/unused.reg"); }
    test_support::TempFolder folder{"bench-store"};
};

void FillFullTable(const std::string& game) {
    for (int32_t score = 100; score <= 1000; score += 100) AddScore(game, "Player", score);
}

void BM_ReadDwordValue(benchmark::State& state) {
    ScratchFile scratch;
    { const SettingsKey key(GameSettingsPath("Klondike")); WriteDwordValue(key, "CardsDealt", 3); }
    for (auto _ : state) {
        const SettingsKey key(GameSettingsPath("Klondike"));
        benchmark::DoNotOptimize(ReadDwordValue(key, "CardsDealt", 3));
    }
}
BENCHMARK(BM_ReadDwordValue)->Unit(benchmark::kMicrosecond);

void BM_AddScoreToFullTable(benchmark::State& state) {
    ScratchFile scratch;
    FillFullTable("Spider");
    int32_t score = 2000;
    for (auto _ : state) AddScore("Spider", "Ann", ++score);
}
BENCHMARK(BM_AddScoreToFullTable)->Unit(benchmark::kMillisecond);

void BM_LoadLargeFile(benchmark::State& state) {
    ScratchFile scratch;
    {
        RegistryBatch batch;
        for (int player = 0; player < kPlayers; ++player) FindOrAddPlayer("Player " + std::to_string(player));
        for (int game = 0; game < kGames; ++game) FillFullTable("Game " + std::to_string(game));
    }
    const std::string file = RegistryFile();
    for (auto _ : state) {
        SetRegistryFile(file);
        RegCloseKey(RegOpenKey(PreferencesPath()));
    }
}
BENCHMARK(BM_LoadLargeFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
