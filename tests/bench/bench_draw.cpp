// Speed of the drawing layer's hot paths: the composition copies, JPEG and PNG decoding, text
// measuring, and the window's margins drawn anew after a resize.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/jpeg_encode.h"
#include "platform/scaled_window.h"
#include "platform/scripted_backend.h"

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kCardWidth = 53;
constexpr int kCardHeight = 83;

struct Buffers {
    int screen, card, back;
    Buffers() {
        InitBuffers();
        SetTransparentColor(34, 1);
        SetTransparentColor(253, 1);
        screen = CreateBuffer(kScreenWidth, kScreenHeight);
        back = CreateBuffer(kScreenWidth, kScreenHeight);
        card = CreateBuffer(kCardWidth, kCardHeight);
        // A card with magenta corners, the way card artwork is cut.
        SelectBuffer(card);
        SetColor(MapRgb(255, 0, 255));
        FillBuffer();
        SetColor(MapRgb(250, 250, 240));
        FillRect(2, kCardWidth - 3, 0, kCardHeight - 1);
        FillRect(0, kCardWidth - 1, 2, kCardHeight - 3);
        SelectBuffer(screen);
    }
};

Buffers& TheBuffers() {
    static Buffers buffers;
    return buffers;
}

void BM_TransparentCardCopy(benchmark::State& state) {
    Buffers& b = TheBuffers();
    int x = 0;
    for (auto _ : state) {
        CopyBufferRectTransparent(0, kCardWidth - 1, 0, kCardHeight - 1, 100 + (x++ & 63), 300, b.card, b.screen);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TransparentCardCopy);

void BM_FullScreenOpaqueCopy(benchmark::State& state) {
    Buffers& b = TheBuffers();
    for (auto _ : state) {
        CopyBufferRect(0, kScreenWidth - 1, 0, kScreenHeight - 1, 0, kScreenHeight - 1, b.back, b.screen);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FullScreenOpaqueCopy)->Unit(benchmark::kMicrosecond);

void BM_JpegDecodeFullScreen(benchmark::State& state) {
    TheBuffers();
    // A smooth gradient with some detail, like the backdrops.
    std::vector<uint32_t> picture(kScreenWidth * kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            picture[y * kScreenWidth + x] = MapRgb(x * 255 / kScreenWidth, y * 255 / kScreenHeight, (x ^ y) & 255);
    const std::vector<uint8_t> jpeg = EncodeJpeg(picture.data(), kScreenWidth, kScreenHeight, 90);
    std::vector<uint8_t> work(static_cast<size_t>(kScreenWidth) * kScreenHeight * 4);
    for (auto _ : state) {
        SetImageWorkBuffer(work.data(), work.size());
        if (!ShowJpegMemory(jpeg.data(), jpeg.size())) state.SkipWithError("decode failed");
    }
}
BENCHMARK(BM_JpegDecodeFullScreen)->Unit(benchmark::kMillisecond);

void BM_TextWidth40(benchmark::State& state) {
    // A 96-glyph font of 7 x 12 glyphs, built in memory.
    std::vector<uint8_t> font{'Q', 'F', 'G', 'F', 1, 0, 96, 0, 32, 0, 1, 9, 12, 0, 0, 0};
    for (int c = 0; c < 96; ++c) {
        font.push_back(7);
        font.push_back(12);
        font.insert(font.end(), 7 * 12, 200);
    }
    int slot = LoadFontMemory(font.data(), font.size());
    SelectFont(slot);
    static const char kText[] = "The quick brown fox jumps over lazy dogs";
    static_assert(sizeof kText - 1 == 40);
    for (auto _ : state) benchmark::DoNotOptimize(TextWidth(kText, 40));
    UnloadFont(slot);
}
BENCHMARK(BM_TextWidth40);

// The card copy at device scale 3 (nine times the pixels). It starts the drawing layer afresh at
// that scale, so it runs last.
Buffers& ThreeXBuffers() {
    static ScriptedBackend backend;
    backend.SetDeviceScale(3);
    SetBackend(&backend);
    static Buffers buffers;
    return buffers;
}

void BM_TransparentCardCopyAtThreeX(benchmark::State& state) {
    Buffers& buffers = ThreeXBuffers();
    int x = 0;
    for (auto _ : state) {
        CopyBufferRectTransparent(0, kCardWidth - 1, 0, kCardHeight - 1, 100 + (x++ & 63), 300, buffers.card,
                                  buffers.screen);
        benchmark::ClobberMemory();
    }
    SetBackend(nullptr);
}
BENCHMARK(BM_TransparentCardCopyAtThreeX);

// A sliding card's frame at device scale 3: what lay under it put back, what lies under its new
// place saved (the deal animation does this for every frame of every card).
void BM_SaveUnderCardAtThreeX(benchmark::State& state) {
    ThreeXBuffers();
    std::vector<uint8_t> before(ImageSize(kCardWidth, kCardHeight)), after(before.size());
    int x = 0;
    GetBlock(before.data(), 100, 100 + kCardWidth - 1, 300, 300 + kCardHeight - 1);
    for (auto _ : state) {
        const int left = 100 + (x++ & 63);
        PutBlock(before.data(), left, left + kCardWidth - 1, 300, 300 + kCardHeight - 1);
        GetBlock(after.data(), left + 1, left + kCardWidth, 300, 300 + kCardHeight - 1);
        std::swap(before, after);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kCardWidth * kCardHeight * 9);
    SetBackend(nullptr);
}
BENCHMARK(BM_SaveUnderCardAtThreeX);

// A card sheet of the generated data at 3x (QUILLFEN_DATA_DIR), decoded into its buffer as a
// game's first deal at 4K does: the largest PNG the program reads.
void BM_CardSheetPngAtThreeX(benchmark::State& state) {
    ThreeXBuffers();
    const char* data = std::getenv("QUILLFEN_DATA_DIR");
    std::ifstream in(std::string(data ? data : "data") + "/artwork/deck1@3x.png", std::ios::binary);
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int sheet = CreateBuffer(702, 336);
    SelectBuffer(sheet);
    for (auto _ : state)
        if (!ShowScaledPngMemory(png.data(), png.size(), 1)) state.SkipWithError("no card sheet in QUILLFEN_DATA_DIR");
    FreeBuffer(sheet);
    SetBackend(nullptr);
}
BENCHMARK(BM_CardSheetPngAtThreeX)->Unit(benchmark::kMillisecond);

// The margins of a maximised 4K window beside a 3x table, drawn from the backdrop as after a
// resize (window pixels per second counts the margins' pixels).
void BM_MarginsOfA4KWindow(benchmark::State& state) {
    constexpr int kScale = 3, kWindowWidth = 3840, kWindowHeight = 2160;
    const int width = kScreenWidth * kScale, height = kScreenHeight * kScale;
    std::vector<uint32_t> picture(static_cast<size_t>(width) * height);
    std::mt19937 random(1);
    for (uint32_t& p : picture) p = random() & 0xFFFFFF;
    ScaledWindow view;
    view.Configure(kScreenWidth, kScreenHeight, kScale, kWindowWidth, kWindowHeight, false);
    view.Store(picture.data(), width, 0, 0, width, height, 0, 0);
    view.SetMarginPicture(MarginPicture::Owned(picture, width, height));
    std::vector<uint32_t> window(static_cast<size_t>(kWindowWidth) * kWindowHeight);
    for (auto _ : state) {
        view.RenderMargins(0, window.data(), kWindowWidth);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (kWindowWidth - view.Table().Width()) * kWindowHeight);
}
BENCHMARK(BM_MarginsOfA4KWindow)->Unit(benchmark::kMillisecond);

// What a pointer move that carries a card 300 x 200 table pixels costs the window at 3x before
// any filtering: the box round both places is compared with the frame and the two places are
// found in it (the card alternates between the two ends of the box).
void BM_ChangesOfAJumpingCardAtThreeX(benchmark::State& state) {
    constexpr int kScale = 3, kCardWidth = 53 * kScale, kCardHeight = 83 * kScale;
    constexpr int kLeft = 100 * kScale, kTop = 100 * kScale, kJumpX = 300 * kScale, kJumpY = 200 * kScale;
    const int width = kScreenWidth * kScale, height = kScreenHeight * kScale;
    std::vector<uint32_t> picture(static_cast<size_t>(width) * height, 0x336633);
    ScaledWindow view;
    view.Configure(kScreenWidth, kScreenHeight, kScale, 3840, 2160, false);
    view.Store(picture.data(), width, 0, 0, width, height, 0, 0);
    std::vector<Rect> bands;
    bool far = false;
    for (auto _ : state) {
        state.PauseTiming();
        far = !far;
        for (int row = 0; row < kCardHeight; ++row)
            for (int col = 0; col < kCardWidth; ++col) {
                const size_t near = static_cast<size_t>(kTop + row) * width + kLeft + col;
                const size_t away = near + static_cast<size_t>(kJumpY) * width + kJumpX;
                picture[far ? away : near] = 0xFFFFFF - static_cast<uint32_t>(row * 7 + col);
                picture[far ? near : away] = 0x336633;
            }
        bands.clear();
        state.ResumeTiming();
        view.StoreChanges(picture.data(), width, kLeft, kTop, kJumpX + kCardWidth, kJumpY + kCardHeight, kLeft, kTop,
                          bands);
    }
}
BENCHMARK(BM_ChangesOfAJumpingCardAtThreeX)->Unit(benchmark::kMicrosecond);

// A card's place filtered from the frame into a full-screen window: the window's share of a drag
// step (arguments: the frame's scale, the window's width and height).
void BM_RenderACardIntoTheWindow(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0)), windowWidth = static_cast<int>(state.range(1));
    const int width = kScreenWidth * scale, height = kScreenHeight * scale;
    std::vector<uint32_t> picture(static_cast<size_t>(width) * height);
    std::mt19937 random(3);
    for (uint32_t& p : picture) p = random() & 0xFFFFFF;
    ScaledWindow view;
    view.Configure(kScreenWidth, kScreenHeight, scale, windowWidth, static_cast<int>(state.range(2)), false);
    view.Store(picture.data(), width, 0, 0, width, height, 0, 0);
    std::vector<uint32_t> window(static_cast<size_t>(windowWidth) * state.range(2));
    const Rect card = Rect::FromSize(300 * scale, 200 * scale, 71 * scale, 96 * scale);
    for (auto _ : state) benchmark::DoNotOptimize(view.Render(card, window.data(), windowWidth));
}
BENCHMARK(BM_RenderACardIntoTheWindow)->Args({3, 3840, 2160})->Args({2, 1920, 1080})->Unit(benchmark::kMicrosecond);

}  // namespace
