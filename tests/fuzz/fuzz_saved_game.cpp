// Saved games: whatever the bytes, the reader refuses what is not a whole, intact file without
// reading out of bounds, and what it accepts writes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "store/saved_game.h"
#include "tests/fuzz/fuzz_support.h"

// With QUILLFEN_FUZZ_SEEDS set to a folder, writes there a real saved game to start from.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* folder = SeedFolder();
    if (!folder) return 0;
    SavedGame game;
    game.gameNumber = 12;
    game.dealNumber = 12345;
    game.points = -40;
    game.elapsedSeconds = 95;
    game.rules = {{"Draw", "3"}, {"Scoring", "American"}};
    game.table.assign(1200, 7);
    game.history = {std::vector<uint8_t>(1200, 1), std::vector<uint8_t>(1200, 2)};
    WriteSeed(folder, "seed-v1.sav", EncodeSavedGame(game));
    game.position.assign(900, 3);
    game.notes = {{0x1234567890abcdefull, 0xfedcba0987654321ull, false}, {0xfedcba0987654321ull, 0, true}};
    WriteSeed(folder, "seed.sav", EncodeSavedGame(game));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<SavedGame> game = DecodeSavedGame({data, size});
    if (game && EncodeSavedGame(*game) != std::vector<uint8_t>(data, data + size)) std::abort();
    return 0;
}
