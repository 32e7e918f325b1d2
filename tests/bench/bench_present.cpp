// The present path in a real SDL window under a virtual X server (run_present.sh): drag steps of
// one and of thirteen Klondike cards, a bare SDL program presenting the same rectangles, 200
// queued mouse moves drained through the message loop, and presents of a buffer drawn at the
// window's own scale.
//
// QUILLFEN_BENCH_SCALE (1, 2, 3) sets the window to that multiple of 800 x 600 and
// QUILLFEN_BENCH_DEVICE_SCALE the scale the frame is drawn at (default 1, what the drawing layer
// draws). Each benchmark reports, per iteration, the CPU of all our threads (getrusage) as
// "our_ms" and the X server's (its pid in QUILLFEN_X_SERVER_PID, read from /proc) as "x_ms".
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "games/klondike.h"
#include "platform/bare_sdl_presenter.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/settings_file.h"
#include "platform/sdl_backend.h"
#include "bench_table.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

namespace {

int EnvInt(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : fallback;
}

const int kScale = EnvInt("QUILLFEN_BENCH_SCALE", 1);
const int kDeviceScale = EnvInt("QUILLFEN_BENCH_DEVICE_SCALE", 1);

double OurCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The X server's CPU so far, from fields 14 and 15 of /proc/<pid>/stat; 0 when unknown.
double ServerCpuMs() {
    const int pid = EnvInt("QUILLFEN_X_SERVER_PID", 0);
    if (pid <= 0) return 0;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    // After the name, state is field 3; utime and stime are fields 14 and 15.
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number)
        if (number >= 14) ticks += std::stod(field);
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU per iteration of ours and of the X server, as benchmark counters.
class CpuMeter {
public:
    CpuMeter() : ours(OurCpuMs()), server(ServerCpuMs()) {}
    void Report(benchmark::State& state) const {
        const double n = static_cast<double>(std::max<int64_t>(1, state.iterations()));
        state.counters["our_ms"] = (OurCpuMs() - ours) / n;
        state.counters["x_ms"] = (ServerCpuMs() - server) / n;
    }

private:
    double ours, server;
};

Game* currentGame = nullptr;

LRESULT BenchProcedure(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam) {
    if (currentGame && message >= WM_MOUSEMOVE && message <= WM_LBUTTONDBLCLK) {
        currentGame->HandleMouseMessage(message, wParam, LowWord(lParam), HighWord(lParam));
        return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

struct Table {
    BenchFolder folder;
    std::unique_ptr<SdlBackend> backend;
    std::unique_ptr<Artwork> artwork;
    bool ok = false;

    Table() {
        WindowPlacement placement;
        placement.width = 800 * kScale;
        placement.height = 600 * kScale;
        placement.deviceScale = kDeviceScale;
        backend = CreateSdlBackend(placement);
        if (!backend) return;
        SetBackend(backend.get());
        HWND window = CreateMainWindow("Quillfen Solitaire", 800, 600, BenchProcedure);
        if (!window) return;
        artwork = SetUpGameTable(window);
        ok = true;
    }
    ~Table() {
        artwork.reset();
        if (HWND window = MainWindowHandle()) DestroyWindow(window);
        SetBackend(nullptr);
    }
};

Table& SharedTable() {
    static Table table;
    return table;
}

// Klondike with a run of `cards` cards (King down) alone on pile 6, picked up by its top card.
struct DragSetUp {
    std::unique_ptr<KlondikeGame> game;
    int x = 0, y = 0;

    DragSetUp(Table& table, int cards) : game(std::make_unique<KlondikeGame>(table.artwork.get())) {
        LayRunOnLastPile(*game, cards);
        x = KlondikeGame::PileX(6) + 20;
        y = KlondikeGame::kTableauY + 5;
        currentGame = game.get();
        game->OnLButtonDown(MK_LBUTTON, x, y);
    }
    ~DragSetUp() {
        game->OnLButtonUp(0, x, y);
        currentGame = nullptr;
    }
};

void DragStep(benchmark::State& state, int cards) {
    Table& table = SharedTable();
    if (!table.ok) {
        state.SkipWithError("no SDL window");
        return;
    }
    if (BufferWidth(ActiveBuffer()) != 800 * table.backend->DeviceScale()) {
        state.SkipWithError("the screen is not drawn at the device scale");
        return;
    }
    DragSetUp drag(table, cards);
    int step = 0;
    const CpuMeter meter;
    for (auto _ : state) {
        const int offset = (step++ % 40) * 5;
        drag.game->OnMouseMove(MK_LBUTTON, drag.x - offset, drag.y + offset / 4);
    }
    meter.Report(state);
}

void OneCardDragStep(benchmark::State& state) { DragStep(state, 1); }
void ThirteenCardDragStep(benchmark::State& state) { DragStep(state, 13); }

// What a drag step of that many cards sends: the union of the old and new stack, 5 pixels apart.
void BarePresent(benchmark::State& state, int cards) {
    static BareSdlPresenter bare(800 * kScale, 600 * kScale);
    if (!bare.Ok()) {
        state.SkipWithError("no SDL window");
        return;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(800 * kScale) * 600 * kScale, 0x005A28u);
    const int width = (53 + 5) * kScale, height = (83 + 15 * (cards - 1) + 2) * kScale;
    int step = 0;
    const CpuMeter meter;
    for (auto _ : state) {
        const int offset = (step++ % 40) * 5 * kScale;
        bare.Present(pixels.data(), 800 * kScale, 300 * kScale - offset, 150 * kScale + offset / 4, width, height);
    }
    meter.Report(state);
}

void BareOneCardPresent(benchmark::State& state) { BarePresent(state, 1); }
void BareThirteenCardPresent(benchmark::State& state) { BarePresent(state, 13); }

// 200 pointer moves waiting in SDL's queue during a drag, taken and handled by the message loop.
void Drain200QueuedMoves(benchmark::State& state) {
    Table& table = SharedTable();
    if (!table.ok || BufferWidth(ActiveBuffer()) != 800 * table.backend->DeviceScale()) {
        state.SkipWithError("no SDL window drawn at the device scale");
        return;
    }
    DragSetUp drag(table, 1);
    int round = 0;
    const CpuMeter meter;
    for (auto _ : state) {
        state.PauseTiming();
        const int base = (round++ % 2) * 100;
        int xy[400];
        for (int i = 0; i < 200; ++i) {
            xy[2 * i] = (drag.x + base - i / 2) * kScale;
            xy[2 * i + 1] = (drag.y + i / 4) * kScale;
        }
        QueueHostPointerMoves(xy, 200);
        state.ResumeTiming();
        Message message;
        while (PeekMessage(&message, true)) DispatchMessage(&message);
    }
    meter.Report(state);
}

// A card-sized present from a buffer drawn at the device scale itself (no resampling when the
// window's scale equals it).
void DeviceScaleCardPresent(benchmark::State& state) {
    Table& table = SharedTable();
    if (!table.ok) {
        state.SkipWithError("no SDL window");
        return;
    }
    const int scale = table.backend->DeviceScale();
    std::vector<uint32_t> frame(static_cast<size_t>(800 * scale) * 600 * scale, 0x00305A28u);
    const CpuMeter meter;
    int step = 0;
    for (auto _ : state) {
        const int x = (300 - (step++ % 40) * 5) * scale;
        table.backend->Present(frame.data(), 800 * scale, x, 200 * scale, 58 * scale, 85 * scale, x, 200 * scale);
    }
    meter.Report(state);
}

// Interleaved repetitions so both sides see the same X server conditions.
BENCHMARK(OneCardDragStep)->Repetitions(3)->MinTime(0.5)->MeasureProcessCPUTime();
BENCHMARK(BareOneCardPresent)->Repetitions(3)->MinTime(0.5)->MeasureProcessCPUTime();
BENCHMARK(ThirteenCardDragStep)->Repetitions(3)->MinTime(0.5)->MeasureProcessCPUTime();
BENCHMARK(BareThirteenCardPresent)->Repetitions(3)->MinTime(0.5)->MeasureProcessCPUTime();
BENCHMARK(Drain200QueuedMoves)->Repetitions(3)->MinTime(0.5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DeviceScaleCardPresent)->Repetitions(3)->MinTime(0.5)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("window %dx%d, frame drawn at %dx: peak memory %ld MB\n", 800 * kScale, 600 * kScale, kDeviceScale,
                usage.ru_maxrss / 1024);
    return 0;
}
