// The reference for the real-program benchmarks (bench_real.sh): a minimal SDL program doing
// the same presents as the game, in the same run. It opens its window, presents the whole
// screen once and prints "ready"; then it reads commands from standard input and answers each
// with one line:
//   deal <speed>   the card rectangles of a Klondike deal (same paths, same pacing) at speed
//                  0 normal, 1 fast, 2 off: "deal <wall ms> <cpu ms>"
//   idle <ms>      waits for events like a program with a 100 ms timer: "idle <wall ms> <cpu ms>"
//   music <ms>     the same wait with the six game songs played in turn the plain way (FluidSynth
//                  at the output rate, its own defaults): "music <wall ms> <cpu ms>", the CPU -1
//                  when there is no sound device or soundfont
//   drag <steps>   a card dragged that many steps of (3, 2) pixels, one every kDragStepMs, as
//                  bench_real.sh moves the pointer: "drag <wall ms> <cpu ms>"
//   moves 0        takes in the pointer moves that reached its window while it waited for the
//                  command, as one, and moves a card to the last one's place, presenting its old
//                  and new places: "moves <wall ms> <cpu ms> <moves taken in>"
//   quit
// With an argument n (1-3) it works at device scale n, as the program does in a large window: its
// window and every rectangle are n times the table's.
// CPU is the process's own total, all threads (getrusage RUSAGE_SELF).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "cards/card_geometry.h"
#include "framework/game.h"
#include "games/klondike.h"
#include "platform/bare_sdl_loop.h"
#include "platform/bare_sdl_presenter.h"
#include "platform/midi_player.h"
#include "platform/paths.h"
#include "store/settings_store.h"

namespace {

constexpr int kDragStepMs = 10;
int scale = 1;                   // device pixels per table pixel
int width = 800, height = 600;   // the window, in device pixels
using Clock = std::chrono::steady_clock;

double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One slide from the stock to a tableau place, presenting the union of the old and new card
// rectangles at each step due by the clock, as the game does.
void Slide(BareSdlPresenter& presenter, std::vector<uint32_t>& pixels, int toX, int toY) {
    const int cardW = (card_geometry::kCardWidth + 1) * scale, cardH = (card_geometry::kCardHeight + 1) * scale;
    const Game::SlidePath path = Game::PlanSlide(KlondikeGame::kStockX, KlondikeGame::kStockY, toX, toY, true);
    const uint32_t duration = Game::SlideDurationMs(path.steps, true);
    auto present = [&](int oldX, int oldY, int x, int y) {
        oldX *= scale, oldY *= scale, x *= scale, y *= scale;
        for (int row = y; row < y + cardH; ++row) std::fill_n(pixels.begin() + row * width + x, cardW, 0x00FFFFFFu);
        const int left = std::min(oldX, x), top = std::min(oldY, y);
        const int right = std::max(oldX, x) + cardW, bottom = std::max(oldY, y) + cardH;
        presenter.Present(pixels.data(), width, left, top, right - left, bottom - top);
    };
    if (duration == 0) {
        present(toX, toY, toX, toY);
        return;
    }
    const auto start = Clock::now();
    int shown = 0, x = path.fromX, y = path.fromY;
    while (shown < path.steps) {
        const auto elapsed = static_cast<uint64_t>(MsSince(start));
        const int due = static_cast<int>(std::min<uint64_t>(path.steps, elapsed * path.steps / duration + 1));
        if (due > shown) {
            int newX = 0, newY = 0;
            path.PositionAfter(due, newX, newY);
            present(x, y, newX, newY);
            x = newX, y = newY, shown = due;
        }
        if (shown < path.steps) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const auto end = start + std::chrono::milliseconds(duration);
    std::this_thread::sleep_until(end);
}

// Each step restores the table under the card, draws it 3 pixels right and 2 down and presents
// the union of the two rectangles.
void Drag(BareSdlPresenter& presenter, std::vector<uint32_t>& pixels, int steps) {
    const int cardW = (card_geometry::kCardWidth + 1) * scale, cardH = (card_geometry::kCardHeight + 1) * scale;
    int x = KlondikeGame::PileX(0) * scale, y = KlondikeGame::CardY(0) * scale;
    for (int step = 0; step < steps; ++step) {
        for (int row = y; row < y + cardH; ++row) std::fill_n(pixels.begin() + row * width + x, cardW, 0x00206020u);
        const int newX = x + 3 * scale, newY = y + 2 * scale;
        for (int row = newY; row < newY + cardH; ++row)
            std::fill_n(pixels.begin() + row * width + newX, cardW, 0x00FFFFFFu);
        presenter.Present(pixels.data(), width, x, y, cardW + 3 * scale, cardH + 2 * scale);
        x = newX, y = newY;
        std::this_thread::sleep_for(std::chrono::milliseconds(kDragStepMs));
    }
}

// A card under the pointer, at its last place (the table's colour restored under its old place),
// brought to where the waiting moves ended; returns how many moves were taken in.
int TakeMoves(BareSdlPresenter& presenter, std::vector<uint32_t>& pixels) {
    static int cardX = 0, cardY = 0;
    const int cardW = (card_geometry::kCardWidth + 1) * scale, cardH = (card_geometry::kCardHeight + 1) * scale;
    int x = cardX, y = cardY;
    const int moves = TakeWaitingPointerMoves(&x, &y);
    x = std::clamp(x, 0, width - cardW), y = std::clamp(y, 0, height - cardH);
    if (moves == 0 || (x == cardX && y == cardY)) return moves;
    for (int row = cardY; row < cardY + cardH; ++row) std::fill_n(pixels.begin() + row * width + cardX, cardW, 0x00206020u);
    for (int row = y; row < y + cardH; ++row) std::fill_n(pixels.begin() + row * width + x, cardW, 0x00FFFFFFu);
    const int before[4] = {cardX, cardY, cardW, cardH}, after[4] = {x, y, cardW, cardH};
    presenter.PresentTwo(pixels.data(), width, before, after);
    cardX = x, cardY = y;
    return moves;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) scale = std::clamp(std::atoi(argv[1]), 1, 3);
    width = 800 * scale, height = 600 * scale;
    BareSdlPresenter presenter(width, height);
    if (!presenter.Ok()) {
        std::fprintf(stderr, "bare_table: no window\n");
        return 1;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0x00206020u);
    presenter.Present(pixels.data(), width, 0, 0, width, height);
    std::printf("ready\n");
    std::fflush(stdout);
    for (std::string command; std::cin >> command;) {
        if (command == "quit") break;
        uint32_t value = 0;
        std::cin >> value;
        const auto start = Clock::now();
        const double cpu = CpuMs();
        if (command == "moves") {
            const int taken = TakeMoves(presenter, pixels);
            std::printf("moves %.1f %.3f %d\n", MsSince(start), CpuMs() - cpu, taken);
            std::fflush(stdout);
            continue;
        }
        if (command == "deal") {
            userPreferences.AnimationSpeed = value;
            // Row by row: one card to each pile from the row's own pile rightwards.
            for (int row = 0; row < KlondikeModel::kPiles; ++row)
                for (int pile = row; pile < KlondikeModel::kPiles; ++pile)
                    Slide(presenter, pixels, KlondikeGame::PileX(pile), KlondikeGame::CardY(row));
        } else if (command == "drag") {
            Drag(presenter, pixels, static_cast<int>(std::min<uint32_t>(value, 100)));
        } else if (command == "idle") {
            BareSdlIdle(value);
        } else if (command == "music") {
            std::vector<std::string> songs;
            for (int song = 1; song <= 6; ++song) songs.push_back(DataPath(("music/SONG" + std::to_string(song) + ".MID").c_str()));
            if (!BareSdlIdleWithMusic(value, songs, InstalledSoundFont())) {
                std::printf("music 0 -1\n");
                std::fflush(stdout);
                continue;
            }
        }
        std::printf("%s %.1f %.1f\n", command.c_str(), MsSince(start), CpuMs() - cpu);
        std::fflush(stdout);
    }
    return 0;
}
