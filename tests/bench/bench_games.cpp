// Game framework budgets: one drag step of a 13-card Klondike stack, writing one Klondike undo
// record, and a whole Klondike deal with animation and sound off, on the virtual clock.
#include <benchmark/benchmark.h>

#include <memory>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "games/klondike.h"
#include "games/spider.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "bench_table.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

namespace {

ScriptedTable& SharedTable() {
    static ScriptedTable table;
    return table;
}

// A 13-card run King .. Ace on pile 6, dragged back and forth across the table.
void BM_DragStepOfThirteenCards(benchmark::State& state) {
    ScriptedTable& table = SharedTable();
    KlondikeGame game(table.artwork.get());
    LayRunOnLastPile(game, 13);
    const int x = KlondikeGame::PileX(6) + 20, y = KlondikeGame::kTableauY + 5;
    game.OnLButtonDown(MK_LBUTTON, x, y);
    int step = 0;
    for (auto _ : state) {
        const int offset = (step++ % 40) * 5;
        game.OnMouseMove(MK_LBUTTON, x - offset, y + offset / 4);
    }
    game.OnLButtonUp(0, x, y);
}
BENCHMARK(BM_DragStepOfThirteenCards);

void BM_WriteKlondikeUndoRecord(benchmark::State& state) {
    ScriptedTable& table = SharedTable();
    KlondikeGame game(table.artwork.get());
    game.NewGame(false);
    for (auto _ : state) {
        game.SaveUndo();
        if (game.undo.Count() > 100) game.undo.Drop();
    }
}
BENCHMARK(BM_WriteKlondikeUndoRecord);

// Deal, then deal the whole stock through the waste once and turn it back.
void BM_WholeKlondikeDeal(benchmark::State& state) {
    ScriptedTable& table = SharedTable();
    KlondikeGame game(table.artwork.get());
    game.NewGame(false);
    unsigned seed = 1;
    for (auto _ : state) {
        game.deck.Seed(seed++);
        game.ClearHotspots();
        game.NewGame(true);
        for (int click = 0; click < 9; ++click) game.OnLButtonDown(MK_LBUTTON, KlondikeGame::kStockX + 20, KlondikeGame::kStockY + 30);
    }
}
BENCHMARK(BM_WholeKlondikeDeal)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Spider's game-over search on dead positions built to be as large as we could make them:
// state.range(0) empty columns; one column hides a face-down card under one Ace more than there
// are empty columns (nothing goes on an Ace, so it can never be cleared); the other columns each
// hold a Two under a same-suit run of state.range(1) cards from the Nine down. Nothing can ever
// complete a suit or uncover the card, so the search must visit every reachable position.
void BM_SpiderDeadPositionSearch(benchmark::State& state) {
    const int empty = static_cast<int>(state.range(0)), runLength = static_cast<int>(state.range(1));
    SpiderModel::SearchStart start;
    start.hadFaceDown[empty] = true;
    for (int k = 0; k <= empty; ++k) start.columns[empty].push_back(Card(k % 4, Card::kAce));
    for (int column = empty + 1; column < SpiderModel::kPiles; ++column) {
        const int suit = column % 4;
        start.columns[column].push_back(Card(suit, 0));
        for (int k = 0; k < runLength; ++k) start.columns[column].push_back(Card(suit, 7 - k));
    }
    std::array<Card, SpiderModel::kFoundationSlots> foundations{};
    size_t positions = 0;
    for (auto _ : state) {
        const bool alive = SpiderModel::SearchProgress(start, foundations, Card::kAce, true, &positions);
        benchmark::DoNotOptimize(alive);
    }
    state.counters["positions"] = static_cast<double>(positions);
}
BENCHMARK(BM_SpiderDeadPositionSearch)
    ->Args({2, 4})
    ->Args({2, 6})
    ->Args({3, 4})
    ->Args({3, 6})
    ->Args({4, 5})
    ->Unit(benchmark::kMillisecond);

// The model's inner loop: a mid-game Klondike position (a seeded deal, then 30 of the model's
// moves, chosen in turn through the list), listing its moves and playing one. Each iteration
// starts from a fresh copy, so the time includes one copy (measured on its own below).
KlondikeModel::Position MidGameKlondike() {
    ScriptedTable& table = SharedTable();
    KlondikeGame game(table.artwork.get());
    game.deck.Seed(7);
    game.NewGame(false);
    KlondikeModel::Position position = game.CurrentPosition();
    MoveList moves;
    for (int step = 0; step < 30; ++step) {
        KlondikeModel::Moves(position, moves);
        if (moves.empty()) break;
        KlondikeModel::Apply(position, moves[(step * 7) % moves.size()]);
    }
    return position;
}

void BM_KlondikeMovesAndApply(benchmark::State& state) {
    const KlondikeModel::Position start = MidGameKlondike();
    KlondikeModel::Position position = start;
    MoveList moves;
    moves.reserve(64);
    size_t listed = 0;
    for (auto _ : state) {
        position = start;
        KlondikeModel::Moves(position, moves);
        listed = moves.size();
        benchmark::DoNotOptimize(KlondikeModel::Apply(position, moves[listed / 2]));
    }
    state.counters["moves"] = static_cast<double>(listed);
}
BENCHMARK(BM_KlondikeMovesAndApply);

void BM_KlondikePositionCopy(benchmark::State& state) {
    const KlondikeModel::Position start = MidGameKlondike();
    KlondikeModel::Position copy;
    for (auto _ : state) {
        benchmark::DoNotOptimize(&start);
        copy = start;
        benchmark::DoNotOptimize(&copy);
        benchmark::ClobberMemory();
    }
    state.counters["bytes"] = static_cast<double>(sizeof copy);
}
BENCHMARK(BM_KlondikePositionCopy);

}  // namespace
