#include "games/accordion.h"

#include <algorithm>

// ---- The game ----

void AccordionGame::NewGame(bool) {
    ResetForNewDeal();
    artwork->LoadTheme(Artwork::kPreferredTheme);
    fanDx = kPitchX;
    fanDy = kPitchY;
    lifted = kNothingLifted;
    artwork->RestoreBackground(0, 799, 0, 599);
    ClearHotspots();
    TableDealShow show(*this);
    position = AccordionModel::Deal(deck, rules, &show);
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
    std::copy(cells.begin(), cells.begin() + Model::kCells, read.cells.begin());
    return std::none_of(cells.begin() + Model::kCells, cells.end(), [](Card card) { return card.IsValid(); });
}
