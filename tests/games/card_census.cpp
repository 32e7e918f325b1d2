#include "tests/games/card_census.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "framework/game.h"
#include "games/game_registry.h"

std::string CensusProblem(Game& game) {
    const GameDescriptor* entry = FindGame(game.gameNumber);
    if (!entry || !entry->model || !entry->model->cards) return "no census for this game";
    if (game.dragging) return {};
    const std::string bytes = game.PositionBytes();
    if (bytes.size() != entry->model->positionSize) return "no position to count";
    std::vector<uint64_t> position(bytes.size() / 8 + 1);  // aligned for the position's fields
    std::memcpy(position.data(), bytes.data(), bytes.size());
    CardTally tally;
    entry->model->cards(position.data(), tally);
    std::array<int, Card::kCardsPerPack> copies{};
    for (Card card : tally.cards) {
        if (!card.IsValid()) return "an impossible card in play";
        if (++copies[card.Index()] > tally.packs)
            return "card " + std::to_string(card.Suit()) + "/" + std::to_string(card.Rank()) + " in play too often";
    }
    if (static_cast<int>(tally.cards.size()) + tally.unnamed != Card::kCardsPerPack * tally.packs)
        return std::to_string(tally.cards.size()) + " cards in play, " + std::to_string(tally.unnamed) + " unnamed";
    return {};
}

std::vector<int> RegisteredGameNumbers() {
    std::vector<int> numbers;
    for (const GameDescriptor& entry : RegisteredGames()) numbers.push_back(entry.number);
    return numbers;
}

std::string GameTestName(int gameNumber) {
    std::string name;
    if (const GameDescriptor* entry = FindGame(gameNumber))
        for (char c : std::string(entry->name))
            if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    return name;
}
