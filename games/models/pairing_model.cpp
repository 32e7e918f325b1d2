#include "games/models/pairing_model.h"

#include <algorithm>

namespace {

// Deals through DealOnto, taking each card off the deck as it lands and showing it.
struct DealHooks {
    Deck& deck;
    PairingParts::Position& position;
    DealShow<PairingParts::Position>* show;
    void Dealt(int place) {
        deck.DealNext();
        if (show) show->Dealt(position, place, PairingParts::Count(position, place) - 1);
    }
};

}  // namespace

PairingParts::Position PairingParts::Deal(Deck& deck, const Rules& rules, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    // Each exclusion shuffles what is left.
    if (!rules.courts)
        for (int rank : {Card::kJack, Card::kQueen, Card::kKing}) deck.ExcludeRank(rank);
    Position position = EmptyTable(rules);
    position.stockCount = play_position::CopyStock(deck, position.stock);
    if (show) show->Shown(position);
    DealHooks hooks{deck, position, show};
    for (int round = 0; round < rules.cellsPerPlace; ++round)
        for (int place = 0; place < rules.places; ++place) DealOnto(position, place, hooks);
    return position;
}

Card PairingParts::Top(const Position& position, int place) {
    const Card* cells = &position.cells[place * position.cellsPerPlace];
    for (int k = position.cellsPerPlace - 1; k >= 0; --k)
        if (cells[k].IsValid()) return cells[k];
    return Card();
}

bool PairingParts::PairAvailable(const Position& position) {
    for (int i = 0; i < position.places; ++i)
        for (int j = i + 1; j < position.places; ++j)
            if (MakesPair(position, Top(position, i), Top(position, j))) return true;
    return false;
}

int PairingParts::GroupAt(const Position& position) {
    std::array<int, Card::kSuitCount> highCards{};
    std::array<int, Card::kSuitCount> firstPlace{};
    for (int place = 0; place < position.places; ++place) {
        const Card card = Top(position, place);
        if (!card.IsValid() || !IsHigh(card)) continue;
        if (highCards[card.Suit()]++ == 0) firstPlace[card.Suit()] = place;
        if (highCards[card.Suit()] == kGroupSize) return firstPlace[card.Suit()];
    }
    return -1;
}

int PairingParts::Count(const Position& position, int place) {
    const Card* cells = &position.cells[place * position.cellsPerPlace];
    int count = 0;
    while (count < position.cellsPerPlace && cells[count].IsValid()) ++count;
    return count;
}

template <>
bool PairingModel::Won(const Position& position) {
    const auto cells = position.cells.begin(), end = cells + position.places * position.cellsPerPlace;
    return position.stockCount == 0 && std::none_of(cells, end, [](Card card) { return card.IsValid(); });
}

template <>
bool PairingModel::Over(const Position& position) {
    return !PairAvailable(position) && (!position.groups || GroupAt(position) < 0);
}

template <>
void PairingModel::Cards(const Position& position, CardTally& out) {
    out.AddRun(position.stock, position.stockCount);
    for (int i = 0; i < position.places * position.cellsPerPlace; ++i) out.Add(position.cells[i]);
    out.RestUnnamed();
}

template <>
void PairingModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    for (int i = 0; i < position.places; ++i)
        for (int j = i + 1; j < position.places; ++j)
            if (MakesPair(position, Top(position, i), Top(position, j)))
                out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(i), .to = static_cast<int8_t>(j)});
    const int group = position.groups ? GroupAt(position) : -1;
    if (group >= 0)
        out.push_back({.kind = PlayMove::kSelect, .from = static_cast<int8_t>(group), .count = kGroupSize});
}

template <>
void PairingModel::Encode(const Position& position, PositionCode& out) {
    out.bytes.clear();
    play_position::EncodeCards(out, position.cells, position.places * position.cellsPerPlace);
    play_position::EncodePile(out, position.stock, position.stockCount);
}
