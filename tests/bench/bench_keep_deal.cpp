// Keeping the deal after a move: what play waits for (the table captured, encoded, written and
// renamed into place, its sync handed to a thread) beside the synced write itself (temporary file, sync, rename, folder sync),
// with the state folder on the disk as in use, not on tmpfs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "bench_table.h"
#include "games/klondike.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "store/saved_game.h"

namespace {

// The scripted table, its kept deals in a folder on the disk.
struct KeptTable {
    test_support::TempFolder stateFolder{"bench-state"};
    test_support::ScopedEnvironment state{"XDG_STATE_HOME", stateFolder.String()};
    ScriptedTable table;

    ~KeptTable() { FlushSavedGames(); }
};

// A Klondike deal with 60 moves made (stock turns), as kept after the next move.
SavedGame DealWithHistory(KeptTable& table, std::unique_ptr<KlondikeGame>& game) {
    game = std::make_unique<KlondikeGame>(table.table.artwork.get());
    game->Deal(false, 12345);
    for (int click = 0; click < 60; ++click)
        game->OnLButtonDown(MK_LBUTTON, KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 30);
    return game->CaptureDeal();
}

void BM_KeepDealAfterAMove(benchmark::State& state) {
    KeptTable table;
    std::unique_ptr<KlondikeGame> game;
    DealWithHistory(table, game);
    for (auto _ : state) {
        WriteSavedGameSoon(1, game->CaptureDeal());
        // A quick player's next move comes a tenth of a second later, when the sync has run.
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state.ResumeTiming();
    }
    state.counters["records"] = game->undo.Count();
}
BENCHMARK(BM_KeepDealAfterAMove)->UseRealTime()->Unit(benchmark::kMicrosecond)->Iterations(50);

void BM_DurableSavedGameWrite(benchmark::State& state) {
    KeptTable table;
    std::unique_ptr<KlondikeGame> game;
    const SavedGame saved = DealWithHistory(table, game);
    for (auto _ : state) WriteSavedGame(1, saved);
}
BENCHMARK(BM_DurableSavedGameWrite)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
