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
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "games/game_registry.h"
#include "platform/backend.h"
#include "platform/registry.h"
#include "platform/scripted_backend.h"
#include "artwork/artwork.h"
#include "tests/games/card_census.h"

namespace {

struct Table {
    ScriptedBackend backend;
    std::unique_ptr<Artwork> artwork;
    std::vector<std::unique_ptr<Game>> games;
    std::string folder;

    Table() {
        // A private folder for the undo files and the settings file, so that two fuzzers
        // running side by side never share a record; in memory when possible, since every input
        // is written and read back.
        char memory[] = "/dev/shm/quillfen-fuzz-undo-XXXXXX";
        char disk[] = "/tmp/quillfen-fuzz-undo-XXXXXX";
        const char* made = mkdtemp(memory);
        if (!made) made = mkdtemp(disk);
        folder = made ? made : "";
        setenv("XDG_RUNTIME_DIR", made ? made : "/tmp", 1);
        SetRegistryFile(std::string(made ? made : "/tmp") + "/quillfen-fuzz-undo.reg");
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
    ~Table() {
        games.clear();
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }
};

Table& TheTable() {
    static Table table;
    return table;
}

}  // namespace

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there one real record of each game's first
// deal, prefixed with the byte that picks the game, so the fuzzer starts past the size checks.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = std::getenv("QUILLFEN_FUZZ_SEEDS");
    if (!folder) return 0;
    Table& table = TheTable();
    for (size_t i = 0; i < table.games.size(); ++i) {
        Game& game = *table.games[i];
        game.SaveUndo();
        std::ifstream record(UndoJournal::RecordPath(game.undo.Count()), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(record)), std::istreambuf_iterator<char>());
        game.DropNewestUndoRecord();
        std::ofstream seed(std::string(folder) + "/undo-" + std::to_string(i) + ".rec", std::ios::binary);
        seed.put(static_cast<char>(i));
        seed << bytes;
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
