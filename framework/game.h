// The base class of every solitaire game. It owns what all twenty games share: the deck, the
// places where cards can be picked up (pick-ups) and dropped (drop targets), the mouse-driven
// drag with save-under drawing and sliding animation, the clock and the score formula, the score
// panel and the two status texts, the end-of-game sequence and the in-game menu bar. A game
// supplies its rules by overriding the virtual operations below, and nothing else.
//
// The shell holds at most one Game. It constructs it with the artwork and the game number, calls
// NewGame(false), and then feeds it:
//   - every input message: first HandleMenuEvent() (the menu bar and its commands); unless that
//     or IsMenuOpen() consumed it, the mouse messages go to HandleMouseMessage, which calls
//     OnLButtonDown / OnLButtonUp / OnMouseMove / OnDoubleClick;
//   - timer 2 every 100 ms: DrawTable(-1), which refreshes the panel and, once the game is over,
//     runs the end-of-game sequence;
//   - leaving: ClearHotspots(), then the destructor, which deletes every undo file.
//
// Calling order of a drag, which a game may rely on:
//   OnLButtonDown -> LiftCards (which calls SaveUndo first) -> OnMouseMove* -> OnLButtonUp ->
//   CanDrop -> DropCards or ReturnCards -> CheckGameOver -> AfterMove.
// A double click on a pick-up with a legal kind-1 target: LiftCards (one undo record) -> slide ->
// DropCards -> AfterMove -> CheckGameOver.
//
// Every NewGame follows this order: clear paused, gameOver, endedByUser and clockRunning,
// points = 0, finalScore = kScoreNotComputed; LoadTheme(-1); set the layout block; shuffle and
// deal; ClearHotspots; DrawGameTitle(gameNumber); Draw(true), which restores the whole screen
// from the background first; SetGameMusic; CheckGameOver(); StartClock(0). Games add their own menu items only
// when restart is false, so "New Game" never adds them twice.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/deck.h"
#include "framework/demo.h"
#include "framework/finish.h"
#include "framework/hint.h"
#include "framework/play_model.h"
#include "framework/undo_journal.h"
#include "framework/winnable.h"
#include "platform/messages.h"
#include "platform/translation.h"

class Artwork;
struct SavedGame;
class RootPanel;
class MenuBar;
class Menu;
class MenuItem;
class KeyboardPlay;

// Command ids of the in-game menu.
enum GameCommand : int {
    kCommandNewGame = 1000,
    kCommandMainMenu = 1003,
    kCommandExit = 1004,
    kCommandUndo = 1005,
    kCommandPause = 1006,
    kCommandEndGame = 1007,
    kCommandReplayDeal = 1008,
    kCommandChooseDeal = 1009,
    kCommandRedo = 1010,
    kCommandHint = 1011,
    kCommandFinish = 1012,
    kCommandDemo = 1013,
    kCommandCardBack = 1106,
    kCommandCardFront = 1109,
    kCommandBackground = 1110,
    kCommandMusic = 1111,
    kCommandSound = 1112,
    kCommandGameSettings = 1114,
    kCommandAutoGameOver = 1115,
    kCommandFullScreen = 1116,
    kCommandAnimationNormal = 1117,
    kCommandAnimationFast = 1118,
    kCommandAnimationOff = 1119,
    kCommandWinnableOnly = 1120,
    kCommandShowTargets = 1121,
    kCommandShowVerdict = 1122,
    kCommandRulesSummary = 1210,
    kCommandHighScores = 1213,
    kCommandStatistics = 1214,
    kCommandAbout = 1300,
    kCommandRulesText = 1301,
};

inline constexpr int kMaxStackCards = 13;

// A place where cards can be picked up: the origin of the lowest card and the stack lifted from
// there, bottom card first. Unused slots hold the no-card value.
struct Hotspot {
    int32_t x = 0, y = 0;
    std::array<Card, kMaxStackCards> cards{};
    int32_t count = 0;
};
// The stack being dragged has the same shape.
using DragRecord = Hotspot;

// A place where cards can be dropped. Kind 1 is what a double click moves cards to (foundations);
// games use 2 for everything else.
struct DropTarget {
    int32_t x = 0, y = 0;
    Rect rect;
    int32_t kind = 0;
};
inline constexpr int kAutoMoveKind = 1;
inline constexpr int kPlainTargetKind = 2;

// How cards slide: at the fast pace or the normal one, left drawn at the target or the screen put
// back as it was, and (a single card) face up, or face down with back number `back`.
struct CardSlide {
    bool fast = false;
    bool keepDrawn = true;
    int back = -1;
};

class Game {
public:
    // finalScore's value while the final score has not been computed.
    static constexpr int32_t kScoreNotComputed = 99999;
    // Pick-up hit area from a hotspot's origin: a little smaller than the card.
    static constexpr int kPickupWidth = 50;
    static constexpr int kPickupHeight = 81;
    // A drop that lands closer than this to the stack's origin on both axes was a plain click,
    // and sliding back makes no "invalid" sound.
    static constexpr int kClickTolerance = 10;
    // Slide steps: 3 pixels normally, 10 when fast (games deal with fast slides). A slide keeps
    // its steps at every speed; what the speed sets is how long the whole slide may last. Up to
    // that, each step lasts kSlideStepMs; a longer slide shares the limit among its steps.
    static constexpr int kSlowStep = 3;
    static constexpr int kFastStep = 10;
    static constexpr uint32_t kSlideStepMs = 5;
    // Limits at the "Normal" speed: 28 dealt Klondike cards settle in under a second, leaving
    // room for the table's redraw, and a card sliding back or onto a foundation is still seen
    // travelling.
    static constexpr uint32_t kNormalDealSlideMs = 32;
    static constexpr uint32_t kNormalMoveSlideMs = 150;
    // At "Fast": the slides of a Klondike deal take under a third of a second.
    static constexpr uint32_t kFastDealSlideMs = 10;
    static constexpr uint32_t kFastMoveSlideMs = 50;

    // A slide that starts within this long of the previous one's due end continues its schedule
    // (the cards of a deal).
    static constexpr uint32_t kSlideChainMs = 50;
    // Frames of a slide are shown at most this often, and no more often than the display
    // refreshes: steps due in between are passed over, as they would never be seen, and each one
    // shown costs a present, scaled to the window.
    static constexpr uint32_t kSlideFrameMs = 8;

    // How long a slide of this many steps lasts at the player's animation speed (0 when off).
    static uint32_t SlideDurationMs(int steps, bool fast);
    // Whether cards slide across the table (animation on, and not switched off for a test).
    static bool SlidesShown();

    // The straight path of a slide: the longer axis moves by the step length, the shorter by its
    // share (truncated), the pixels lost to truncation go back one per step on the first steps,
    // and the last step lands exactly on the target.
    struct SlidePath {
        int fromX = 0, fromY = 0, toX = 0, toY = 0;
        int steps = 1;
        int moveX = 0, moveY = 0, restX = 0, restY = 0, signX = 1, signY = 1;
        // Where the cards are after step k (1..steps).
        void PositionAfter(int k, int& x, int& y) const;
    };
    static SlidePath PlanSlide(int fromX, int fromY, int toX, int toY, bool fast);

    Game(Artwork* artwork, int gameNumber);
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // ---- The virtual operations, in their fixed order ----

    // 1. Deals a new game (see the order at the top of this file).
    virtual void NewGame(bool restart) = 0;
    // 2. Empties both hotspot lists.
    virtual void ClearHotspots();
    // 3. Redraws the whole table into the screen buffer; presents when asked.
    virtual void Draw(bool present) = 0;
    // 4. Carries out a move accepted by CanDrop: moves the cards, scores, plays the move sound,
    //    calls CheckGameOver. The record's pick-up is removed from the list first.
    virtual void DropCards(DragRecord& drag, DropTarget& target) = 0;
    // 5. Called after every finished drag or double-click move. Empty here.
    virtual void AfterMove();
    // 6. Calls SaveUndo, takes the lifted cards off their pile, redraws what they uncovered and
    //    registers the drop targets that apply to this stack.
    virtual void LiftCards(DragRecord& drag) = 0;
    // 7. Puts the lifted cards back and drops the newest undo record.
    virtual void ReturnCards() = 0;
    // 8. The game's rule: may this stack go there?
    virtual bool CanDrop(DragRecord& drag, DropTarget& target) = 0;
    // 9. Asked first by OnDoubleClick; true consumes the click. False here.
    virtual bool OnTableClick(int x, int y);
    // 10. Sets gameOver when no move is left or the game is won (with Auto Game Over off only
    //     when won or ended by the player), rebuilds the pick-ups, returns gameOver.
    virtual bool CheckGameOver() = 0;
    // 11. Pushes an undo record: BeginUndoRecord, the game's arrays, points, elapsed seconds,
    //     PushUndoRecord.
    virtual void SaveUndo() = 0;
    // 12. The fan of the layout block.
    virtual void GetFanOffset(int& dx, int& dy);
    // 14. The display name, as in the game list ("Klondike").
    virtual const char* GetName() = 0;
    // 15.-18. Mouse input from the shell (x, y in screen pixels; keys is the wParam).
    virtual void OnLButtonDown(WPARAM keys, int x, int y);
    virtual void OnLButtonUp(WPARAM keys, int x, int y);
    virtual void OnMouseMove(WPARAM keys, int x, int y);
    virtual void OnDoubleClick(WPARAM keys, int x, int y);
    // 19. and 20. The base part of an undo record: deck and the two card lists. ReadBaseState
    //     only stages what it read in the reader; CommitBaseState applies it.
    virtual void WriteBaseState(UndoWriter& writer);
    virtual bool ReadBaseState(UndoReader& reader);
    // 21. Takes back the last move: nothing while paused or over or with an empty journal;
    //     otherwise the game restores its newest record, loses its undo penalty, restarts the
    //     clock at the recorded time, runs CheckGameOver, Draw(true) and plays "undo.wav".
    virtual void Undo();
    // 22. The panel values of the layout block.
    virtual void GetPanelLayout(int& x, int& y, int rect[4]);
    // 23.-25. The score formula's factors.
    virtual double GetScoreFactor();
    virtual int GetTimeAdjustment(int elapsedSeconds);
    virtual double GetWinFactor();
    // 26. True when the game is over and won.
    virtual bool IsWon() = 0;
    // 27.-29. The two status texts at the bottom of the table (at most 199 characters).
    virtual void SetStatusLeft(const char* text);
    virtual void SetStatusRight(const char* text);
    virtual void DrawStatus(bool clearFirst);
    // 30. The menu bar's share of an input message: translate, let the bar react, then run a
    //     chosen command (OnCommand first, then the game's own ids). True consumes the message.
    virtual bool HandleMenuEvent();
    // 31. True while a drop-down of the menu bar is open.
    virtual bool IsMenuOpen();
    // 32. Kept for the fixed order; nothing calls it.
    virtual void SpareHook();
    // 33. The common in-game commands; true when the current command was one of them.
    virtual bool OnCommand();
    // 34.-36. The model's moves in the current position (none while the game is paused, dragging
    //     or over), how the mouse makes one on this table, and the current position as the bytes
    //     of the model's Position (empty without a model). Tools play through these.
    virtual void PlayMoves(MoveList& out);
    virtual bool GestureFor(const PlayMove& move, MoveGesture& gesture);
    virtual std::string PositionBytes();
    // 37. Reads an undo record and, only when it is whole and possible, puts the game in its
    //     position (the undo fuzzer and the damaged-record tests call it directly).
    virtual bool RestoreRecord(std::span<const uint8_t> record);
    // 38. Where the table draws a move's cards and its target, and the cards it names (for the
    //     hint's outlines and words); false for a move the table cannot show.
    virtual bool PlacesOf(const PlayMove& move, MovePlaces& places);
    // 39. A hash of the model's code of the position as it stands: equal for the same cards in
    //     the same places, whatever the points; 0 without a model. Moves are counted with it.
    virtual uint64_t PositionHash() const;
    // 40. Takes the whole position as PositionBytes gave it, for what an undo record leaves out
    //     (how many waste cards are fanned, the stock's turns used). Only a position that writes
    //     the same undo record as the table does now is taken; false and nothing changed otherwise.
    virtual bool AdoptPositionBytes(std::span<const uint8_t> bytes);
    // 41. How many waste cards the table fans out now (none for a game without a fan): kept beside
    //     each undo record, since the record leaves it out, so Undo and Redo show the waste as it was.
    virtual std::optional<int32_t> WasteFanned() const { return std::nullopt; }

    // ---- For the shell ----

    // "&Hint" (Game menu, key H): asks the hint search for the next move and outlines where it
    // goes from and to for two seconds, at the cost of an undo, saying the move on the status
    // line; "No moves left." when there is none. The search runs beside the interface; the panel
    // timer shows its answer, once no menu or dialog is open.
    void ShowHint();
    const HintOutline& Hint() const { return hintOutline; }
    // What the status line says in place of its fields while a hint shows (empty otherwise).
    const std::string& HintWords() const { return hintWords; }
    // True while a hint search, a winnable-deal search or a play-out is under way: the next
    // panel tick may change the table without any input.
    bool BackgroundWork() const {
        return hintSearch || verdictSearch || finishRunner.Running() || demo.Running() || winnableDealer.Searching();
    }

    // Deals deal `number`, or a fresh number when none is given: the generator is seeded with the
    // number and NewGame(restart) shuffles from it, so a number gives the same cards on every
    // machine. The redo list is cleared and the move count starts again.
    void Deal(bool restart, std::optional<uint32_t> number = std::nullopt);
    // A number for a new deal, 1..999999999, different from the current one.
    uint32_t FreshDealNumber() const;
    // Undo as the menu and Ctrl+Z give it: the game's Undo, with the position it left kept for
    // Redo. Redo plays the newest undone move again: the position comes back as it was, the undo
    // record too, and the points keep the undo penalty. Any new move clears the redo list.
    void UndoMove();
    void RedoMove();
    bool CanRedo() const { return !redoList.empty(); }
    // Moves made in this deal and not taken back. A move is the records one gesture pushed (see
    // JoinNextRecordToMove); it counts once it has changed the position, so a record that saved
    // the same position twice, or a selection the model does not see, counts nothing.
    int MovesMade() const;
    // The status line's four fields as shown now: deal number, moves made, cards left in the
    // stock (empty for a game that deals everything at once) and elapsed time. They appear for
    // deals made through Deal, and each is redrawn only when its text changes.
    const std::array<std::string, 5>& StatusFields() const { return statusShown; }
    // A key the table may answer outside the menus (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z, Ctrl+N, F1,
    // the keys of keyboard play and the modifier keys themselves, whose up and down it follows).
    // True when it was used.
    bool HandleKey(uint32_t message, WPARAM key);
    // Runs an in-game command as its menu item would; true when it was one of the common ones.
    bool RunCommand(int commandId);
    // Play by keyboard: the focus ring and the keys that move and press it.
    KeyboardPlay& Keyboard() { return *keyboard; }
    // The outlines that mark where held cards may go ("Show &Targets"), while they are held.
    const TargetMarks& Targets() const { return targetMarks; }
    // Cards held by the keyboard are shown lifted off the table: raised by kRaise with a shadow
    // under them, until they move or are let go.
    static constexpr int kRaise = 6;
    void RaiseHeld();
    bool HeldRaised() const { return raised; }

    // Routes WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE and WM_LBUTTONDBLCLK.
    void HandleMouseMessage(uint32_t message, WPARAM keys, int x, int y);
    // The panel refresh: score < 0 means "work it out" (and finish the game when it is over).
    void DrawTable(int score);
    // The end of a game: while paused nothing; when over, freezes the clock, computes the final
    // score once and runs the end-of-game sequence. Returns the score to show.
    int FinishGame();

    // ---- Statistics and resuming (framework/deal_progress.cpp) ----

    // A deal counts as played from its first move and is counted once more at its end: won,
    // lost, or left unfinished. Leaving it is decided here and nowhere else: kept for resuming
    // (the player left the table or the program) it is saved as it stands and stays open;
    // left for another deal it is lost, and its saved copy goes.
    enum class Leaving { kForAnotherDeal, kKeepingTheDeal };
    void LeaveDeal(Leaving how);
    // The deal as it stands, for saving: its number, points, time, the table as an undo record
    // and the deal's own undo records. The rule values are the shell's to add.
    SavedGame CaptureDeal();
    // Deals the saved deal's number, then puts back its undo records, its table, points and time.
    // False when the table record does not fit the game: the fresh deal of that number stays.
    bool ResumeDeal(const SavedGame& saved);
    // True once the deal's first move has been counted.
    bool DealCounted() const { return dealCounted; }

    // ---- For the games ----

    void AddPickup(int x, int y, const Card* cards, int count);
    // Removes that very entry; a copy (such as the drag record) matches nothing.
    void RemovePickup(const Hotspot* entry);
    Hotspot* FindPickupAt(int x, int y);
    void AddDropTarget(int x, int y, const Rect& rect, int kind);
    void RemoveDropTarget(int x, int y);
    DropTarget* FindDropTargetAt(int x, int y);
    // First target (of that kind, unless kind is 0) that CanDrop accepts.
    DropTarget* FindLegalTarget(DragRecord& drag, int kind);
    // The card rectangle at (x, y) as a drop target's hit area.
    Rect CardHitRect(int x, int y) const;

    static int CountRank(const Card* cards, int rank, int n);
    static const char* RankName(int rank);

    void StartClock(int offsetSeconds);
    void PauseClock();
    void ResumeClock();
    int ElapsedSeconds() const;
    bool IsPaused() const { return paused; }
    int ComputeScore();

    // Slides a fanned stack (fan step from GetFanOffset) or one card across the screen buffer from
    // one place to another in steps of kSlowStep or kFastStep pixels, lasting SlideDurationMs. With
    // animation off the cards are drawn at the target at once.
    void AnimateCards(int fromX, int fromY, int toX, int toY, int count, const Card* cards, CardSlide slide = {});
    void AnimateCard(int fromX, int fromY, int toX, int toY, Card card, CardSlide slide = {});

    // Undo records: a writer holding the base part, and the push of a finished record.
    UndoWriter BeginUndoRecord();
    void PushUndoRecord(const UndoWriter& writer);
    void PushRecordBytes(const std::vector<uint8_t>& record);
    // The same for a record taken earlier, in the position with that PositionHash.
    void PushRecordBytes(const std::vector<uint8_t>& record, uint64_t position);
    // The newest record taken off the stack, or none.
    std::optional<std::vector<uint8_t>> PopUndoRecord();
    void DropNewestUndoRecord();
    // The next record pushed belongs to the move of the newest one, when the current gesture
    // pushed that: an automatic move that follows the player's.
    void JoinNextRecordToMove() { joinNextRecord = true; }
    // The record SaveUndo would push now, kept in memory instead.
    std::vector<uint8_t> RecordNow();
    void CommitBaseState(UndoReader& reader);
    // The common end of every Undo: penalty, clock, CheckGameOver, Draw and, unless the game
    // played it before the table changed, the sound.
    void FinishUndo(int32_t recordedPoints, int32_t elapsedSeconds, bool playSound = true);
    // While Undo or Redo restores a record: the waste's fan kept beside it, for RestoreRecord.
    std::optional<int32_t> fanToRestore;

    void PlaySound(const char* name);
    // The Auto Game Over preference.
    static bool AutoGameOverOn();
    // The in-game menu's "&Game" panel, rebuilt whenever the pause state changes.
    void BuildGameMenu();
    // Adds a game's own item to the "&Options" or "&View" menu (first deal only).
    MenuItem* AddOptionsItem(const char* caption, int commandId);
    MenuItem* AddViewItem(const char* caption, int commandId);
    // Draws the menu bar over the table (games call it at the end of Draw).
    void DrawMenuBar();
    // Makes the next DrawTable draw the panel even when its texts are unchanged (after the table
    // under it was redrawn).
    void ForgetPanel();
    // The end of every full table redraw: the status line, the menu bar, then the score panel
    // (which stands over the menu bar's right end), and a present of the whole screen if asked.
    void DrawTableFrame(bool present);

    // ---- State (public for tests and the shell, as a plain record would be) ----

    int32_t points = 0;
    Deck deck;
    std::list<Hotspot> pickups;
    std::list<DropTarget> dropTargets;
    bool dragging = false;
    int liftRecord = 0;  // the undo record LiftCards saved for the stack held now (0: none)
    DragRecord dragRecord;
    int32_t grabX = 0, grabY = 0;
    UndoJournal undo;
    int64_t startTime = 0, pauseTime = 0, endTime = 0;
    bool paused = false;
    int32_t finalScore = kScoreNotComputed;
    bool gameOver = false;
    Artwork* artwork;
    int32_t gameNumber;
    bool clockRunning = false;
    bool endedByUser = false;
    // The game ends when its grid is full, not when it is blocked: no "no moves left" message.
    bool endsWhenFull = false;
    std::string statusLeft, statusRight;
    // The number the current deal was shuffled from (0 until Deal is called).
    uint32_t dealNumber = 0;

    // The in-game toolkit root with its menu bar and four menus, "&Game" to "&Help" (the game
    // selection screen is the shell's GameMenu).
    RootPanel* Root() const { return root.get(); }
    Menu* GameCommandsMenu() const { return menus[0]; }
    Menu* OptionsMenu() const { return menus[1]; }
    Menu* ViewMenu() const { return menus[2]; }
    Menu* HelpMenu() const { return menus[3]; }
    MenuItem* MusicItem() const { return musicItem; }
    MenuItem* SoundItem() const { return soundItem; }
    MenuItem* AutoGameOverItem() const { return autoGameOverItem; }
    MenuItem* FullScreenItem() const { return fullScreenItem; }
    MenuItem* ShowTargetsItem() const { return showTargetsItem; }
    MenuItem* ShowVerdictItem() const { return showVerdictItem; }
    // The three animation speed items, in the order of AnimationSpeed.
    MenuItem* AnimationItem(uint32_t speed) const { return speed < animationItems.size() ? animationItems[speed] : nullptr; }
    // How many times the end-of-game sequence has run (tests count it).
    int EndSequenceCount() const { return endSequences; }
    // The texts the score panel shows now.
    const std::string& PanelLabel() const { return lastPanelLabel; }
    const std::string& PanelValue() const { return lastPanelValue; }

    // The cursors of the card table.
    int playCardCursor = 0, noCardCursor = 0;

protected:
    // The first step of every deal: not paused, not over, no points, clock stopped, no final score.
    void ResetForNewDeal();
    // The first steps of a deal in a game with rule settings: ResetForNewDeal, the "&Game
    // Settings..." and rules menu items on the first deal, and the player's preferred theme.
    void BeginRuledDeal(bool restart, const char* rulesCaption = TranslateLater("&Rules"));
    // The pointer over the table: the standard arrow, or one of the table's two cursors.
    enum class TablePointer { kArrow, kPlayCard, kNoCard };
    void ShowTablePointer(TablePointer pointer);
    // Holds the table still for a moment (virtual time under tests) so the player sees a move
    // before it completes.
    static void PauseBriefly(uint32_t ms);

    // The layout block, set by each NewGame.
    int fanDx = 0, fanDy = 0;
    int panelX = 0, panelY = 0;
    int panelRect[4] = {0, 0, 0, 0};
    // The panel values most games use: the score panel at the bottom left of the table.
    void SetStandardPanel();

    // True when (x, y) lies on the top card of the stock drawn at (stockX, stockY), edges included.
    bool OnStockTop(int x, int y, int stockX, int stockY) const;
    // Turns the first count waste cards back into the stock, top card first, so the card turned
    // first is dealt first again, and empties the waste.
    void ReturnWasteToStock(Card* waste, int32_t& count);

private:
    struct SaveUnder {
        std::vector<uint8_t> pixels;
        int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
        bool held = false;
    };
    void RunEndSequence();
    void TickHint();
    // Starts the verdict's search for a position not yet asked about, and takes its answer.
    void TickVerdict();
    void RevealHint(const PlayMove& move);
    void EndHint();
    // Puts words on the status line for as long as a hint shows (empty: the fields come back).
    void ShowHintWords(const std::string& words);
    void StackRect(int x, int y, int count, int& right, int& bottom) const;
    void Save(SaveUnder& block, int left, int top, int right, int bottom) const;
    void Restore(const SaveUnder& block) const;
    void DrawDragStack(int x, int y) const;
    void SaveUnderDrag(int x, int y, int right, int bottom);
    void SetDragRect(int x, int y, int right, int bottom);
    void RestoreUnderDrag();
    // The held cards' rectangle drawn raised, with their shadow.
    Rect RaisedRect() const;
    void DrawRaised() const;
    void LowerHeld();
    void MarkTargets();
    void ConfineToStack(int grabOffsetX, int grabOffsetY);
    void Slide(int fromX, int fromY, int toX, int toY, int width, int height, bool keepDrawn, bool fast,
               const std::function<void(int, int)>& draw);
    void BuildMenus();
    void SetAnimationSpeed(uint32_t speed);

    std::unique_ptr<KeyboardPlay> keyboard;
    std::unique_ptr<HintSearch> hintSearch;
    // The verdict's search, the position it was asked about and its answer (status field 4).
    std::unique_ptr<VerdictSearch> verdictSearch;
    std::string verdictPosition;
    VerdictSearch::Verdict verdict = VerdictSearch::Verdict::kNone;
    std::string hintPosition;  // the position the running search was asked about
    HintOutline hintOutline;
    std::string hintWords;
    uint64_t hintWordsShownAt = 0;
    bool wordsOnStatusLine = false;  // the strip shows hintWords instead of its fields
    std::string wordsShown;            // ... these words, drawn as these pixels
    std::vector<uint8_t> wordsPixels;
    FinishRunner finishRunner;
    DemoRunner demo;
    friend class DemoRunner;
    // The demo has played this deal (it enters no high score or statistics), and what the end of
    // the game says in place of "There are no moves left." after the demo's line.
    bool playedByDemo = false;
    std::string demoEndWords;
    WinnableDealer winnableDealer;

    // What Redo needs of one undone move: the position the move had led to, as an undo record,
    // the undo record it had pushed with its note, and the seconds the undo took off the clock.
    struct RedoEntry {
        std::vector<uint8_t> after, record;
        RecordNote note;
        int secondsTakenBack = 0;
        std::optional<int32_t> afterFanned;  // the waste's fan in the position the move led to
    };
    std::vector<RedoEntry> redoList;
    // A push moves the redo list aside; the cancelled drag's Drop brings it back.
    std::optional<std::vector<RedoEntry>> redoAside;
    std::optional<std::vector<uint8_t>> lastPopped;
    RecordNote lastPoppedNote;
    bool joinNextRecord = false;
    int gestureRecord = 0;  // the newest record the current gesture pushed (its number), or 0
    bool redoing = false;
    // While set, SaveUndo's record goes here instead of the journal.
    std::vector<uint8_t>* captureRecord = nullptr;
    int dealStartRecords = 0;
    // Statistics and the saved copy of the deal: counted as played, its end counted, and the
    // changes of position (pushes, undos, redos) made and saved so far.
    bool dealCounted = false;
    bool dealConcluded = false;
    bool restoringDeal = false;
    uint64_t positionChanges = 0, positionChangesSaved = 0;
    // Counts the deal as played once a move has been made; true when it is counted.
    bool DealUnderway();
    // The end of the deal: counted as won or lost, the saved copy discarded.
    void ConcludeDeal(bool won);
    // From the panel timer: saves the deal when its position has changed since the last save.
    void KeepProgress();
    bool controlHeld = false, shiftHeld = false;

    // Brings the status line's fields up to date: all of them over a freshly drawn strip, or only
    // those whose text changed, each over its own piece of the backdrop.
    void UpdateStatusLine(bool redrawAll);
    void UpdateStatusStrip(bool redrawAll);
    // Before a present: the strip drawn again where a restore of the background reached it.
    void RepairStatusLine();
    bool updatingStatus = false, stripRestored = false, slideRunning = false;
    std::string StatusFieldText(int field);
    std::array<std::string, 5> statusShown;
    std::array<std::vector<uint8_t>, 5> statusPixels;  // each field as last drawn
    uint64_t statusCheckedAt = ~uint64_t{0};             // PresentCount() when the fields were last checked
    bool statusLineOn = false;
    bool stockSeen = false;  // the deal has left cards in the deck at some point
    bool dealing = false;    // inside Deal's NewGame

    uint64_t slideScheduleEnd = 0;  // when the last slide was due to end
    SaveUnder dragSaveUnder;
    int dragX = 0, dragY = 0;      // where the dragged stack is drawn now
    int dragStartX = 0, dragStartY = 0;
    std::unique_ptr<RootPanel> root;
    MenuBar* menuBar = nullptr;
    std::array<Menu*, 4> menus{};
    MenuItem* musicItem = nullptr;
    MenuItem* soundItem = nullptr;
    MenuItem* autoGameOverItem = nullptr;
    MenuItem* fullScreenItem = nullptr;
    MenuItem* showTargetsItem = nullptr;
    MenuItem* showVerdictItem = nullptr;
    TargetMarks targetMarks;
    bool raised = false;
    SaveUnder raisedUnder;  // the table under the raised cards and their shadow
    std::array<MenuItem*, 3> animationItems{};
    std::string lastPanelLabel, lastPanelValue;
    bool clockFrozen = false;
    bool inEndSequence = false;
    int endSequences = 0;
};
