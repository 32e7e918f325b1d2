#include "games/game_registry.h"

#include <array>

#include "games/accordion.h"
#include "games/klondike.h"

namespace {

template <typename T>
std::unique_ptr<Game> Make(Artwork* artwork) {
    return std::make_unique<T>(artwork);
}

constexpr std::array kGames = {
    GameEntry{1, "Accordion", &Make<AccordionGame>},
    GameEntry{12, "Klondike", &Make<KlondikeGame>},
};

}  // namespace

std::span<const GameEntry> RegisteredGames() { return kGames; }

const GameEntry* FindGame(int number) {
    for (const GameEntry& entry : kGames)
        if (entry.number == number) return &entry;
    return nullptr;
}
