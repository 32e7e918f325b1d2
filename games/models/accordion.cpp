#include "games/models/accordion.h"

#include <algorithm>

AccordionParts::Position AccordionParts::Deal(Deck& deck, const Rules&, DealShow<Position>* show) {
    play_position::ShufflePack(deck);
    Position position;
    for (Card& cell : position.cells) cell = deck.DealNext();
    if (show) show->Shown(position);
    return position;
}

int AccordionParts::Neighbours(const Position& position, int from, std::array<int, 2>& cells) {
    int met = 0, found = 0;
    for (int i = from - 1; i >= 0 && met < 3; --i) {
        if (!position.cells[i].IsValid()) continue;
        ++met;
        if (met == 1 || met == 3) cells[found++] = i;
    }
    return found;
}

template <>
void AccordionModel::Moves(const Position& position, MoveList& out) {
    out.clear();
    for (int from = 1; from < kCells; ++from) {
        if (!position.cells[from].IsValid()) continue;
        std::array<int, 2> targets{};
        const int count = Neighbours(position, from, targets);
        for (int t = 0; t < count; ++t)
            if (Matches(position.cells[from], position.cells[targets[t]]))
                out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(from), .to = static_cast<int8_t>(targets[t])});
    }
}

template <>
int AccordionModel::ApplyOwn(Position& position, const PlayMove& move) {
    if (move.kind != PlayMove::kMove) return 0;
    position.cells[move.to] = position.cells[move.from];
    position.cells[move.from] = Card();
    position.points += kPointsPerMove;
    return kPointsPerMove;
}

template <>
bool AccordionModel::Won(const Position& position) {
    return std::count_if(position.cells.begin(), position.cells.end(), [](Card card) { return card.IsValid(); }) == 1;
}

template <>
bool AccordionModel::Over(const Position& position) {
    MoveList moves;
    Moves(position, moves);
    return moves.empty();
}

template <>
void AccordionModel::Encode(const Position& position, PositionCode& out) {
    out.bytes.clear();
    play_position::EncodeCards(out, position.cells, kCells);
}

template <>
void AccordionModel::Cards(const Position& position, CardTally& out) {
    for (Card card : position.cells) out.Add(card);
    out.RestUnnamed();
}
