// Presenting a card-sized rectangle through our drawing layer and SDL back end, side by side with
// a bare SDL program presenting the same rectangle. Needs a display (run_present.sh starts Xvfb).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "draw/draw.h"
#include "platform/bare_sdl_presenter.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/sdl_backend.h"

namespace {

constexpr int kCardWidth = 53;
constexpr int kCardHeight = 83;
constexpr int kCardX = 300;
constexpr int kCardY = 200;

LRESULT QuietProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(window, message, wParam, lParam);
}

std::unique_ptr<Backend> sdl;
int screen = -1;

bool OpenOurWindow() {
    if (screen >= 0) return true;
    sdl = CreateSdlBackend();
    if (!sdl) return false;
    SetBackend(sdl.get());
    HWND window = CreateMainWindow("bench", 800, 600, QuietProcedure);
    if (!window) return false;
    ShowMainWindow(window);
    SetupDisplay(800, 600, 32, 0);
    InitBuffers();
    SetBufferDepth(32);
    screen = CreateBuffer(800, 600);
    SelectBuffer(screen);
    SetColor(MapRgb(0, 90, 40));
    FillBuffer();
    return true;
}

void OurPresentOfACard(benchmark::State& state) {
    if (!OpenOurWindow()) {
        state.SkipWithError("no SDL window");
        return;
    }
    for (auto _ : state) {
        PresentRect(kCardX, kCardX + kCardWidth - 1, kCardY, kCardY + kCardHeight - 1, kCardX,
                    kCardY + kCardHeight - 1);
    }
}

void BareSdlPresentOfACard(benchmark::State& state) {
    static BareSdlPresenter bare(800, 600);
    if (!bare.Ok()) {
        state.SkipWithError("no SDL window");
        return;
    }
    std::vector<uint32_t> pixels(800 * 600, 0x005A28u);
    for (auto _ : state) bare.Present(pixels.data(), 800, kCardX, kCardY, kCardWidth, kCardHeight);
}

// Our own share of a present: the copy of the rectangle into the streaming texture.
void TextureUpdateOfACard(benchmark::State& state) {
    static BareSdlPresenter bare(800, 600);
    if (!bare.Ok()) {
        state.SkipWithError("no SDL window");
        return;
    }
    std::vector<uint32_t> pixels(800 * 600, 0x005A28u);
    for (auto _ : state) bare.UpdateTexture(pixels.data(), 800, kCardX, kCardY, kCardWidth, kCardHeight);
}

// Interleaved repetitions so both sides see the same X server conditions.
BENCHMARK(OurPresentOfACard)->Repetitions(3)->MinTime(0.5);
BENCHMARK(BareSdlPresentOfACard)->Repetitions(3)->MinTime(0.5);
BENCHMARK(TextureUpdateOfACard)->Repetitions(3)->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
