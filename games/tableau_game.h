// The shared table of the nine pile-building games (Klondike, Agnes, Forty Thieves, Canfield, Four
// Seasons, Quadrille, Simplicity, Gate, Spider; their models' shared parts are in
// games/models/tableau_model.h) (the held stack, the game-over decision, undo, the tool operations over the model,
// the deal its model makes shown, and the places of a table, as PlaceAt describes them, laid out,
// hit, lifted and drawn). Each game keeps its layout numbers and its undo record's fields.
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

#include "artwork/artwork.h"
#include "cards/card.h"
#include "cards/deck.h"
#include "framework/game.h"
#include "framework/play_model.h"
#include "framework/undo_journal.h"
#include "games/game_rules.h"
#include "games/models/tableau_model.h"
#include "games/play_position.h"

static_assert(tableau::kMaxStackCards == kMaxStackCards);

namespace tableau {
// Takes the cards of a pile read from a record into a tally, and clears every slot past its count.
template <size_t S>
bool TakePile(PackTally& tally, std::array<Card, S>& pile, int32_t count) {
    ClearPastCount(pile, count);
    return tally.TakeCards(pile.data(), count);
}
template <size_t N, size_t S>
bool TakePiles(PackTally& tally, std::array<std::array<Card, S>, N>& piles, const std::array<int32_t, N>& counts) {
    for (size_t i = 0; i < N; ++i)
        if (!TakePile(tally, piles[i], counts[i])) return false;
    return true;
}

// A place of the table as the shared layout, hit testing, hotspots and drawing see it: what kind
// of place it is, where its first card lies, how its cards fan and what it holds. A waste's
// (x, y) is where its top card lies; the game draws its wastes and reserves itself.
struct Place {
    enum Kind : uint8_t { kNone, kStock, kWaste, kFoundation, kColumn, kReserve };
    Kind kind = kNone;
    int x = 0, y = 0;
    // How far down each further card of a column or reserve lies; a column that does not fan
    // shows its top card only.
    int step = 0;
    const Card* cards = nullptr;
    int count = 0, faceDown = 0;
    // The position's own count of a waste, reserve or column: lifting a stack shortens it.
    const int32_t* counter = nullptr;
    // Room left of and above the card that the place's refresh area takes in (a stock's depth).
    int roomX = 0, roomY = 0;
    // A stock marked as one that can be turned over again; a foundation drawn with the depth of
    // the ranks under its top counted from this rank (kTopAlone: its top alone).
    static constexpr int kTopAlone = INT_MIN;
    bool canTurn = false;
    int depthFrom = kTopAlone;
    // Drawn by the game itself.
    bool own = false;
    // A waste's first card (wasteX, wasteY) and how it fans, as TableauGame::DrawPlace takes them;
    // drawn by the shared drawing, its refresh area reaches fanRoom right of that card.
    int wasteX = 0, wasteY = 0, cardsDealt = 1, dealt = 0, fanStep = 0, fanRoom = 0;

    static Place Stock(int x, int y, int roomX, int roomY, bool canTurn) {
        return {.kind = kStock, .x = x, .y = y, .roomX = roomX, .roomY = roomY, .canTurn = canTurn};
    }
    // A waste drawn at (x, y) as TableauGame::DrawPlace draws it: dealt several at a time, it fans
    // its cards dealt last; otherwise its top lies on the layers of its depth.
    static Place WasteAt(int x, int y, const Card* cards, const int32_t& count, int cardsDealt = 1, int dealt = 0,
                         int fanStep = 0) {
        const int layers = count / kCardsPerLayer;
        const bool fanned = cardsDealt > 1;
        return {.kind = kWaste, .x = fanned ? x + fanStep * std::max(dealt - 1, 0) : x + kLayerStepX * layers,
                .y = fanned ? y : y + kLayerStepY * layers, .cards = cards, .count = count, .counter = &count,
                .own = true, .wasteX = x, .wasteY = y, .cardsDealt = cardsDealt, .dealt = dealt, .fanStep = fanStep};
    }
    // The same place left to the shared drawing, its refresh area reaching this far left, up and
    // right of its first card.
    Place Drawn(int left, int up, int right) const {
        Place at = *this;
        at.own = false;
        at.roomX = left;
        at.roomY = up;
        at.fanRoom = right;
        return at;
    }
    // A foundation's refresh area reaches a little above and left of its card (the depth drawing).
    static Place Foundation(int x, int y, const Card& top, int depthFrom = kTopAlone) {
        return {.kind = kFoundation, .x = x, .y = y, .cards = &top, .count = 1, .roomX = 4, .roomY = 2,
                .depthFrom = depthFrom};
    }
    static Place Column(int x, int y, int step, const Card* cards, const int32_t& count, int faceDown = 0) {
        return {.kind = kColumn, .x = x, .y = y, .step = step, .cards = cards, .count = count, .faceDown = faceDown,
                .counter = &count};
    }
    static Place Reserve(int x, int y, int step, const Card* cards, const int32_t& count) {
        return {.kind = kReserve, .x = x, .y = y, .step = step, .cards = cards, .count = count, .counter = &count,
                .own = true};
    }
    // Where card `index` lies (a column's or reserve's fan; elsewhere every card lies at (x, y)).
    int CardY(int index) const { return y + step * index; }
    bool FaceUpTop() const { return count > faceDown; }
};

}  // namespace tableau

// While it lives, drawing goes to an area of the table: with present, the area's background is
// restored when it starts and the area marked for presenting when it ends.
class AreaRefresh {
public:
    AreaRefresh(Artwork* artwork, const Rect& area, bool present) : artwork(artwork), area(area), present(present) {
        if (present) artwork->RestoreBackground(area.left, area.right, area.top, area.bottom);
    }
    ~AreaRefresh() {
        if (present) artwork->AddDirty(area);
    }
    AreaRefresh(const AreaRefresh&) = delete;
    AreaRefresh& operator=(const AreaRefresh&) = delete;

private:
    Artwork* artwork;
    Rect area;
    bool present;
};

class TableauGame : public Game {
public:
    using Game::Game;

    // Over when the player ended the game, or (outside a drag) when the model finds nothing useful
    // left; with Auto Game Over off only a won game ends by itself. Then the hotspots registered.
    bool CheckGameOver() override;
    void Undo() override {
        if (paused || gameOver) return;
        if (undoSoundFirst) PlaySound("undo.wav");
        if (auto record = PopUndoRecord()) RestoreRecord(*record);
    }
    // The name the game is registered under.
    const char* GetName() override {
        const GameDescriptor* game = FindGame(gameNumber);
        return game ? game->name : "";
    }
    // A click on the stock (place 0) or a face-down top, or a drag from the lowest card picked up
    // to where the next card of the target lies.
    bool GestureFor(const PlayMove& move, MoveGesture& gesture) override;
    // The stock's top layer, a face-down top, or the stack from the card a move takes hold of, and
    // the target's top card (a foundation's top layer), or its first card's place when empty.
    bool PlacesOf(const PlayMove& move, MovePlaces& places) override;
    // The table drawn, then the game-over decision (unless pressDecides).
    void Draw(bool present) override {
        DrawTable(present);
        if (!pressDecides) CheckGameOver();
    }

    // Where a held stack came from, besides a pile's index: nowhere (none is held) and the waste.
    static constexpr int32_t kNoSource = -3, kWasteSource = -1;
    // The stack being dragged, bottom card first, and where it came from.
    std::array<Card, kMaxStackCards> held{};
    int32_t heldCount = 0;
    int32_t heldSource = kNoSource;

protected:
    virtual void OnStock() {}
    bool checkAfterPickUp = true;
    // Games that take the game-over decision as they are played: drawing the table does not take
    // it, a press while paused or after the game takes it again, and the game is won once the
    // model says so, over or not.
    bool pressDecides = false;
    // Some games sound the undo before the table changes, with or without a record to restore
    // (and then not again when the record is read).
    bool undoSoundFirst = false;
    // Indices for CardOrigin besides a card's own: where the next card of the place would go, and
    // the place's top card.
    static constexpr int kNextCard = -1, kTopCard = -2;
    // Where card `index` of a place lies on the table; false for a place the game does not have.
    virtual bool CardOrigin(int place, int index, int& x, int& y) const;
    // The game's places as the model numbers them (the stock is place 0); kNone past the last.
    using Place = tableau::Place;
    virtual Place PlaceAt(int) const { return {}; }
    // The foundation or column whose next card goes at (x, y), or -1.
    int DropPlaceAt(int x, int y) const;
    // Which stacks a column offers: its top card, then every longer face-up run from its card
    // `lowest` down (partial) or the whole run from `lowest`.
    struct ColumnRuns {
        int lowest;
        bool partial;
    };
    virtual ColumnRuns RunsOf(int, const Place& at) const { return {at.faceDown, false}; }
    // Where a drag or a pick-up holds a stack as the table shows it: a fanned column's face-up card
    // at the drag's corner, or another place's top card.
    bool FindStack(const DragRecord& drag, int& place, int& index) const;
    // The table: the background, every place, the frame.
    void DrawTable(bool present) {
        artwork->RestoreBackground(0, 799, 0, 599);
        for (int place = 0; PlaceAt(place).kind != Place::kNone; ++place) DrawPlace(place, false);
        DrawTableFrame(present);
    }
    // The deck's next card dealt to a place in play: the stock drawn again, the card flown there
    // from the stock (face down or up) with a sound. The caller puts the card into the place; no
    // card left: the no-card value.
    Card DealTo(int place, bool faceDown, const char* sound = "deal.wav");
    // Draws the places the game draws itself (Place::own).
    virtual void DrawOwnPlace(int, bool) {}
    virtual bool ModelOver() const = 0;
    void ClearHeld() {
        held.fill(Card());
        heldCount = 0;
        heldSource = kNoSource;
    }
    // What the game draws after a drop besides the place it went to.
    virtual void AfterDrop() {}
    // A drop sounds the kind of place it went to; onto a pile, once per card (soundPerCard), sounded
    // before the move.
    bool dropSounds = true, soundPerCard = false;
    // The opening table: the game's title, the table drawn on the background, the game's music.
    void ShowOpening() { play_position::ShowNewTable(*this); }
    // After a held stack went back: the slide back drew it where it was picked up, but the waste's
    // depth may have changed with its count, so the waste (place 1) is drawn again.
    virtual void RedrawReturned(int source) {
        if (source != kWasteSource) return;
        DrawPlace(1, true);
        artwork->PresentDirty();
    }
    // Draws a place again: the game's own (DrawOwnPlace); a waste with its depth, or fanned when
    // dealt several at a time; a fanned column down to the foot of the screen, face-down cards as
    // backs; else one card: a stock or foundation with its depth, an unfanned column's top.
    void DrawPlace(int place, bool present);
};

// The tool operations of a game whose model is Model, and the table of a game that holds its
// model's Position as its state of play: every move is the model's Apply, and the game draws what
// changed. The stock stays in the deck (the undo record keeps it there) and the points in Game.
template <typename M>
class ModelledTableauGame : public TableauGame {
public:
    using Model = M;
    using Position = typename Model::Position;
    using TableauGame::TableauGame;
    // How many packs the game deals from (Model::kPacks, else one).
    static constexpr int kPacks = [] {
        if constexpr (requires { Model::kPacks; }) return Model::kPacks;
        return 1;
    }();
    // How many of the waste's cards the position fans out, where the game fans them.
    template <typename P>
    static auto WasteFanOf(P& p) {
        using Pointer = std::conditional_t<std::is_const_v<P>, const int32_t*, int32_t*>;
        if constexpr (requires { p.dealtThisTurn; }) return Pointer{&p.dealtThisTurn};
        else if constexpr (requires { p.turnedCount; }) return Pointer{&p.turnedCount};
        else return Pointer{};
    }
    // PositionBytes hands out the position's bytes as they are: no padding may hide in them.
    static_assert(std::has_unique_object_representations_v<Position>, "a position has no padding");

    // The table's position with the stock (kept in the deck), the points and the rule values in
    // force brought in: what every rule question is asked about.
    Position CurrentPosition() const {
        Position p = position;
        p.stock.Load(deck);
        p.points = points;
        RulesOf(p) = rules;
        return p;
    }

    // The rules in force say how much they ease or harden the game.
    double GetScoreFactor() override { return rules.ScoreFactor(); }
    void PlayMoves(MoveList& out) override {
        out.clear();
        if (paused || dragging || gameOver) return;
        Model::Moves(CurrentPosition(), out);
    }
    std::string PositionBytes() override {
        const Position position = CurrentPosition();
        return std::string(reinterpret_cast<const char*>(&position), sizeof position);
    }
    std::optional<int32_t> WasteFanned() const override {
        if (const int32_t* fan = WasteFanOf(position)) return *fan;
        return std::nullopt;
    }
    uint64_t PositionHash() const override {
        PositionCode code;
        Model::Encode(CurrentPosition(), code);
        return code.Hash();
    }
    // The position is taken whole; the stock, the points and the rules stay as the deck, the
    // score and the settings hold them, since CurrentPosition reads them from there.
    bool AdoptPositionBytes(std::span<const uint8_t> bytes) override {
        return play_position::AdoptIfSameRecord(position, bytes, [this] { return RecordNow(); });
    }
    bool IsWon() override { return (gameOver || pressDecides) && Model::Won(CurrentPosition()); }
    // A press on the stock is the game's (OnStock), one on a face-down top turns it; otherwise it may
    // pick cards up, and the game-over decision is taken again (unless checkAfterPickUp is off).
    void OnLButtonDown(WPARAM keys, int x, int y) override {
        if (paused || gameOver) {
            if (pressDecides) CheckGameOver();
            return;
        }
        int stockX = 0, stockY = 0;
        CardOrigin(0, kTopCard, stockX, stockY);
        if (OnStockTop(x, y, stockX, stockY)) return OnStock();
        MoveList moves;
        Model::Moves(CurrentPosition(), moves);
        for (const PlayMove& move : moves) {
            int left = 0, top = 0;
            if (move.kind != PlayMove::kFlip || !CardOrigin(move.from, kTopCard, left, top)) continue;
            if (x >= left && x <= left + artwork->cardWidth && y >= top && y <= top + artwork->cardHeight)
                return TurnTop(move.from);
        }
        Game::OnLButtonDown(keys, x, y);
        if (checkAfterPickUp) CheckGameOver();
    }

    // What the table shows; while a stack is held, without it.
    Position position{};
    // The rule values of the deal in play, read from the settings when the model dealt it.
    using Rules = typename Model::Rules;
    Rules rules{};

protected:
    // The opening of every deal: the rules menu, how a dragged stack fans, the standard panel, an
    // empty table with nothing held.
    void BeginTableauTable(bool restart, int dx, int dy, const char* caption = "&Rules") {
        BeginRuledDeal(restart, caption);
        ClearHotspots();
        fanDx = dx;
        fanDy = dy;
        SetStandardPanel();
        position = Position{};
        ClearHeld();
    }

    // ---- A deal the model makes, shown ----

    // The deal's rules read from the settings, and the model's deal made, shown as it goes.
    void DealShown() {
        rules = ReadRules<Rules>(gameNumber);
        TableDealShow show(*this);
        position = Model::Deal(deck, rules, &show);
        // Without slides the stock was left as it stood before the deal (ShowDealt).
        if (!SlidesShown()) DrawPlace(0, true);
    }
    // The opening table with the cards laid out at once (ShowOpening).
    virtual void ShowLaidOut(const Position& now) {
        position = now;
        ShowOpening();
    }
    // Whether card `index` of a place dealt lies face down (`at` showing the place with it).
    virtual bool DealtFaceDown(const Place& at, int, int index) const { return index < at.faceDown; }
    // A card dealt: the stock drawn again as the deck now holds it, and the card flown from the
    // stock to where it lies in its place (face down or up) with dealtSound; the table then shows
    // the position with it.
    virtual void ShowDealt(const Position& now, int place, int index) {
        const Position before = std::exchange(position, now);
        const Place at = PlaceAt(place);
        const Card card = at.cards[index];
        const bool faceDown = DealtFaceDown(at, place, index);
        position = before;
        int x = 0, y = 0, stockX = 0, stockY = 0;
        DealtOrigin(place, index, x, y);
        CardOrigin(0, kTopCard, stockX, stockY);
        // The stock thins card by card only where the cards are seen to leave it; without slides
        // it is drawn once, when the deal is done (DealShown).
        if (SlidesShown()) DrawPlace(0, true);
        AnimateCard(stockX, stockY, x, y, card, {.fast = true, .back = faceDown ? artwork->cardBack : -1});
        PlaySound(dealtSound);
        position = now;
    }
    const char* dealtSound = "deal.wav";
    // Where a card dealt lands (its CardOrigin), asked before the table shows it.
    virtual void DealtOrigin(int place, int index, int& x, int& y) const { CardOrigin(place, index, x, y); }
    class TableDealShow final : public DealShow<Position> {
    public:
        explicit TableDealShow(ModelledTableauGame& shown) : table(shown) {}
        void Shown(const Position& now) override { table.ShowLaidOut(now); }
        void Dealt(const Position& now, int place, int index) override { table.ShowDealt(now, place, index); }
        // No deal of these games ends with a move; the table would show it with what follows.
        void Played(const Position& now, const PlayMove&) override { table.position = now; }

    private:
        ModelledTableauGame& table;
    };
    // The rules a position holds: its `rules`, or the rules it is built on.
    static Rules& RulesOf(Position& p) {
        if constexpr (requires { p.rules; }) return p.rules;
        else return p;
    }

public:
    // The game's own part of an undo record, from the fields the game lists (RecordFields).
    void SaveUndo() override {
        UndoWriter writer = BeginUndoRecord();
        play_position::RecordWriter fields(writer);
        Position p = position;
        int32_t recordPoints = points, seconds = ElapsedSeconds();
        RecordFields(fields, p, recordPoints, seconds);
        PushUndoRecord(writer);
    }
    // Reads the fields into a copy of the position; the table changes only once the game has
    // accepted what was read.
    bool RestoreRecord(std::span<const uint8_t> record) override {
        UndoReader reader(record);
        if (!ReadBaseState(reader)) return false;
        Position read = position;
        int32_t recordPoints = 0, seconds = 0;
        play_position::RecordReader fields(reader);
        RecordFields(fields, read, recordPoints, seconds);
        if (int32_t* fan = WasteFanOf(read); fan && fanToRestore) *fan = *fanToRestore;
        PackTally tally(kPacks);
        if (!reader.AtEnd() || !tally.TakeStock(*reader.deck) || !AcceptRecord(tally, read)) return false;
        CommitBaseState(reader);
        position = read;
        ClearHeld();
        FinishUndo(recordPoints, seconds, !undoSoundFirst && restoreSounds);
        return true;
    }

protected:
    // The fields of the game's undo record in their fixed order: the position's, and the points and
    // seconds played where the record keeps them.
    using Fields = play_position::RecordFields;
    virtual void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) = 0;
    // Whether a read record is whole (every card of the packs in play as often as they hold it,
    // the tally holding the stock it staged); tidies the position it read (no card past a pile's
    // count) and brings in what the record does not hold.
    virtual bool AcceptRecord(PackTally& tally, Position& read) = 0;
    // Restoring a record sounds the undo (unless it sounded first).
    bool restoreSounds = true;
    bool ModelOver() const override { return Model::Over(CurrentPosition()); }

    // Turns a face-down top with an undo record of its own.
    void TurnTop(int place) {
        SaveUndo();
        Play({PlayMove::kFlip, static_cast<int8_t>(place)});
        DrawPlace(place, true);
        artwork->PresentDirty();
        CheckGameOver();
    }
    // A press on the stock that the model takes: an undo record, the model's stock move, and the
    // stock (place 0) and the waste (place 1) drawn again.
    void PressStock() {
        SaveUndo();
        Play({PlayMove::kStock});
        DrawPlace(0, true);
        DrawPlace(1, true);
        artwork->PresentDirty();
    }
    // Plays a move on the position, keeping the points in step and the deck's stock too: the deck
    // deals or takes cards back until it holds what the stock holds.
    void Play(const PlayMove& move) { PlayOn(CurrentPosition(), move); }
    using ApplyFunction = int (*)(Position&, const PlayMove&);
    void PlayOn(Position from, const PlayMove& move, ApplyFunction apply = &Model::Apply) {
        points += apply(from, move);
        position = from;
        const auto& stock = position.stock;
        while (deck.Remaining() > stock.count && deck.DealNext().IsValid()) {}
        while (deck.Remaining() < stock.count) {
            const int before = deck.Remaining();
            deck.PutBack(stock.Peek(stock.count - before - 1));
            if (deck.Remaining() == before) break;
        }
    }

public:
    // Lifts the stack a drag took hold of (FindStack; a stack too long to hold stays): an undo
    // record (unless the game wrote one at the press), the position kept to play the move from or
    // go back to, and the stack in hand, held as kWasteSource from a waste, else as its place.
    void LiftCards(DragRecord& drag) override {
        int place = 0, index = 0;
        if (paused || gameOver || !FindStack(drag, place, index)) return;
        const Place at = PlaceAt(place);
        const int n = at.count - index;
        if (n > kMaxStackCards) return;
        if (liftSavesUndo) SaveUndo();
        beforeLift = CurrentPosition();
        liftMove = tableau::MakeMove(place, index, -1, n);
        held.fill(Card());
        std::copy_n(&at.cards[index], n, held.begin());
        heldCount = n;
        heldSource = at.kind == Place::kWaste ? kWasteSource : place;
        // PlaceAt describes this table's own position: the stack comes off its cards and count.
        std::fill_n(const_cast<Card*>(at.cards) + index, n, Card());
        *const_cast<int32_t*>(at.counter) = index;
        AfterLift(place);
        DrawPlace(place, true);
        CheckGameOver();
    }
    // May the dragged stack go to the foundation or pile whose next card lies at the target?
    bool CanDrop(DragRecord& drag, DropTarget& target) override {
        const int place = DropPlaceAt(target.x, target.y);
        return place >= 0 && Fits(CurrentPosition(), place, drag);
    }
    // The held stack dropped on the place whose next card lies at the target: the move played from
    // the position before the lift (by dropApply), the place drawn again and the drop's sound (none
    // for a game without dropSounds). Face-down cards the move uncovers are turned afterwards
    // (AfterMove), each with its own undo record.
    void DropCards(DragRecord& drag, DropTarget& target) override {
        const int place = DropPlaceAt(target.x, target.y);
        if (heldCount >= 1 && drag.cards[0] == held[0] && place >= 0) {
            const bool home = PlaceAt(place).kind == Place::kFoundation;
            if constexpr (requires(Rules r) { r.autoFlip; }) RulesOf(beforeLift).autoFlip = 0;
            if (soundPerCard && !home)
                for (int i = 0; i < heldCount; ++i) PlaySound("tableau.wav");
            liftMove.to = static_cast<int8_t>(place);
            PlayOn(beforeLift, liftMove, dropApply);
            ClearHeld();
            DrawPlace(place, true);
            AfterDrop();
            artwork->PresentDirty();
            if (dropSounds && (home || !soundPerCard)) PlaySound(home ? "foundation.wav" : "tableau.wav");
        }
        CheckGameOver();
    }
    // With the AutoFlip rule, every top a move left face down is turned.
    void AfterMove() override {
        if constexpr (requires(Rules r) { r.autoFlip; }) {
            if (!rules.autoFlip) return;
            MoveList moves;
            Model::Moves(CurrentPosition(), moves);
            for (const PlayMove& move : moves)
                if (move.kind == PlayMove::kFlip) {
                    JoinNextRecordToMove();
                    TurnTop(move.from);
                }
        }
    }

protected:
    // Whether a place takes the dragged stack, asked of the model's build rules.
    virtual bool Fits(const Position& p, int place, const DragRecord& drag) const {
        if constexpr (requires(Card c) { Model::FitsPile(p, 0, c, 1) && Model::FitsFoundation(p, 0, c, 1); }) {
            if (place >= Model::kFirstPile) return Model::FitsPile(p, place - Model::kFirstPile, drag.cards[0], drag.count);
            return Model::FitsFoundation(p, place - Model::kFirstFoundation, drag.cards[0], drag.count);
        }
        return false;
    }
    // A press on the stock plays the model's stock move when it offers one, sounding a deal
    // (dealSound) or the waste turned over (recycleSound), where the game has a sound for it.
    void OnStock() override {
        const Position now = CurrentPosition();
        MoveList moves;
        Model::Moves(now, moves);
        if (std::find(moves.begin(), moves.end(), PlayMove{PlayMove::kStock}) != moves.end()) {
            PressStock();
            const char* sound = now.stock.count > 0 ? dealSound : recycleSound;
            if (sound) PlaySound(sound);
        }
        CheckGameOver();
    }
    const char* dealSound = "flip.wav";
    const char* recycleSound = nullptr;
    // What a lift adjusts besides the place's cards, and whether it writes an undo record.
    virtual void AfterLift(int) {}
    bool liftSavesUndo = true;
    // A column's stacks as the rules say: every face-up run, or the top card and the whole run.
    ColumnRuns RunsOf(int, const Place& at) const override {
        if constexpr (requires(Rules r) { r.movePartial; }) return {at.faceDown, rules.movePartial != 0};
        return {at.faceDown, false};
    }
    // What a drop plays the move with.
    ApplyFunction dropApply = &Model::Apply;

    // A held stack put back where it came from: the record made at the lift is dropped and the
    // table restored.
    void ReturnCards() override {
        if (heldSource == kNoSource || heldCount < 1) return;
        const int source = heldSource;
        DropNewestUndoRecord();
        position = beforeLift;
        ClearHeld();
        RedrawReturned(source);
        CheckGameOver();
    }

    Position beforeLift{};
    PlayMove liftMove{};
};
