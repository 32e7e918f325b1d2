// Saved games: whatever the bytes, the reader refuses what is not a whole, intact file without
// reading out of bounds, and what it accepts writes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

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
    game.notes = {{0x1234567890abcdefull, 0xfedcba0987654321ull, false, 2}, {0xfedcba0987654321ull, 0, true, 1}};
    std::vector<uint8_t> bytes = EncodeSavedGame(game);
    WriteSeed(folder, "seed.sav", bytes);
    // The same without its checksum, which the harness then supplies.
    bytes.resize(bytes.size() - 8);
    WriteSeed(folder, "seed-body.sav", bytes);
    return 0;
}

namespace {

void Check(std::span<const uint8_t> bytes) {
    const std::optional<SavedGame> game = DecodeSavedGame(bytes);
    if (game && EncodeSavedGame(*game) != std::vector<uint8_t>(bytes.begin(), bytes.end())) std::abort();
}

}  // namespace

// Each input is read as it is, and again as a body closed by its correct checksum: almost no
// mutation keeps a checksum right, so without the second reading the fields behind it would
// hardly be reached.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check({data, size});
    std::vector<uint8_t> closed(data, data + size);
    const uint64_t sum = SavedGameChecksum(closed);
    for (int shift = 0; shift < 64; shift += 8) closed.push_back(static_cast<uint8_t>(sum >> shift));
    Check(closed);
    return 0;
}
