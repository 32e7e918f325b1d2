#include "games/pairing_game.h"

#include <algorithm>

PairingGame::PairingGame(Artwork* artwork, int gameNumber, const Shape& layout, const PairingRules& gameRules)
    : ModelTable(artwork, gameNumber), selected(gameRules.places), shape(layout) {
    soundOnRestore = false;
    soundFirst = shape.undoSound;
    rules = gameRules;
    position = PairingModel::EmptyTable(rules);
}

// ---- Deal ----

// What the screen shows of the model's steps: each card taken out is redrawn away (after a
// pause when the cards go one at a time), each card dealt slides from the stock.
struct PairingGame::TableHooks {
    PairingGame& game;
    bool oneAtATime = false;  // a group: its points count before the refill
    int takenOut = 0;

    void TookOut(int place) {
        ++takenOut;
        if (oneAtATime) game.PauseBriefly(kRemovalPauseMs);
        game.selected[place] = 0;
        game.DrawPlace(place, true);
        if (oneAtATime) game.artwork->PresentDirty();
    }
    void Removed() {
        if (oneAtATime) game.points += PairingModel::kPointsPerGroupCard * takenOut;
        else game.artwork->PresentDirty();
    }
    void Dealt(int place) {
        game.deck.DealNext();
        game.SlideDealt(place);
    }
};

void PairingGame::SlideDealt(int place) {
    DrawStockArea(true);
    artwork->PresentDirty();
    const PlaceView view = View(place);
    const int k = view.count - 1;
    const Card card = Cell(place, k);
    // The card lands when the slide ends.
    Cell(place, k) = Card();
    AnimateCard(kStockX, kStockY, view.X(k), view.Y(k), card, {.fast = true});
    Cell(place, k) = card;
    PlaySound("flip.wav");
}

void PairingGame::ShowDealt(const Position& now, int place, int index) {
    position = now;
    SlideDealt(place);
    if (now.stockCount == 0 || (place == rules.places - 1 && index == rules.cellsPerPlace - 1)) {
        DrawStockArea(true);
        artwork->PresentDirty();
    }
}

// ---- Drawing ----

PairingGame::PlaceView PairingGame::View(int place) const {
    const int row = place / shape.columns, column = place % shape.columns;
    return {.x = shape.left + shape.pitchX * column, .y = shape.top + shape.pitchY * row, .dy = shape.fanDy,
            .cards = &position.cells[place * rules.cellsPerPlace], .count = PairingModel::Count(position, place)};
}

void PairingGame::DrawPlace(int place, bool present) {
    const PlaceView view = View(place);
    DrawView(place, present, true, view.Y(rules.cellsPerPlace - 1) + artwork->cardHeight, 0,
             selected[place] ? Top(place) : Card());
}

void PairingGame::DrawAreas(bool present) {
    DrawStockArea(present);
    for (int place = 0; place < rules.places; ++place) DrawPlace(place, present);
}

// ---- Moves ----

void PairingGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    for (int place = 0; place < rules.places; ++place)
        if (const PlaceView view = View(place); OnCard(x, y, view.X(view.Top()), view.Y(view.Top()))) ClickPlace(place);
    artwork->PresentDirty();
    CheckGameOver();
}

void PairingGame::ClickPlace(int place) {
    if (selected[place]) {
        SaveUndo();
        selected[place] = 0;
        --selectedCount;
    } else if (Top(place).IsValid() && selectedCount < 2) {
        SaveUndo();
        selected[place] = 1;
        ++selectedCount;
        if (selectedCount == 2 && !TryPair()) {
            selected[place] = 0;
            --selectedCount;
        }
    }
    DrawPlace(place, true);
}

// The first and the last place selected, when they differ.
bool PairingGame::TryPair() {
    const int low = static_cast<int>(std::find(selected.begin(), selected.end(), 1) - selected.begin());
    const int high = static_cast<int>(selected.rend() - std::find(selected.rbegin(), selected.rend(), 1)) - 1;
    if (low >= high || !PairingModel::MakesPair(position, Top(low), Top(high))) return false;
    MakeMove({.kind = PlayMove::kMove, .from = static_cast<int8_t>(low), .to = static_cast<int8_t>(high)});
    return true;
}

void PairingGame::MakeMove(const PlayMove& move) {
    const bool group = move.kind == PlayMove::kSelect;
    if (rules.refills && !group) PauseBriefly(kRemovalPauseMs);
    LoadStock();
    TableHooks hooks{*this, group};
    const int scored = PairingModel::Play(position, move, hooks);
    if (rules.refills || group) {
        DrawStockArea(true);
        artwork->PresentDirty();
    }
    if (!group) points += scored;
    selectedCount = 0;
}

bool PairingGame::PlacesToClick(const PairingModel::Position& position, const PlayMove& move,
                                std::vector<int>& places) const {
    std::vector<int> cards;
    if (move.kind == PlayMove::kMove) {
        cards = {move.from, move.to};
    } else if (move.kind == PlayMove::kSelect) {
        const int suit = PairingModel::Top(position, move.from).Suit();
        for (int place = 0; place < rules.places; ++place) {
            const Card card = PairingModel::Top(position, place);
            if (card.IsValid() && PairingModel::IsHigh(card) && card.Suit() == suit) cards.push_back(place);
        }
    }
    int covered = 0;
    places.clear();
    for (int place : cards) {
        if (selected[place]) ++covered;
        else places.push_back(place);
    }
    return covered == selectedCount && !places.empty() && places.size() <= 2;
}

void PairingGame::PlayMoves(MoveList& out) {
    out.clear();
    if (paused || dragging || gameOver) return;
    const PairingModel::Position position = ModelPosition();
    MoveList all;
    PairingModel::Moves(position, all);
    std::vector<int> places;
    for (const PlayMove& move : all)
        if (PlacesToClick(position, move, places)) out.push_back(move);
}

// One click on each card still to be clicked, well inside it.
bool PairingGame::GestureFor(const PlayMove& move, MoveGesture& gesture) {
    std::vector<int> places;
    if (!PlacesToClick(ModelPosition(), move, places)) return false;
    const PlaceView from = View(places.front()), to = View(places.back());
    gesture = {places.size() == 2 ? MoveGesture::kTwoClicks : MoveGesture::kClick,
               from.X(from.Top()) + play_position::kInsideX, from.Y(from.Top()) + play_position::kInsideY,
               to.X(to.Top()) + play_position::kInsideX, to.Y(to.Top()) + play_position::kInsideY};
    return true;
}

// ---- Undo ----

bool PairingGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    std::vector<uint8_t>& flags = fields.Reading() ? readSelected : selected;
    int32_t& count = fields.Reading() ? readCount : selectedCount;
    flags.resize(static_cast<size_t>(rules.places));
    fields.Cards(read.cells.data(), rules.places * rules.cellsPerPlace);
    fields.Flags(flags.data(), rules.places);
    fields.Int(count, 0, rules.groups ? Model::kGroupSize : 2);
    int flagged = 0;
    for (int place = 0; place < rules.places; ++place) {
        if (flags[place] > 1 || (flags[place] && !read.cells[place * rules.cellsPerPlace].IsValid())) return false;
        flagged += flags[place];
    }
    return flagged == count;
}

bool PairingGame::Possible(const Position& read, const Deck& stock) const {
    auto court = [this](Card card) { return !rules.courts && card.IsValid() && card.PipValue() > 10; };
    for (int i = 0; i < stock.Remaining(); ++i)
        if (court(stock.Peek(i))) return false;
    for (int place = 0; place < rules.places; ++place) {
        const auto cells = std::span(read.cells).subspan(place * rules.cellsPerPlace, rules.cellsPerPlace);
        if (!std::is_partitioned(cells.begin(), cells.end(), [](Card card) { return card.IsValid(); }) ||
            std::any_of(cells.begin(), cells.end(), court))
            return false;
    }
    return ModelTable::Possible(read, stock);
}
