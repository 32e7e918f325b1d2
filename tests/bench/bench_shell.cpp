// Speed of the shell's hot paths: drawing a card, moving the selection highlight, loading a
// backdrop theme, and shuffling two packs. Reads the generated artwork of the build's data folder
// unless QUILLFEN_DATA_DIR names another.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "cards/deck.h"
#include "draw/draw.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "shell/game_menu.h"
#include "artwork/screen_layout.h"

namespace {

LRESULT IgnoreMessages(HWND, uint32_t, WPARAM, LPARAM) { return 0; }

// The drawing layer with a screen buffer, the artwork and the menu, presenting to a scripted
// window: what the selection screen has while the program runs.
struct Stage {
    ScriptedBackend backend;
    int screen = -1;
    Artwork artwork;
    GameMenu menu;

    Stage() {
        SetBackend(&backend);
        HWND window = CreateMainWindow("bench", 800, 600, IgnoreMessages);
        SetupDisplay(800, 600, 32, 0);
        InitBuffers();
        SetBufferDepth(32);
        screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        artwork.Init(screen, window, 0);
        artwork.LoadTheme(0);
        artwork.DrawSelectionScreen();
        menu.Init();
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

void BM_DrawCard(benchmark::State& state) {
    Stage& stage = TheStage();
    int i = 0;
    for (auto _ : state) {
        const Card card(i % 4, i % 13);
        stage.artwork.DrawCard(100 + i % 500, 100 + i % 300, card, stage.screen, (i & 64) != 0);
        ++i;
    }
}
BENCHMARK(BM_DrawCard);

// Each iteration moves the highlight from one name to the next: un-highlight, highlight, and
// present the two rectangles.
void BM_HoverAcrossTwoItems(benchmark::State& state) {
    Stage& stage = TheStage();
    const auto& items = screen_layout::kGameMenuItems;
    int item = 0;
    for (auto _ : state) {
        item = item == 11 ? 12 : 11;
        const auto& r = items[item];
        stage.menu.Hover(r.left + r.Width() / 2, r.top + r.Height() / 2, stage.screen);
        for (const Rect& rect : stage.menu.Touched()) stage.artwork.AddDirty(rect);
        stage.artwork.PresentDirty();
    }
}
BENCHMARK(BM_HoverAcrossTwoItems)->Unit(benchmark::kMicrosecond);

// A theme decoded anew (another theme was loaded before it, untimed)...
void BM_LoadTheme(benchmark::State& state) {
    Stage& stage = TheStage();
    const int theme = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        stage.artwork.LoadTheme((theme + 1) % screen_layout::kThemeCount);
        state.ResumeTiming();
        stage.artwork.LoadTheme(theme);
    }
}
BENCHMARK(BM_LoadTheme)->DenseRange(0, screen_layout::kThemeCount - 1)->Unit(benchmark::kMillisecond);

// ...and the same theme again, as each deal asks for it: only the game's title comes off.
void BM_LoadThemeKept(benchmark::State& state) {
    Stage& stage = TheStage();
    stage.artwork.LoadTheme(0);
    for (auto _ : state) {
        stage.artwork.DrawGameTitle(12);
        stage.artwork.LoadTheme(0);
    }
}
BENCHMARK(BM_LoadThemeKept)->Unit(benchmark::kMicrosecond);

void BM_ShuffleTwoPacks(benchmark::State& state) {
    Deck deck;
    deck.SetPacks(2);
    deck.Seed(1);
    for (auto _ : state) {
        deck.Shuffle();
        benchmark::DoNotOptimize(deck.OrderAt(0));
    }
}
BENCHMARK(BM_ShuffleTwoPacks)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QUILLFEN_DATA_DIR", QUILLFEN_BENCH_DATA_DIR, 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
