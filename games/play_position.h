// What the games share beside the pile base: the pieces their models use (a stock copied out of
// the deck, piles as cards and counts, cards and piles as bytes of a position code), the
// description of a place that drawing, hit testing and gestures read, the drawing of the table's
// areas, the walk over an undo record's fields, and ModelTable, the on-screen part of the
// single-table games.
//
// Positions hold only int32_t fields and Cards (two int32_t), so they have no padding and their
// raw bytes are fully defined: equal positions have equal bytes.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "artwork/artwork.h"
#include "cards/card.h"
#include "cards/card_geometry.h"
#include "cards/deck.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "framework/play_model.h"
#include "games/models/model_parts.h"
#include "games/game_registry.h"
#include "games/game_rules.h"

namespace play_position {

// Takes a whole position in PositionBytes' form, for what an undo record leaves out (how many
// waste cards are fanned, the stock's turns used), only when the table then writes the same
// undo record as it does now (`record` writes it); false and nothing changed otherwise.
template <typename Position, typename WriteRecord>
bool AdoptIfSameRecord(Position& position, std::span<const uint8_t> bytes, WriteRecord record) {
    if (bytes.size() != sizeof(Position)) return false;
    Position taken;
    std::memcpy(&taken, bytes.data(), sizeof taken);
    const std::vector<uint8_t> before = record();
    std::swap(position, taken);
    if (record() == before) return true;
    position = taken;
    return false;
}

// Where a place's cards lie as the table shows them (a lifted card left out): the first at
// (x, y), each next one (dx, dy) further on; and what a press or a drop may do there.
struct PlaceView {
    int x = 0, y = 0, dx = 0, dy = 0;
    const Card* cards = nullptr;
    int count = 0;
    bool pickup = false;  // its top card may be picked up
    int targetKind = 0;   // the kind of its drop target, where its next card would go; 0 for none
    int X(int index) const { return x + dx * index; }
    int Y(int index) const { return y + dy * index; }
    int Top() const { return std::max(count - 1, 0); }
};

// A point well inside the card whose top-left corner is (x, y).
inline constexpr int kInsideX = 20, kInsideY = 30;

// The table a deal starts on: the game's title, the table drawn whole, and the game's music.
inline void ShowNewTable(Game& game) {
    game.artwork->DrawGameTitle(game.gameNumber);
    game.Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();
}

// ---- Drawing the table's areas ----

// Room the stacked edges of a stock take left of and above its card (a foundation takes half).
inline constexpr int kLayerRoomX = 22, kLayerRoomY = 11;
inline constexpr int kScreenBottom = 599;

// Paints an area of the table into the screen buffer. With present, the area (edges included)
// is cleared to the background first and marked for the next presentation.
template <typename Paint>
void DrawArea(Game& game, int left, int top, int right, int bottom, bool present, Paint paint) {
    if (present) game.artwork->RestoreBackground(left, right, top, bottom);
    paint();
    if (present) game.artwork->AddDirty({left, top, right, bottom});
}

// The deck's stock with its top card at (x, y).
inline void DrawStockArea(Game& game, int x, int y, bool present, bool canTurn = false) {
    Artwork& art = *game.artwork;
    DrawArea(game, x - kLayerRoomX, y - kLayerRoomY, x + art.cardWidth, y + art.cardHeight, present,
             [&] { art.DrawStock(x, y, art.cardBack, game.deck, art.screenBuffer, canTurn); });
}

// What an empty card area shows.
enum EmptyArea : bool { kBlankWhenEmpty = false, kMarkWhenEmpty = true };

// One card at (x, y); else the empty-pile mark, or nothing.
inline void DrawCardArea(Game& game, int x, int y, Card card, EmptyArea empty, bool present) {
    Artwork& art = *game.artwork;
    DrawArea(game, x, y, x + art.cardWidth, y + art.cardHeight, present, [&] {
        if (card.IsValid()) art.DrawCard(x, y, card, art.screenBuffer);
        else if (empty == kMarkWhenEmpty) art.DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, art.screenBuffer);
    });
}

// A foundation at (x, y): its top card over the layers `depth` gives, or the empty-pile mark.
inline void DrawFoundationArea(Game& game, int x, int y, Card top, int startRank, int depth, bool present) {
    Artwork& art = *game.artwork;
    DrawArea(game, x - kLayerRoomX / 2, y - kLayerRoomY / 2, x + art.cardWidth, y + art.cardHeight, present, [&] {
        if (top.IsValid()) art.DrawFoundation(x, y, top, art.screenBuffer, startRank, depth);
        else art.DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, art.screenBuffer);
    });
}

// Takes the first `count` cards of a pile read from a record; the slots past them must be empty.
template <size_t N>
bool TakePile(PackTally& tally, const std::array<Card, N>& cards, int count) {
    for (int i = 0; i < static_cast<int>(N); ++i)
        if (i < count ? !tally.Take(cards[i]) : cards[i].IsValid()) return false;
    return true;
}

// The fields of a table's part of its undo record, in record order: one list, walked by a
// writer to save and by a reader to restore, so the two cannot drift apart. A reader refuses a
// value outside its range; a writer writes what it is given.
class RecordFields {
public:
    virtual void Cards(Card* cards, int count) = 0;
    virtual void Int(int32_t& value, int32_t lowest, int32_t highest) = 0;
    // Flags kept one a byte.
    virtual void Flags(uint8_t* flags, int count) = 0;
    virtual bool Reading() const = 0;

    void Card1(Card& card) { Cards(&card, 1); }
    template <size_t N>
    void Cards(std::array<Card, N>& cards) { Cards(cards.data(), static_cast<int>(N)); }
    template <size_t N, size_t M>
    void Piles(std::array<std::array<Card, N>, M>& piles) {
        for (auto& pile : piles) Cards(pile);
    }
    template <size_t N>
    void Counts(std::array<int32_t, N>& counts, int32_t lowest, int32_t highest) {
        for (int32_t& count : counts) Int(count, lowest, highest);
    }
    // A value the record carries but the table fixes: written as given, read and dropped.
    void Fixed(int32_t value) { Int(value, INT32_MIN, INT32_MAX); }
    // A value written, and read unchecked.
    void Int(int32_t& value) { Int(value, INT32_MIN, INT32_MAX); }
    void CardValue(Card& card) { Cards(&card, 1); }
    // One pile (a waste, a reserve) with its count.
    template <size_t N>
    void Pile(std::array<Card, N>& cards, int32_t& count) {
        Cards(cards);
        Int(count, 0, N);
    }
    // Piles with their counts, and how many cards of each lie face down (no more than it holds).
    template <size_t N, size_t M>
    void Piles(std::array<std::array<Card, N>, M>& piles, std::array<int32_t, M>& counts) {
        Piles(piles);
        Counts(counts, 0, N);
    }
    template <size_t N, size_t M>
    void Piles(std::array<std::array<Card, N>, M>& piles, std::array<int32_t, M>& counts,
               std::array<int32_t, M>& faceDown) {
        Piles(piles, counts);
        for (size_t i = 0; i < M; ++i) Int(faceDown[i], 0, counts[i]);
    }
    void Points(int32_t& points) { Int(points, -kMaxRecordPoints, kMaxRecordPoints); }
    void Seconds(int32_t& seconds) { Int(seconds, 0, kMaxRecordSeconds); }
    void Clock(int32_t& points, int32_t& seconds) {
        Points(points);
        Seconds(seconds);
    }
};

struct RecordWriter final : RecordFields {
    UndoWriter& writer;
    explicit RecordWriter(UndoWriter& out) : writer(out) {}
    void Cards(Card* cards, int count) override { writer.Cards(cards, count); }
    void Int(int32_t& value, int32_t, int32_t) override { writer.Int(value); }
    void Flags(uint8_t* flags, int count) override { writer.Bytes().insert(writer.Bytes().end(), flags, flags + count); }
    bool Reading() const override { return false; }
    using RecordFields::Cards;
};

struct RecordReader final : RecordFields {
    UndoReader& reader;
    explicit RecordReader(UndoReader& in) : reader(in) {}
    void Cards(Card* cards, int count) override { reader.Cards(cards, count); }
    void Int(int32_t& value, int32_t lowest, int32_t highest) override { reader.IntIn(value, lowest, highest); }
    void Flags(uint8_t* flags, int count) override {
        if (auto bytes = reader.Take(static_cast<size_t>(count))) std::copy(bytes->begin(), bytes->end(), flags);
    }
    bool Reading() const override { return true; }
    using RecordFields::Cards;
};

}  // namespace play_position

// A card selected by clicking its pick-up, and where it lies.
struct CardSelection {
    int x = 0, y = 0;
    Card card;
    bool Empty() const { return !card.IsValid(); }
};

// What a drawing of the whole table does beside drawing: nothing, or settle the end of the game
// (and the hot spots) after it.
enum TableDrawing : bool { kJustDraws = false, kSettlesOnDraw = true };

// The on-screen part the single-table games share: the model's position as the state of play,
// the model's moves and the position's bytes for the tools, the plain Undo, and a win as the
// model's. The deck keeps the stock, since the undo record saves it there: a position reads it
// from the deck. The table holds the model's position and asks the model (Model::) for its
// places, rules and moves; it is not a model itself.
template <typename M, int Number = 0, TableDrawing SettleOnDraw = kJustDraws>
class ModelTable : public Game {
public:
    using Model = M;
    using Position = typename M::Position;
    using Rules = typename M::Rules;
    static constexpr int kGameNumber = Number;
    using Game::Game;
    explicit ModelTable(Artwork* artwork) : Game(artwork, Number) {}

    void Undo() override {
        if (paused || gameOver) return;
        if (soundFirst) PlaySound("undo.wav");
        if (auto record = PopUndoRecord()) RestoreRecord(*record);
    }
    // The record: the base part, the fields RecordPart lists, the points and the seconds.
    void SaveUndo() override {
        UndoWriter writer = BeginUndoRecord();
        play_position::RecordWriter fields(writer);
        RecordPart(fields, position);
        writer.Int(points);
        writer.Int(ElapsedSeconds());
        PushUndoRecord(writer);
    }
    // A record is read into a copy of the position and taken only when every field is in range,
    // the fields agree and Possible finds every card where it may be.
    bool RestoreRecord(std::span<const uint8_t> record) override {
        UndoReader reader(record);
        if (!ReadBaseState(reader)) return false;
        Position read = position;
        play_position::RecordReader fields(reader);
        const bool agree = RecordPart(fields, read);
        int32_t readPoints = 0, elapsed = 0;
        if (!reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints) ||
            !reader.IntIn(elapsed, 0, kMaxRecordSeconds) || !reader.AtEnd() || !agree || !Possible(read, *reader.deck))
            return false;
        CommitBaseState(reader);
        position = read;
        LetGo();
        FinishUndo(readPoints, elapsed, soundOnRestore);
        return true;
    }
    // A deal: the theme (and on the first deal of a game with rule values its menu items), no hot
    // spots, the standard panel, a fresh position with nothing held (LetGo), the game's start
    // (StartDeal), the rule values read once, the model's deal shown as it is made, the end settled
    // and the clock started.
    void NewGame(bool restart) override {
        BeginRuledDeal(restart || !FindGame(gameNumber)->HasRuleSettings());
        ClearHotspots();
        fanDx = fanDy = 0;
        SetStandardPanel();
        position = Position();
        LetGo();
        StartDeal();
        rules = ReadDealRules();
        TableDealShow show(*this);
        position = Model::Deal(deck, rules, &show);
        CheckGameOver();
        StartClock(0);
    }
    const char* GetName() override { return FindGame(gameNumber)->name; }
    // The whole table: the background, the game's areas and the frame.
    void Draw(bool present) override {
        artwork->RestoreBackground(0, 799, 0, 599);
        DrawAreas(false);
        DrawTableFrame(present);
        if (SettleOnDraw) CheckGameOver();
    }
    // The model's moves: none while the game is paused, dragging or over; with a card waiting for
    // its partner, the pairs it makes.
    void PlayMoves(MoveList& out) override {
        out.clear();
        if (paused || dragging || gameOver) return;
        Model::Moves(ModelPosition(), out);
        if (const int waiting = Waiting(); waiting >= 0)
            std::erase_if(out, [&](const PlayMove& move) {
                return move.kind == PlayMove::kMove && move.from != waiting && move.to != waiting;
            });
    }
    // Settles the end of the game and registers the places' hot spots: over when the player ended
    // it or the model says so (OverNow); without the automatic end only a win ends it.
    bool CheckGameOver() override {
        Refresh();
        gameOver = endedByUser || OverNow();
        if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
        RegisterPlaces();
        return gameOver;
    }
    // A move's gesture, from the places' views: a press on the stock, or a move of a table played by
    // clicks, is a click on the card; a pair is two clicks, or one on the partner of the card
    // waiting; any other move drags the card to where the target's next card would go.
    bool GestureFor(const PlayMove& move, MoveGesture& gesture) override {
        if (move.kind != PlayMove::kStock && move.kind != PlayMove::kMove && move.kind != PlayMove::kSelect) return false;
        // A press on the stock or a select names no target: it stands on its own place.
        const PlaceView from = View(move.from), to = move.to >= 0 ? View(move.to) : from;
        const int fromX = from.X(from.Top()) + play_position::kInsideX, fromY = from.Y(from.Top()) + play_position::kInsideY;
        const Play play = move.kind == PlayMove::kMove ? HowPlayed() : kClicks;
        if (play == kDrags) {
            const int next = to.count - (move.from == move.to);
            gesture = {MoveGesture::kDrag, fromX, fromY, to.X(next) + play_position::kInsideX, to.Y(next) + play_position::kInsideY};
            return true;
        }
        const int toX = to.X(to.Top()) + play_position::kInsideX, toY = to.Y(to.Top()) + play_position::kInsideY;
        const int waiting = play == kPairs ? Waiting() : -1;
        if (play == kClicks || (waiting >= 0 && waiting == move.to)) gesture = {MoveGesture::kClick, fromX, fromY, fromX, fromY};
        else if (waiting == move.from) gesture = {MoveGesture::kClick, toX, toY, toX, toY};
        else if (waiting < 0) gesture = {MoveGesture::kTwoClicks, fromX, fromY, toX, toY};
        else return false;
        return true;
    }
    // A move's places from the places' views: the stock's top layer or a place's top card, and the
    // target's top card (or where its first card goes); paired in a table played by pairs.
    bool PlacesOf(const PlayMove& move, MovePlaces& places) override {
        if (move.kind != PlayMove::kStock && move.kind != PlayMove::kMove && move.kind != PlayMove::kSelect) return false;
        const PlaceView from = View(move.from);
        places.source = DrawnTop(move.from);
        if (move.kind == PlayMove::kStock) {
            places.dealsRow = StockDealsRow();
            return true;
        }
        if (from.count > 0) places.card = from.cards[from.Top()];
        if (move.kind == PlayMove::kSelect) return true;
        const PlaceView to = View(move.to);
        places.target = DrawnTop(move.to);
        if (to.count > 0) places.onto = to.cards[to.Top()];
        if (HowPlayed() == kPairs) places.kind = MovePlaces::kPartner;
        else if (StartsFoundation(move.to)) places.kind = MovePlaces::kFoundation;
        else places.kind = to.count > 0 ? MovePlaces::kOntoCard : MovePlaces::kEmptyPlace;
        return true;
    }
    bool IsWon() override { return gameOver && Model::Won(ModelPosition()); }
    // A card lifted is the top one of the place its pick-up names (PlaceAt), saved for undo and the
    // place drawn without it; it may land where the model offers a move from that place, and
    // landing plays the move. A table without places' views never lifts.
    void LiftCards(DragRecord& drag) override {
        const int place = PlaceAt(drag.x, drag.y);
        if (paused || gameOver || place < 0) return;
        SaveUndo();
        lifted = place;
        DrawPlace(place, true);
        CheckGameOver();
    }
    bool CanDrop(DragRecord& drag, DropTarget& target) override {
        return Offers(PlaceAt(drag.x, drag.y), PlaceAt(target.x, target.y));
    }
    void DropCards(DragRecord&, DropTarget& target) override {
        const int to = PlaceAt(target.x, target.y);
        if (lifted == kNothingLifted || !Offers(lifted, to)) {
            CheckGameOver();
            return;
        }
        const PlayMove move{.kind = PlayMove::kMove, .from = static_cast<int8_t>(lifted), .to = static_cast<int8_t>(to)};
        lifted = kNothingLifted;
        position = ModelPosition();
        Landed(move, Model::Apply(position, move));
        CheckGameOver();
    }
    // A card let go where it may not land goes back where it was lifted from, drawn there again,
    // and the undo record kept when it was lifted goes too.
    void ReturnCards() override {
        if (lifted == kNothingLifted) return;
        DropNewestUndoRecord();
        const int place = lifted;
        lifted = kNothingLifted;
        DrawPlace(place, true);
        artwork->PresentDirty();
        CheckGameOver();
    }
    std::string PositionBytes() override {
        const Position now = ModelPosition();
        return std::string(reinterpret_cast<const char*>(&now), sizeof now);
    }
    uint64_t PositionHash() const override {
        PositionCode code;
        Model::Encode(ModelPosition(), code);
        return code.Hash();
    }
    bool AdoptPositionBytes(std::span<const uint8_t> bytes) override {
        return play_position::AdoptIfSameRecord(position, bytes, [this] { return RecordNow(); });
    }
    // The current position, with the points as the score holds them and the stock as the deck
    // holds it.
    virtual Position ModelPosition() const {
        Position now = position;
        now.points = points;
        if constexpr (requires { now.stockCount; }) now.stockCount = play_position::CopyStock(deck, now.stock);
        return now;
    }

    Position position;
    // The rule values of the deal in play, read from the settings when it was dealt.
    Rules rules;
    // A card lifted for a drag (or on its way after a click) stays where it lies until it lands,
    // but the table is drawn without it: the model's place it lies on, or kNothingLifted.
    static constexpr int32_t kNothingLifted = -1;
    int32_t lifted = kNothingLifted;
    // The card waiting for its partner in a table played by pairs.
    CardSelection first;

protected:
    // Restoring a record plays the undo sound, or else Undo plays it first (or neither does).
    bool soundOnRestore = true, soundFirst = false;

    // The game's start of a deal, on a fresh position: how dragged cards fan (fanDx, fanDy).
    virtual void StartDeal() {}

    // ---- A deal the model makes, shown ----

    // The new table with the cards laid out at once: the game's title, the table drawn whole, and
    // the game's music.
    virtual void ShowLaidOut(const Position& now) {
        position = now;
        play_position::ShowNewTable(*this);
    }
    // A card dealt: it slides face up from the stock (place 0, drawn as the deck now holds it) to
    // where its place shows it, with the deal sound.
    virtual void ShowDealt(const Position& now, int place, int index) {
        position = now;
        const PlaceView stock = View(0), to = View(place);
        play_position::DrawStockArea(*this, stock.x, stock.y, true);
        AnimateCard(stock.x, stock.y, to.X(index), to.Y(index), to.cards[index], {.fast = true});
        PlaySound("deal.wav");
    }
    // A move the deal ends with (a press on the stock): the table drawn again with the flip sound.
    virtual void ShowPlayedAtDeal(const Position& now, const PlayMove&) {
        position = now;
        DrawAreas(true);
        artwork->PresentDirty();
        PlaySound("flip.wav");
    }
    class TableDealShow final : public DealShow<Position> {
    public:
        explicit TableDealShow(ModelTable& shown) : table(shown) {}
        void Shown(const Position& now) override { table.ShowLaidOut(now); }
        void Dealt(const Position& now, int place, int index) override { table.ShowDealt(now, place, index); }
        void Played(const Position& now, const PlayMove& move) override { table.ShowPlayedAtDeal(now, move); }

    private:
        ModelTable& table;
    };
    // The rule values a deal plays by: the stored ones, read once per deal (games sharing a model,
    // each with its own fixed values, give those).
    virtual Rules ReadDealRules() const { return ReadRules<Rules>(gameNumber); }
    // A press on the stock that the model plays (its kStock from place 0): the cards it deals taken
    // off the deck too, the stock and the place `shown` drawn again with the flip sound, and the
    // end settled.
    void TurnStock(int shown) {
        Refresh();
        const int before = position.stockCount;
        Model::Apply(position, {.kind = PlayMove::kStock, .from = 0});
        for (int dealt = position.stockCount; dealt < before; ++dealt) deck.DealNext();
        DrawPlace(0, true);
        DrawPlace(shown, true);
        artwork->PresentDirty();
        PlaySound("flip.wav");
        CheckGameOver();
    }
    // Reads the stock from the deck, before the model plays a move or answers a rule question.
    void LoadStock() { position.stockCount = play_position::CopyStock(deck, position.stock); }
    // Reads the stock and the rule values a table keeps outside its position, likewise.
    void Refresh() { position = ModelPosition(); }
    // A table played by clicks: a click on the stock's top card saves the position and presses the
    // stock; a click on a card that has somewhere to go plays it there at once, as a drag would:
    // one undo record, the card lifted, sent sliding and dropped. Nothing happens for other clicks.
    template <typename PressStock>
    void ClickToPlay(int x, int y, int stockX, int stockY, PressStock pressStock) {
        if (paused || gameOver) return;
        if (OnStockTop(x, y, stockX, stockY)) {
            SaveUndo();
            return pressStock();
        }
        const Hotspot* spot = FindPickupAt(x, y);
        DragRecord record = spot ? *spot : DragRecord();
        const DropTarget* found = spot ? FindLegalTarget(record, 0) : nullptr;
        if (!found) return;
        // Copied, since lifting rebuilds both lists.
        DropTarget target = *found;
        SaveUndo();
        dragRecord = record;
        dragging = true;
        LiftCards(dragRecord);
        if (lifted != kNothingLifted) {
            AnimateCard(dragRecord.x, dragRecord.y, target.x, target.y, dragRecord.cards[0]);
            DropCards(dragRecord, target);
        }
        dragging = false;
        CheckGameOver();
    }
    // (x, y) lies on the card at (left, top), edges included.
    bool OnCard(int x, int y, int left, int top) const {
        return x >= left && x <= left + artwork->cardWidth && y >= top && y <= top + artwork->cardHeight;
    }

    // Every area of the table; with present each is cleared first and marked for presenting.
    // Here each of the model's places (kPlaces of them) in turn.
    virtual void DrawAreas(bool present) {
        if constexpr (requires { M::kPlaces; })
            for (int place = 0; place < M::kPlaces; ++place) DrawPlace(place, present);
    }
    // The area of one of the model's places, the lifted card left out.
    virtual void DrawPlace(int, bool) {}
    // A place's cards as its view shows them, in an area from its first card to (right, bottom)
    // (by default one card's), the `chosen` card darkened; the empty-pile mark when it has none
    // and `placeholder` holds.
    void DrawView(int place, bool present, bool placeholder, int bottom = 0, int right = 0, Card chosen = Card()) {
        const PlaceView view = View(place);
        const int screen = artwork->screenBuffer;
        if (!right) right = view.x + artwork->cardWidth;
        if (!bottom) bottom = view.y + artwork->cardHeight;
        play_position::DrawArea(*this, view.x, view.y, right, bottom, present, [&] {
            if (view.count == 0 && placeholder)
                artwork->DrawPlaceholder(view.x, view.y, card_geometry::kPlaceholderEmptyPile, screen);
            for (int i = 0; i < view.count; ++i)
                artwork->DrawCard(view.X(i), view.Y(i), view.cards[i], screen,
                                  chosen.IsValid() && view.cards[i] == chosen);
        });
    }

    // ---- The places as the table shows them ----

    // Where a place's top card is drawn (the stock's top layer; where the first card goes when
    // the place is empty).
    virtual Rect DrawnTop(int place) const {
        const PlaceView view = View(place);
        if (!view.cards) return artwork->CardRect(artwork->StockTopPosition(view.x, view.y, deck));
        return artwork->CardRect(view.X(view.Top()), view.Y(view.Top()));
    }
    // A press on the stock deals a card onto each place of a row.
    virtual bool StockDealsRow() const { return false; }
    // A card played to the place goes to a foundation (rather than onto the card there).
    virtual bool StartsFoundation(int place) const { return View(place).targetKind == kAutoMoveKind; }

    // Where the cards of one of the model's places lie and what a press or a drop does there.
    virtual play_position::PlaceView View(int) const { return {}; }
    using PlaceView = play_position::PlaceView;
    // How the table plays a move from place to place (a press on the stock is always a click).
    enum Play { kDrags, kClicks, kPairs };
    virtual Play HowPlayed() const { return kDrags; }
    // The place of the card waiting for its partner in a table played by pairs, or -1.
    virtual int Waiting() const { return first.Empty() ? -1 : PlaceAt(first.x, first.y); }
    // The model's verdict on the end of the game, with nothing lifted.
    virtual bool OverNow() const { return lifted == kNothingLifted && Model::Over(position); }
    // The hot spots from the places' views: every drop target, where its place's next card would
    // go, and while play goes on the top cards that may be picked up.
    void RegisterPlaces() {
        ClearHotspots();
        if constexpr (requires { M::kPlaces; }) {
            for (int place = 0; place < M::kPlaces; ++place)
                if (const PlaceView view = View(place); view.targetKind)
                    AddDropTarget(view.X(view.count), view.Y(view.count), CardHitRect(view.X(view.count), view.Y(view.count)),
                                  view.targetKind);
            if (paused || gameOver) return;
            for (int place = 0; place < M::kPlaces; ++place)
                if (const PlaceView view = View(place); view.pickup && view.count > 0)
                    AddPickup(view.X(view.count - 1), view.Y(view.count - 1), &view.cards[view.count - 1], 1);
        }
    }
    // The place with a pick-up or a drop target at (x, y): its top card, or where its next card
    // would go (where the lifted card lay); -1 for none.
    int PlaceAt(int x, int y) const {
        if constexpr (requires { M::kPlaces; })
            for (int place = 0; place < M::kPlaces; ++place) {
                const PlaceView view = View(place);
                for (int index = view.count - 1; index <= view.count && (view.pickup || view.targetKind); ++index)
                    if (index >= 0 && view.X(index) == x && view.Y(index) == y) return place;
            }
        return -1;
    }

    // A click on the card of the pick-up `spot` in a table played by pairs: a click on the card
    // waiting for its partner (`first`) lets it go. With none waiting, a card the model takes
    // alone (a kSelect of its place) is returned, and any other waits; else the pair the model
    // makes of the two is returned, or the no-match sound plays. A move returned lets the
    // waiting card go.
    std::optional<PlayMove> PickForPair(const Hotspot& spot) {
        const int place = PlaceAt(spot.x, spot.y), other = Waiting();
        if (!first.Empty() && spot.cards[0] == first.card) {
            first = CardSelection();
            return std::nullopt;
        }
        MoveList moves;
        Model::Moves(ModelPosition(), moves);
        for (const PlayMove& move : moves) {
            const bool alone = other < 0 && move.kind == PlayMove::kSelect && move.from == place;
            const bool pair = other >= 0 && move.kind == PlayMove::kMove &&
                              ((move.from == place && move.to == other) || (move.from == other && move.to == place));
            if (alone || pair) {
                first = CardSelection();
                return move;
            }
        }
        if (other < 0) first = {spot.x, spot.y, spot.cards[0]};
        else PlaySound("nomatch1.wav");
        return std::nullopt;
    }

    // ---- Dragging ----

    // Shows a move a drop played and takes its points: the target drawn again, with the sound of a
    // pile fanned downwards (a column) or of any other (a foundation).
    virtual void Landed(const PlayMove& move, int scored) {
        points += scored;
        DrawPlace(move.to, true);
        artwork->PresentDirty();
        PlaySound(View(move.to).dy ? "tableau.wav" : "foundation.wav");
    }
    // The model offers the move of the top card of place `from` onto place `to`.
    bool Offers(int from, int to) const {
        MoveList moves;
        Model::Moves(ModelPosition(), moves);
        return std::any_of(moves.begin(), moves.end(), [&](const PlayMove& move) {
            return move.kind == PlayMove::kMove && move.from == from && move.to == to;
        });
    }

    // ---- The game's part of its undo record (tables with their own record override the pair
    // above instead) ----

    // Walks the record's fields of the position; false when the values read disagree.
    virtual bool RecordPart(play_position::RecordFields&, Position&) { return true; }
    // Every card of a position read from a record may be where it is, with the stock read: here
    // every card the model names at most once, and with those it only counts, the whole pack.
    virtual bool Possible(const Position& read, const Deck& stock) const {
        Position full = read;
        if constexpr (requires { full.stockCount; }) full.stockCount = play_position::CopyStock(stock, full.stock);
        CardTally named;
        Model::Cards(full, named);
        PackTally tally;
        if (!std::all_of(named.cards.begin(), named.cards.end(), [&](Card card) { return tally.Take(card); }))
            return false;
        tally.TakeCovered(named.unnamed);
        return tally.WholePack();
    }
    // What a table holds beside the position (a lifted card, a selection) goes on a restore, or
    // is taken as the record's fields were read.
    virtual void LetGo() {
        lifted = kNothingLifted;
        first = CardSelection();
    }
};
