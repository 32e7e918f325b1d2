#include "games/pairing_game.h"

#include <algorithm>

// ---- The model ----

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

PairingGame::PairingGame(Artwork* artwork, int gameNumber, const Shape& layout)
    : ModelTable(artwork, gameNumber), selected(layout.places), shape(layout) {
    soundOnRestore = false;
    soundFirst = shape.undoSound;
    position = {.places = shape.places, .cellsPerPlace = shape.cellsPerPlace, .pairSum = shape.pairSum,
                .refills = shape.refills, .groups = shape.groups};
}

// ---- Deal ----

void PairingGame::StartDeal() {
    position = {.places = shape.places, .cellsPerPlace = shape.cellsPerPlace, .pairSum = shape.pairSum,
                .refills = shape.refills, .groups = shape.groups};
    selected.assign(static_cast<size_t>(shape.places), 0);
    selectedCount = 0;
    // Each exclusion shuffles what is left.
    if (!shape.courts)
        for (int rank : {Card::kJack, Card::kQueen, Card::kKing}) deck.ExcludeRank(rank);
}

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
        const Card card = game.deck.DealNext();
        game.DrawStockArea(true);
        game.artwork->PresentDirty();
        const PlaceView view = game.View(place);
        const int k = view.count - 1;
        // The card lands when the slide ends.
        game.Cell(place, k) = Card();
        game.AnimateCard(kStockX, kStockY, view.X(k), view.Y(k), card, game.artwork->screenBuffer, true, true, -1);
        game.Cell(place, k) = card;
        game.PlaySound("flip.wav");
    }
};

void PairingGame::Deal() {
    LoadStock();
    TableHooks hooks{*this};
    for (int round = 0; round < shape.cellsPerPlace; ++round)
        for (int place = 0; place < shape.places; ++place) PairingModel::DealOnto(position, place, hooks);
    DrawStockArea(true);
    artwork->PresentDirty();
}

// ---- Drawing ----

PairingGame::PlaceView PairingGame::View(int place) const {
    const int row = place / shape.columns, column = place % shape.columns;
    return {.x = shape.left + shape.pitchX * column, .y = shape.top + shape.pitchY * row, .dy = shape.fanDy,
            .cards = &position.cells[place * shape.cellsPerPlace], .count = PairingModel::Count(position, place)};
}

void PairingGame::DrawPlace(int place, bool present) {
    const PlaceView view = View(place);
    DrawView(place, present, true, view.Y(shape.cellsPerPlace - 1) + artwork->cardHeight, 0,
             selected[place] ? Top(place) : Card());
}

void PairingGame::DrawAreas(bool present) {
    DrawStockArea(present);
    for (int place = 0; place < shape.places; ++place) DrawPlace(place, present);
}

// ---- Moves ----

void PairingGame::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver) return;
    for (int place = 0; place < shape.places; ++place)
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
    if (shape.refills && !group) PauseBriefly(kRemovalPauseMs);
    LoadStock();
    TableHooks hooks{*this, group};
    const int scored = PairingModel::Play(position, move, hooks);
    if (shape.refills || group) {
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
        for (int place = 0; place < shape.places; ++place) {
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
    flags.resize(static_cast<size_t>(shape.places));
    fields.Cards(read.cells.data(), shape.places * shape.cellsPerPlace);
    fields.Flags(flags.data(), shape.places);
    fields.Int(count, 0, shape.groups ? kGroupSize : 2);
    int flagged = 0;
    for (int place = 0; place < shape.places; ++place) {
        if (flags[place] > 1 || (flags[place] && !read.cells[place * shape.cellsPerPlace].IsValid())) return false;
        flagged += flags[place];
    }
    return flagged == count;
}

bool PairingGame::Possible(const Position& read, const Deck& stock) const {
    auto court = [this](Card card) { return !shape.courts && card.IsValid() && card.PipValue() > 10; };
    for (int i = 0; i < stock.Remaining(); ++i)
        if (court(stock.Peek(i))) return false;
    for (int place = 0; place < shape.places; ++place) {
        const auto cells = std::span(read.cells).subspan(place * shape.cellsPerPlace, shape.cellsPerPlace);
        if (!std::is_partitioned(cells.begin(), cells.end(), [](Card card) { return card.IsValid(); }) ||
            std::any_of(cells.begin(), cells.end(), court))
            return false;
    }
    return ModelTable::Possible(read, stock);
}
