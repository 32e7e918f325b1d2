#include "games/accordion.h"

#include <algorithm>

// ---- The model ----

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

// ---- The game ----

void AccordionGame::NewGame(bool) {
    ResetForNewDeal();
    artwork->LoadTheme(Artwork::kPreferredTheme);
    fanDx = kPitchX;
    fanDy = kPitchY;
    play_position::ShufflePack(deck);
    for (Card& cell : position.cells) cell = deck.DealNext();
    lifted = kNothingLifted;
    artwork->RestoreBackground(0, 799, 0, 599);
    ClearHotspots();
    play_position::ShowNewTable(*this);
    CheckGameOver();
    StartClock(0);
}

void AccordionGame::Landed(const PlayMove& move, int scored) {
    const int x = CellX(move.to), y = CellY(move.to);
    points += scored;
    artwork->DrawCard(x, y, position.cells[move.to], artwork->screenBuffer);
    artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
    artwork->PresentDirty();
    PlaySound("tableau.wav");
}

bool AccordionGame::CheckGameOver() {
    ModelTable::CheckGameOver();
    if (lifted == kNothingLifted) return gameOver;
    std::array<int, 2> neighbours{};
    const int count = AccordionModel::Neighbours(position, lifted, neighbours);
    for (int i = -1; i < count; ++i) {
        const int x = CellX(i < 0 ? lifted : neighbours[i]), y = CellY(i < 0 ? lifted : neighbours[i]);
        AddDropTarget(x, y, CardHitRect(x, y), kPlainTargetKind);
    }
    return gameOver;
}

bool AccordionGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    std::array<Card, kRecordCells> cells{};
    std::copy(read.cells.begin(), read.cells.end(), cells.begin());
    fields.Cards(cells);
    std::copy(cells.begin(), cells.begin() + kCells, read.cells.begin());
    return std::none_of(cells.begin() + kCells, cells.end(), [](Card card) { return card.IsValid(); });
}
