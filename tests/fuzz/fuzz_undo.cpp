// Undo records: the first byte picks a registered game, the rest is given to its record reader,
// which must refuse what it cannot use without reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "draw/draw.h"
#include "framework/game_services.h"
#include "games/accordion.h"
#include "games/game_registry.h"
#include "games/klondike.h"
#include "platform/backend.h"
#include "platform/registry.h"
#include "platform/scripted_backend.h"
#include "shell/artwork.h"

namespace {

struct Table {
    ScriptedBackend backend;
    std::unique_ptr<Artwork> artwork;
    std::unique_ptr<Game> games[2];

    Table() {
        setenv("XDG_RUNTIME_DIR", "/tmp", 0);
        SetRegistryFile("/tmp/quillfen-fuzz-undo.reg");
        SetBackend(&backend);
        InitBuffers();
        SetBufferDepth(32);
        const int screen = CreateBuffer(800, 600);
        artwork = std::make_unique<Artwork>();
        artwork->Init(screen, nullptr, 0);
        GameServices& services = Services();
        services = GameServices{};
        services.animate = false;
        games[0] = FindGame(AccordionGame::kGameNumber)->create(artwork.get());
        games[1] = FindGame(KlondikeGame::kGameNumber)->create(artwork.get());
        for (auto& game : games) game->NewGame(false);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Table table;
    if (size < 1) return 0;
    const std::span<const uint8_t> record(data + 1, size - 1);
    if (data[0] % 2 == 0) static_cast<AccordionGame&>(*table.games[0]).RestoreRecord(record);
    else static_cast<KlondikeGame&>(*table.games[1]).RestoreRecord(record);
    return 0;
}
