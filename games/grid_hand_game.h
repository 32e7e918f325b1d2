// The two grid games, Cribbage Solitaire and Poker Solitaire: cards turned one at a time from a
// single pack fill a square grid, and when it is full each row and column is scored as a hand and
// its score drawn beside it. Optional reserve piles hold a card for later at 3 points each. The
// final score is the points alone.
//
// The base owns the stock, the current card, the grid, the reserve piles, the held card, the
// pick-ups and drop targets, the undo record and the end of the game. A game gives its layout and
// its part of the model (Hands) as the template arguments and the rest through the hooks below.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "games/play_position.h"

// ---- The model of play ----
//
// Places: 0 the stock, 1 the current card, 2 + k reserve pile k, 5 + i grid cell i (row by row).
// Placing the current card in a cell is a kMove from place 1, made by clicking the cell; a card
// going onto a reserve pile, or from a reserve pile into a cell, is a kMove made by dragging it.
// A reserve card dropped back onto its own pile pays the reserve price again, as every drop on a
// reserve does. A grid game is never won by its position: the points at its end are measured
// against the high-score table.

template <int Side>
struct GridHandPosition {
    static constexpr int kCells = Side * Side;
    static constexpr int kReservePiles = 3, kReserveSlots = 5;
    int32_t points = 0;
    int32_t reservePiles = 0;  // in play, 0..3
    int32_t cardsPerPile = 1;
    int32_t american = 1;      // Poker's scoring table: American, else English
    int32_t stockCount = 0;
    std::array<int32_t, kReservePiles> reserveCounts{};
    Card current;
    Card starter;  // Cribbage's starter, turned when the grid is full
    std::array<Card, kCells> grid{};
    std::array<std::array<Card, kReserveSlots>, kReservePiles> reserves{};
    std::array<Card, Card::kCardsPerPack> stock{};  // the last card is turned next
};

// Each row (first) and each column of a full grid scored as a hand.
template <int Side, typename Score>
std::array<int32_t, 2 * Side> ScoreLines(const std::array<Card, Side * Side>& grid, const Score& score) {
    std::array<int32_t, 2 * Side> scores{};
    for (int r = 0; r < Side; ++r) {
        std::array<Card, Side> row;
        for (int c = 0; c < Side; ++c) row[c] = grid[r * Side + c];
        scores[r] = score(row);
    }
    for (int c = 0; c < Side; ++c) {
        std::array<Card, Side> column;
        for (int r = 0; r < Side; ++r) column[r] = grid[r * Side + c];
        scores[Side + c] = score(column);
    }
    return scores;
}

// The points of all the hands of a full grid.
template <int Side, typename Score>
int ScoreTotal(const std::array<Card, Side * Side>& grid, const Score& score) {
    int total = 0;
    for (int32_t hand : ScoreLines<Side>(grid, score)) total += hand;
    return total;
}

// Hands gives the game's part:
//   static bool Accepts(const std::array<Card, Side * Side>& grid, int cell);  // may a card go there
//   static int ScoreFull(GridHandPosition<Side>&);  // the full grid's points
template <int Side, typename Hands>
struct GridHandModel {
    using Position = GridHandPosition<Side>;
    static constexpr int kCells = Position::kCells;
    static constexpr int kStockPlace = 0, kCurrentPlace = 1, kReservePlace = 2, kCellPlace = 5, kPlaces = kCellPlace + kCells;
    static constexpr int kReserveCost = 3;

    static bool GridFull(const Position& position) {
        for (Card card : position.grid)
            if (!card.IsValid()) return false;
        return true;
    }
    // The next stock card, or no card.
    static Card Deal(Position& position) { return play_position::Pop(position.stock, position.stockCount); }

    static void Moves(const Position& position, MoveList& out) {
        out.clear();
        if (GridFull(position)) return;
        auto add = [&out](int from, int to) {
            out.push_back({.kind = PlayMove::kMove, .from = static_cast<int8_t>(from), .to = static_cast<int8_t>(to)});
        };
        auto sources = [&](auto&& each) {
            if (position.current.IsValid()) each(kCurrentPlace, -1);
            for (int k = 0; k < position.reservePiles; ++k)
                if (position.reserveCounts[k] > 0) each(kReservePlace + k, k);
        };
        sources([&](int from, int pile) {
            for (int cell = 0; cell < kCells; ++cell)
                if (Hands::Accepts(position.grid, cell)) add(from, kCellPlace + cell);
            for (int k = 0; k < position.reservePiles; ++k)
                if (position.reserveCounts[k] - (k == pile) < position.cardsPerPile) add(from, kReservePlace + k);
        });
    }

    static int Apply(Position& position, const PlayMove& move) {
        if (move.kind != PlayMove::kMove) return 0;
        Card card = position.current;
        if (move.from == kCurrentPlace) position.current = Card();
        else card = play_position::Pop(position.reserves[move.from - kReservePlace], position.reserveCounts[move.from - kReservePlace]);
        int scored = 0;
        if (move.to >= kCellPlace) {
            position.grid[move.to - kCellPlace] = card;
        } else {
            play_position::Push(position.reserves[move.to - kReservePlace], position.reserveCounts[move.to - kReservePlace], card);
            scored -= kReserveCost;
        }
        position.points += scored;
        // The next card is turned once the current one is placed; a full grid is scored.
        if (GridFull(position)) {
            const int hands = Hands::ScoreFull(position);
            position.points += hands;
            scored += hands;
        } else if (!position.current.IsValid()) {
            position.current = Deal(position);
        }
        return scored;
    }

    static bool Won(const Position&) { return false; }
    // The grid is full.
    static bool Over(const Position& position) { return GridFull(position); }
    // A grid game keeps every card.
    static void Cards(const Position& position, CardTally& out) {
        out.AddRun(position.stock, position.stockCount);
        out.Add(position.current);
        out.Add(position.starter);
        for (Card card : position.grid) out.Add(card);
        for (int k = 0; k < Position::kReservePiles; ++k) out.AddRun(position.reserves[k], position.reserveCounts[k]);
    }
    // Everything but the points, so positions reached by different paths meet in a search.
    static void Encode(const Position& position, PositionCode& out) {
        auto card = [&out](Card c) { play_position::EncodeCard(out, c); };
        out.bytes.clear();
        out.Byte(static_cast<uint8_t>(position.reservePiles));
        out.Byte(static_cast<uint8_t>(position.cardsPerPile));
        out.Byte(static_cast<uint8_t>(position.american));
        card(position.current);
        card(position.starter);
        for (Card c : position.grid) card(c);
        play_position::EncodePiles(out, position.reserves, position.reserveCounts);
        play_position::EncodePile(out, position.stock, position.stockCount);
    }
};

// Where a grid game puts its cards.
struct GridLayout {
    int32_t side;                          // cells per row and per column
    int32_t gridX, gridY, pitchX, pitchY;  // the top-left cell and the step to the next cell
    int32_t stockX, stockY;
    int32_t currentX, currentY;
    int32_t reserveX, reserveY;            // the first card of the first reserve pile
};

// The layouts of the two grid games, the only ones grid_hand_game.cpp compiles the base for.
inline constexpr GridLayout kCribbageGrid{.side = 4, .gridX = 400, .gridY = 110, .pitchX = 70, .pitchY = 100,
                                          .stockX = 130, .stockY = 110, .currentX = 200, .currentY = 110,
                                          .reserveX = 130, .reserveY = 310};
inline constexpr GridLayout kPokerGrid{.side = 5, .gridX = 330, .gridY = 120, .pitchX = 70, .pitchY = 82,
                                       .stockX = 100, .stockY = 80, .currentX = 170, .currentY = 80,
                                       .reserveX = 100, .reserveY = 240};

template <GridLayout L, typename Hands>
class GridHandGame : public ModelTable<GridHandModel<L.side, Hands>, 0, kSettlesOnDraw> {
    using Table = ModelTable<GridHandModel<L.side, Hands>, 0, kSettlesOnDraw>;

public:
    using typename Table::Position;
    static constexpr int kSide = L.side;
    static constexpr int kCells = kSide * kSide;
    static constexpr int kHands = 2 * kSide;
    static constexpr int kReservePiles = GridHandPosition<kSide>::kReservePiles;
    static constexpr int kReserveSlots = GridHandPosition<kSide>::kReserveSlots;
    static constexpr int kStockX = L.stockX, kStockY = L.stockY;
    static constexpr int kCurrentX = L.currentX, kCurrentY = L.currentY;
    static constexpr int kReserveX = L.reserveX, kReservePitch = 70, kReserveY = L.reserveY, kReserveStep = 15;
    static constexpr int kReserveKind = 4;
    // A row or a column of the grid.
    using Line = std::array<Card, kSide>;

    GridHandGame(Artwork* artwork, int gameNumber) : Table(artwork, gameNumber) { this->endsWhenFull = true; }

    // The first card turned.
    void StartDeal() override;
    bool CheckGameOver() override;
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    // Time costs nothing and a win adds nothing: the final score is the points.
    int GetTimeAdjustment(int) override { return 0; }
    double GetWinFactor() override { return 1.0; }
    bool IsWon() override;

    static int CellX(int i) { return L.gridX + L.pitchX * (i % kSide); }
    static int CellY(int i) { return L.gridY + L.pitchY * (i / kSide); }
    static int ReserveX(int k) { return kReserveX + kReservePitch * k; }
    static int ReserveCardY(int index) { return kReserveY + kReserveStep * index; }
    bool GridFull() const { return Table::GridFull(position); }

    // The current position, with the rule values from the settings.
    Position ModelPosition() const override;
    bool GestureFor(const PlayMove& move, MoveGesture& gesture) override;

    // The table's own state, named here since the base depends on the layout.
    using Table::position, Table::artwork, Table::deck, Table::endedByUser, Table::finalScore, Table::gameOver,
        Table::kScoreNotComputed, Table::paused, Table::points, Table::lifted;
    struct HandScores {
        std::array<int32_t, kHands> lines{};
        int32_t total = 0;
    } hands;

protected:
    // The table's own functions, named here since the base depends on the layout.
    using Table::AnimateCard, Table::CanDrop, Table::DropCards, Table::FindDropTargetAt, Table::FinishGame,
        Table::GetName, Table::LiftCards, Table::PlaySound, Table::SaveUndo;

    // ---- The game's part ----

    // A placed card took the current card or filled the grid: show the card the model turned
    // next, or end the game.
    virtual void TurnNextCard() = 0;
    // True when a finished game has hand scores to show.
    virtual bool HandsScored() const { return GridFull(); }
    void DrawGridCell(int cell);
    bool handScoresShown = false;  // the labels are on the screen since the last table drawing
    // Draws the game's own cards into the screen buffer, between the reserves and the grid.
    virtual void DrawExtraCards() {}
    // True when a click placement keeps one undo record more than a drag does (two in all).
    virtual bool ClickSavesTwice() const { return false; }
    // The game's part of an undo record, between the grid and the reserves: the starter, or the
    // hand scores and their total. A reader reads into `read` and `scores`, which the table takes
    // once the whole record has proved good.
    virtual void HandPart(play_position::RecordFields& fields, Position& read, HandScores& scores) = 0;

    // ---- For the games ----

    // Shows the current card the model turned from the stock, taking it off the deck too.
    void ShowDealtCurrent();
    // Scores every row and column with `score`, adds the total to the points and ends the game.
    void ScoreHands(const std::function<int(const Line&)>& score);
    void DrawStockArea(bool present) { play_position::DrawStockArea(*this, kStockX, kStockY, present); }

private:
    // The rule values "ReservePiles" (0..3) and "CardsPerPile" (1..5), read whenever a rule needs
    // them.
    int32_t ReservePiles() const { return this->Rule("ReservePiles"); }
    int32_t CardsPerPile() const { return this->Rule("CardsPerPile"); }
    // What the table shows while a card is lifted.
    Card ShownCurrent() const { return lifted == Table::kCurrentPlace ? Card() : position.current; }
    int ShownCount(int k) const { return position.reserveCounts[k] - (lifted == Table::kReservePlace + k); }
    // The current card and the reserve piles' tops are dragged; the empty cells and the reserve
    // piles take them.
    play_position::PlaceView View(int place) const override;
    // The fields of the undo record after its base part, for writing and reading alike; the hand
    // scores read wait in readHands until the record has proved good.
    bool RecordPart(play_position::RecordFields& fields, Position& read) override;
    void LetGo() override {
        hands = readHands;
        Table::LetGo();
    }
    HandScores readHands;
    void DrawAreas(bool present) override;
    // The current card or a reserve pile, the places a card is lifted from.
    void DrawPlace(int place, bool present) override;
    void DrawHandScores();
    // Placing the current card, or filling the grid, turns the next card.
    void Landed(const PlayMove& move, int scored) override;
};

// Cribbage's and Poker's parts of the grid model.
struct CribbageHands;
struct PokerHands;
extern template class GridHandGame<kCribbageGrid, CribbageHands>;
extern template class GridHandGame<kPokerGrid, PokerHands>;
