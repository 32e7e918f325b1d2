// Undo records: the first byte picks a registered game, the rest becomes that game's newest undo
// file, and the game's own Undo reads it back. Whatever the bytes, the game must refuse what it
// cannot use without reading out of bounds, and whatever it accepts must leave every card in play
// exactly once and a position the game's model can play on. Every game in the registry is covered
// as soon as its descriptor is added there.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "games/game_registry.h"
#include "platform/backend.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "tests/games/card_census.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/test_support.h"

namespace {

struct Table {
    ScriptedBackend backend;
    std::unique_ptr<Artwork> artwork;
    // A private folder for the undo files and the settings file, so that two fuzzers running
    // side by side never share a record; in memory, since every input is written and read back.
    test_support::TempFolder folder{"fuzz-undo", true};
    std::vector<std::unique_ptr<Game>> games;

    Table() {
        setenv("XDG_RUNTIME_DIR", folder.String().c_str(), 1);
        SetRegistryFile(folder.String() + "/quillfen-fuzz-undo.reg");
        SetBackend(&backend);
        InitBuffers();
        SetBufferDepth(32);
        const int screen = CreateBuffer(800, 600);
        artwork = std::make_unique<Artwork>();
        artwork->Init(screen, nullptr, 0);
        ResetGameServices();
        Services().animate = false;
        for (const GameDescriptor& entry : RegisteredGames()) {
            games.push_back(entry.create(artwork.get()));
            games.back()->NewGame(false);
        }
    }
    ~Table() { games.clear(); }
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there one real record of each game's first
// deal, prefixed with the byte that picks the game, so the fuzzer starts past the size checks.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = SeedFolder();
    if (!folder) return 0;
    Table& table = TheTable();
    for (size_t i = 0; i < table.games.size(); ++i) {
        Game& game = *table.games[i];
        game.SaveUndo();
        std::vector<uint8_t> seed = test_support::ReadBytes(UndoJournal::RecordPath(game.undo.Count()));
        game.DropNewestUndoRecord();
        seed.insert(seed.begin(), static_cast<uint8_t>(i));
        WriteSeed(folder, "undo-" + std::to_string(i) + ".rec", seed);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Table& table = TheTable();
    if (size < 1 || table.games.empty()) return 0;
    Game& game = *table.games[data[0] % table.games.size()];
    // A record that ended the game, or a pause, would make every later Undo do nothing.
    if (game.gameOver || game.paused) {
        game.ClearHotspots();
        game.NewGame(true);
    }
    game.undo.Push(std::vector<uint8_t>(data + 1, data + size));
    game.Undo();
    const std::string problem = CensusProblem(game);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", game.GetName(), problem.c_str());
        std::abort();
    }
    // Whatever position a record gave, the model offers its moves and plays each of them on a
    // copy without reading or writing out of bounds.
    const PlayModelOps* model = FindGame(game.gameNumber)->model;
    const std::string bytes = game.PositionBytes();
    if (model != nullptr && bytes.size() == model->positionSize) {
        MoveList moves;
        game.PlayMoves(moves);
        std::vector<uint64_t> copy(bytes.size() / 8 + 1);
        for (const PlayMove& move : moves) {
            std::memcpy(copy.data(), bytes.data(), bytes.size());
            model->apply(copy.data(), move);
            model->over(copy.data());
        }
    }
    return 0;
}
