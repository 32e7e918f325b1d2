#include "framework/game.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "draw/draw.h"
#include "framework/deal_dialog.h"
#include "framework/game_services.h"
#include "framework/keyboard_play.h"
#include "platform/keys.h"
#include "platform/backend.h"
#include "platform/paths.h"
#include "platform/translation.h"
#include "artwork/artwork.h"
#include "artwork/screen_layout.h"
#include "store/high_scores.h"
#include "store/dialogs/high_scores_dialog.h"
#include "store/dialogs/statistics_dialog.h"
#include "store/settings_store.h"
#include "ui/art_cells.h"
#include "ui/controls.h"
#include "ui/toolkit.h"

namespace {

constexpr int kScreenRight = screen_layout::kScreenWidth - 1;
constexpr int kScreenBottom = screen_layout::kScreenHeight - 1;

// The score panel: a 130 x 50 frame in the top right corner cut from the dialog art.
constexpr int kPanelLeft = 620, kPanelTop = 0, kPanelWidth = 130, kPanelHeight = 50;
constexpr int kPanelEdge = 8;  // width of the right and bottom edge strips taken from the picture
constexpr int kPanelTextX = 685, kPanelLabelY = 20, kPanelValueY = 35;

// The status line along the bottom of the table.
constexpr int kStatusLeft = 20, kStatusRight = 780, kStatusTop = 550, kStatusBottom = 580;
constexpr int kStatusLeftAnchorX = 35, kStatusRightAnchorX = 750, kStatusAnchorY = 567;
constexpr size_t kStatusMaxLength = 199;
// The status line's four fields share the strip in equal parts, text a little in from the left.
constexpr int kStatusFieldWidth = (kStatusRight - kStatusLeft) / 5;
constexpr int kStatusFieldInset = 15;

// Save-under blocks are sized as the drawing layer's block size with room to spare at every depth.
constexpr double kSaveUnderSlack = 1.35;

// Raised cards' shadow lies where they were, a little to the right, and fades out over its edge.
constexpr int kShadowRight = 2, kShadowSoftness = 2, kShadowKeepPercent = 85;

constexpr int kUndoPenalty = 5;
// Games whose blocked end is part of play: their lose screen comes without the "no moves" note.

// Menu titles on the bar.
constexpr int kGameMenuX = 54, kOptionsMenuX = 155, kViewMenuX = 256, kHelpMenuX = 357;

Rect Union(int l1, int t1, int r1, int b1, int l2, int t2, int r2, int b2) {
    return {std::min(l1, l2), std::min(t1, t2), std::max(r1, r2), std::max(b1, b2)};
}

}  // namespace

Game::Game(Artwork* artwork, int gameNumber) : artwork(artwork), gameNumber(gameNumber) {
    // A table dealt without a deal number (a test's, a tool's) deals differently each run.
    deck.Seed(static_cast<uint32_t>(WallClockSeconds()));
    if (artwork) artwork->LoadCardImages();
    root = std::make_unique<RootPanel>();
    BuildMenus();
    root->Open();
    keyboard = std::make_unique<KeyboardPlay>(*this);
    playCardCursor = LoadScaledCursor(DataPath("playcard.cur").c_str());
    noCardCursor = LoadScaledCursor(DataPath("nocard.cur").c_str());
    if (artwork) {
        artwork->beforePresent = [this] { RepairStatusLine(); };
        artwork->beforePresentOwner = this;
    }
}

Game::~Game() {
    if (artwork && artwork->beforePresentOwner == this) {
        artwork->beforePresent = nullptr;
        artwork->beforePresentOwner = nullptr;
    }
    ClipCursor(nullptr);
    SetCursor(0);  // the standard arrow, which the selection screen shows
    if (playCardCursor) DestroyCursor(playCardCursor);
    if (noCardCursor) DestroyCursor(noCardCursor);
    root.reset();
    // The journal's destructor deletes every undo file.
}

// ---- Menus ----

void Game::BuildMenus() {
    menuBar = root->Create<MenuBar>();
    menus[0] = menuBar->AddMenu(kGameMenuX, Translate("&Game"));
    menus[1] = menuBar->AddMenu(kOptionsMenuX, Translate("&Options"));
    menus[2] = menuBar->AddMenu(kViewMenuX, Translate("&View"));
    menus[3] = menuBar->AddMenu(kHelpMenuX, Translate("&Help"));
    BuildGameMenu();
    Menu* options = menus[1];
    options->AddItem(Translate("Card &Front..."), kCommandCardFront);
    options->AddItem(Translate("&Card Back..."), kCommandCardBack);
    options->AddItem(Translate("&Background..."), kCommandBackground);
    musicItem = options->AddItem(Translate("&Music..."), kCommandMusic)->StartGroup();
    soundItem = options->AddItem(Translate("&SFX"), kCommandSound);
    autoGameOverItem = options->AddItem(Translate("&Auto Game Over"), kCommandAutoGameOver)->StartGroup();
    fullScreenItem = options->AddItem(Translate("F&ull Screen\tF11"), kCommandFullScreen);
    animationItems[kAnimationNormal] =
        options->AddItem(Translate("Animation &Normal"), kCommandAnimationNormal)->StartGroup();
    animationItems[kAnimationFast] = options->AddItem(Translate("Animation Fas&t"), kCommandAnimationFast);
    animationItems[kAnimationOff] = options->AddItem(Translate("Animation &Off"), kCommandAnimationOff);
    options->AddItem(Translate("&Winnable Deals Only"), kCommandWinnableOnly)->StartGroup();
    showTargetsItem = options->AddItem(Translate("Show &Targets"), kCommandShowTargets);
    showTargetsItem->SetChecked(userPreferences.ShowTargets != 0);
    showVerdictItem = options->AddItem(Translate("Show &Verdict"), kCommandShowVerdict);
    showVerdictItem->SetChecked(userPreferences.ShowVerdict != 0);
    musicItem->SetChecked(userPreferences.MusicEnabled != 0);
    soundItem->SetChecked(userPreferences.SoundEnabled != 0);
    autoGameOverItem->SetChecked(userPreferences.AutoGameOver != 0);
    fullScreenItem->SetChecked(IsFullScreen());
    for (uint32_t speed = 0; speed < animationItems.size(); ++speed)
        animationItems[speed]->SetChecked(userPreferences.AnimationSpeed == speed);
    menus[2]->AddItem(Translate("&High Scores..."), kCommandHighScores);
    menus[2]->AddItem(Translate("&Statistics..."), kCommandStatistics);
    menus[3]->AddItem(Translate("&Rules...\tF1"), kCommandRulesText);
    menus[3]->AddItem(Translate("&About..."), kCommandAbout);
}

void Game::BuildGameMenu() {
    Menu* game = menus[0];
    if (!game) return;
    game->RemoveAllItems();
    game->AddItem(Translate("&Undo\tCtrl+Z"), kCommandUndo);
    game->AddItem(Translate("&Redo\tCtrl+Y"), kCommandRedo);
    game->AddItem(paused ? Translate("&Resume") : Translate("&Pause"), kCommandPause);
    game->AddItem(Translate("&Hint\tH"), kCommandHint);
    game->AddItem(Translate("&New Game\tCtrl+N"), kCommandNewGame)->StartGroup();
    game->AddItem(Translate("Repla&y Deal"), kCommandReplayDeal);
    game->AddItem(Translate("&Choose Deal..."), kCommandChooseDeal);
    game->AddItem(Translate("&End Game"), kCommandEndGame);
    game->AddItem(Translate("&Finish"), kCommandFinish)->StartGroup()->SetDisabled(1);
    game->AddItem(Translate("&Demo"), kCommandDemo);
    game->AddItem(Translate("&Main Menu"), kCommandMainMenu)->StartGroup();
    game->AddItem(Translate("E&xit"), kCommandExit);
}

MenuItem* Game::AddOptionsItem(const char* caption, int commandId) {
    return menus[1]->AddItem(caption, commandId)->StartGroup();
}
MenuItem* Game::AddViewItem(const char* caption, int commandId) { return menus[2]->AddItem(caption, commandId)->StartGroup(); }

void Game::DrawMenuBar() {
    SelectScreenBuffer();
    if (menuBar) menuBar->Draw();
}

bool Game::HandleMenuEvent() {
    keyboard->BeforeInput();
    // A record joins only a move of the gesture it belongs to; a gesture lasts from a press to
    // its release.
    joinNextRecord = false;
    if (!dragging) gestureRecord = 0;
    // F11 and Alt+Enter switch full screen outside the menu; its check mark follows.
    if (fullScreenItem && fullScreenItem->IsChecked() != IsFullScreen()) fullScreenItem->SetChecked(IsFullScreen());
    TranslateEvent();
    root->HandleEvent();
    if (root->IsDirty()) {
        // The score panel reaches up into the menu bar's strip, and a control that changed may
        // have drawn the whole bar over it: draw the panel again on top. A game that is over
        // leaves its panel to the end of the game.
        if (menuBar && !gameOver) {
            ForgetPanel();
            DrawTable(ComputeScore());
        }
        // Every control queues the rectangle it drew: only those reach the window.
        if (artwork) artwork->PresentDirty();
        root->ClearDirty();
    }
    const bool barTookIt = menuBar && menuBar->TookLastEvent();
    if (CurrentEvent().type != kEventCommand) return barTookIt;
    if (OnCommand()) return true;
    GameServices& services = Services();
    switch (CurrentEvent().sourceId) {
    case kCommandHighScores:
        if (services.showHighScores) services.showHighScores(GetName());
        if (artwork) artwork->PresentDirty();
        return true;
    case kCommandGameSettings:
        if (services.gameSettingsDialog && services.gameSettingsDialog(*this) == 1) {
            ClearHotspots();
            Deal(true);
        } else if (artwork) {
            artwork->PresentDirty();
        }
        return true;
    case kCommandRulesSummary:
        if (services.rulesSummary) services.rulesSummary(*this);
        if (artwork) artwork->PresentDirty();
        return true;
    default:
        return barTookIt;
    }
}

bool Game::IsMenuOpen() { return ToolkitMenuOpen(); }

// The three speed items act as one choice: exactly one carries the check mark.
void Game::SetAnimationSpeed(uint32_t speed) {
    userPreferences.AnimationSpeed = speed;
    for (uint32_t item = 0; item < animationItems.size(); ++item) animationItems[item]->SetChecked(item == speed);
    SavePlayerPreferences();
}

void Game::SpareHook() {}

void Game::PlayMoves(MoveList& out) { out.clear(); }

bool Game::GestureFor(const PlayMove&, MoveGesture&) { return false; }

std::string Game::PositionBytes() { return {}; }

bool Game::RestoreRecord(std::span<const uint8_t>) { return false; }
uint64_t Game::PositionHash() const { return 0; }
bool Game::AdoptPositionBytes(std::span<const uint8_t>) { return false; }

bool Game::OnCommand() {
    GameServices& services = Services();
    // Flips a check item and returns its new state.
    auto toggle = [](MenuItem* item) {
        const bool on = !item->IsChecked();
        item->SetChecked(on);
        return on;
    };
    // Every command but a new hint ends the one shown.
    if (CurrentEvent().sourceId != kCommandHint) EndHint();
    switch (CurrentEvent().sourceId) {
    case kCommandHint:
        ShowHint();
        return true;
    case kCommandFinish:
        finishRunner.Start(*this);
        return true;
    case kCommandDemo:
        demo.Start(*this);
        return true;
    case kCommandWinnableOnly:
        winnableDealer.Toggle(*this);
        return true;
    case kCommandNewGame:
        ClearHotspots();
        Deal(true);
        return true;
    case kCommandReplayDeal:
        ClearHotspots();
        Deal(true, dealNumber);
        return true;
    case kCommandChooseDeal: {
        const std::optional<uint32_t> chosen = services.chooseDeal ? services.chooseDeal(dealNumber) : std::nullopt;
        if (chosen) {
            ClearHotspots();
            Deal(true, *chosen);
        } else if (artwork) {
            artwork->PresentDirty();
        }
        return true;
    }
    case kCommandRedo:
        RedoMove();
        return true;
    case kCommandStatistics:
        if (services.showStatistics) services.showStatistics(*this);
        if (artwork) artwork->PresentDirty();
        return true;
    case kCommandMainMenu:
        if (services.leaveGame) services.leaveGame();
        return true;
    case kCommandExit:
        if (services.exitProgram) services.exitProgram();
        return true;
    case kCommandUndo:
        UndoMove();
        return true;
    case kCommandPause:
        if (paused) ResumeClock();
        else PauseClock();
        BuildGameMenu();
        DrawTable(-1);
        return true;
    case kCommandEndGame:
        endedByUser = true;
        CheckGameOver();
        DrawTable(-1);
        return true;
    case kCommandCardBack:
        if (services.chooseCardBack) services.chooseCardBack(*this);
        return true;
    case kCommandCardFront:
        if (services.chooseCardFront) services.chooseCardFront(*this);
        return true;
    case kCommandBackground:
        if (services.chooseBackground) services.chooseBackground(*this);
        return true;
    case kCommandMusic:
        if (services.musicDialog) services.musicDialog();
        musicItem->SetChecked(userPreferences.MusicEnabled != 0);
        if (artwork) artwork->PresentDirty();
        return true;
    case kCommandSound:
        userPreferences.SoundEnabled = toggle(soundItem) ? 1 : 0;
        SavePlayerPreferences();
        return true;
    case kCommandAutoGameOver:
        userPreferences.AutoGameOver = toggle(autoGameOverItem) ? 1 : 0;
        SavePlayerPreferences();
        // Turned on with no move left, the game ends now, not at some later redraw.
        if (userPreferences.AutoGameOver && !gameOver) {
            CheckGameOver();
            DrawTable(-1);
        }
        return true;
    case kCommandShowVerdict:
        userPreferences.ShowVerdict = toggle(showVerdictItem) ? 1 : 0;
        UpdateStatusLine(false);
        return true;
    case kCommandShowTargets:
        userPreferences.ShowTargets = toggle(showTargetsItem) ? 1 : 0;
        SavePlayerPreferences();
        return true;
    case kCommandFullScreen:
        ToggleFullScreen();
        fullScreenItem->SetChecked(IsFullScreen());
        return true;
    case kCommandAnimationNormal:
        SetAnimationSpeed(kAnimationNormal);
        return true;
    case kCommandAnimationFast:
        SetAnimationSpeed(kAnimationFast);
        return true;
    case kCommandAnimationOff:
        SetAnimationSpeed(kAnimationOff);
        return true;
    case kCommandAbout:
        if (services.aboutDialog) services.aboutDialog();
        if (artwork) artwork->PresentDirty();
        return true;
    case kCommandRulesText:
        if (services.rulesText) services.rulesText(GetName());
        if (artwork) artwork->PresentDirty();
        return true;
    default:
        return false;
    }
}

// ---- Hotspots ----

void Game::ClearHotspots() {
    pickups.clear();
    dropTargets.clear();
}

void Game::AddPickup(int x, int y, const Card* cards, int count) {
    Hotspot spot;
    spot.x = x;
    spot.y = y;
    spot.count = std::clamp(count, 0, kMaxStackCards);
    for (int i = 0; i < spot.count; ++i) spot.cards[i] = cards[i];
    pickups.push_back(spot);
}

void Game::RemovePickup(const Hotspot* entry) {
    for (auto it = pickups.begin(); it != pickups.end(); ++it) {
        if (&*it == entry) {
            pickups.erase(it);
            return;
        }
    }
}

Hotspot* Game::FindPickupAt(int x, int y) {
    for (Hotspot& spot : pickups)
        if (x >= spot.x && x < spot.x + kPickupWidth && y >= spot.y && y < spot.y + kPickupHeight) return &spot;
    return nullptr;
}

void Game::AddDropTarget(int x, int y, const Rect& rect, int kind) { dropTargets.push_back({x, y, rect, kind}); }

void Game::RemoveDropTarget(int x, int y) {
    for (auto it = dropTargets.begin(); it != dropTargets.end(); ++it) {
        if (it->x == x && it->y == y) {
            dropTargets.erase(it);
            return;
        }
    }
}

DropTarget* Game::FindDropTargetAt(int x, int y) {
    for (DropTarget& target : dropTargets)
        if (target.rect.Contains(x, y)) return &target;
    return nullptr;
}

DropTarget* Game::FindLegalTarget(DragRecord& drag, int kind) {
    for (DropTarget& target : dropTargets)
        if ((kind == 0 || target.kind == kind) && CanDrop(drag, target)) return &target;
    return nullptr;
}

Rect Game::CardHitRect(int x, int y) const {
    const int width = artwork ? artwork->cardWidth : card_geometry::kCardWidth;
    const int height = artwork ? artwork->cardHeight : card_geometry::kCardHeight;
    return Rect::FromSize(x, y, width, height);
}

int Game::CountRank(const Card* cards, int rank, int n) {
    int found = 0;
    for (int i = 0; i < n; ++i)
        if (cards[i].Rank() == rank) ++found;
    return found;
}

const char* Game::RankName(int rank) { return Card::RankName(rank); }

// ---- Simple base operations ----

void Game::AfterMove() {}
bool Game::OnTableClick(int, int) { return false; }
void Game::GetFanOffset(int& dx, int& dy) {
    dx = fanDx;
    dy = fanDy;
}
void Game::GetPanelLayout(int& x, int& y, int rect[4]) {
    x = panelX;
    y = panelY;
    for (int i = 0; i < 4; ++i) rect[i] = panelRect[i];
}
void Game::Undo() {}
double Game::GetScoreFactor() { return 1.0; }
// Truncating division: 9 seconds cost nothing, 10 seconds one point.
int Game::GetTimeAdjustment(int elapsedSeconds) { return -(elapsedSeconds / 10); }
double Game::GetWinFactor() { return gameOver && IsWon() ? 1.5 : 1.0; }

void Game::PlaySound(const char* name) {
    if (Services().playSound) Services().playSound(name);
}

bool Game::AutoGameOverOn() { return userPreferences.AutoGameOver != 0; }

// ---- Clock and score ----

void Game::StartClock(int offsetSeconds) {
    startTime = WallClockSeconds() - offsetSeconds;
    endTime = startTime;
    clockRunning = true;
    clockFrozen = false;
}

void Game::PauseClock() {
    paused = true;
    pauseTime = WallClockSeconds();
}

void Game::ResumeClock() {
    startTime += WallClockSeconds() - pauseTime;
    endTime = startTime;
    paused = false;
}

int Game::ElapsedSeconds() const {
    return static_cast<int>((gameOver ? endTime : WallClockSeconds()) - startTime);
}

int Game::ComputeScore() {
    int score = points + GetTimeAdjustment(ElapsedSeconds());
    score = static_cast<int>(score * GetScoreFactor());
    return static_cast<int>(score * GetWinFactor());
}

// ---- Panel, status line and the end of a game ----

void Game::ForgetPanel() {
    lastPanelLabel.clear();
    lastPanelValue.clear();
}

void Game::DrawTableFrame(bool present) {
    // The status line, the menu bar, the panel and the table go to the display together.
    std::optional<Artwork::PresentHold> hold;
    if (artwork) hold.emplace(*artwork);
    keyboard->TableRedrawn();
    targetMarks.Forget();
    DrawStatus(false);
    DrawMenuBar();
    ForgetPanel();
    DrawTable(-1);
    if (present) artwork->Present();
}

void Game::DrawTable(int score) {
    keyboard->ClearOf({kStatusLeft, kStatusTop, kStatusRight, kStatusBottom}, false);
    if (score < 0) TickVerdict();
    UpdateStatusLine(false);
    if (score < 0) {
        TickHint();
        finishRunner.Tick(*this);
        demo.Tick(*this);
        winnableDealer.Tick(*this);
        score = FinishGame();
        KeepProgress();
    }
    const char* label;
    std::string value;
    if (!clockRunning) {
        label = Translate("status", "Game");
        value = Translate("status", "Starting");
    } else if (paused && !(gameOver && finalScore != kScoreNotComputed)) {
        label = Translate("status", "Game");
        value = Translate("status", "Paused");
    } else if (!gameOver) {
        label = Translate("status", "Score");
        value = GroupDigits(score);
    } else {
        label = Translate("status", "Final Score");
        value = GroupDigits(finalScore);
    }
    if (label == lastPanelLabel && value == lastPanelValue) return;
    lastPanelLabel = label;
    lastPanelValue = value;
    if (!artwork) return;
    const Rect panel{kPanelLeft, kPanelTop, kPanelLeft + kPanelWidth, kPanelTop + kPanelHeight};
    keyboard->ClearOf(panel, true);
    // A stack held over the panel comes off first and is put back over the new panel with what is
    // under it saved again: the drop then restores the new panel, not the old one.
    const bool held = dragging && dragSaveUnder.held;
    const Rect stack = !held ? Rect{0, 0, -1, -1}
                       : raised ? RaisedRect()
                                : Rect{dragSaveUnder.left, dragSaveUnder.top, dragSaveUnder.right, dragSaveUnder.bottom};
    const bool underStack = stack.Meets(panel);
    if (underStack) {
        if (raised) Restore(raisedUnder);
        else RestoreUnderDrag();
    }

    SelectScreenBuffer();
    const int face = artwork->PanelFace(kPanelWidth, kPanelHeight, kPanelEdge);
    if (face >= 0) {
        CopyBufferRect(0, kPanelWidth - 1, 0, kPanelHeight - 1, kPanelLeft, kPanelTop + kPanelHeight - 1, face,
                       artwork->screenBuffer);
    } else {
        SetColor(MapRgb(40, 40, 40));
        FillRect(kPanelLeft, kPanelLeft + kPanelWidth - 1, kPanelTop, kPanelTop + kPanelHeight - 1);
    }
    SetColor(artwork->TextColour());
    MoveTo(kPanelTextX, kPanelLabelY);
    DrawRegularText(label, 0, -1);
    MoveTo(kPanelTextX, kPanelValueY);
    DrawRegularText(value, 0, -1);
    artwork->AddDirty(panel);
    if (underStack) {
        if (raised) {
            Save(raisedUnder, stack.left, stack.top, stack.right, stack.bottom);
            DrawRaised();
        } else {
            SaveUnderDrag(dragX, dragY, dragSaveUnder.right, dragSaveUnder.bottom);
            DrawDragStack(dragX, dragY);
        }
        artwork->AddDirty(stack);
    }
    artwork->PresentDirty();
}

int Game::FinishGame() {
    if (paused) return gameOver && finalScore != kScoreNotComputed ? finalScore : ComputeScore();
    if (!gameOver) return ComputeScore();
    if (!clockFrozen) {
        endTime = WallClockSeconds();
        clockFrozen = true;
    }
    if (finalScore == kScoreNotComputed && !inEndSequence) {
        finalScore = ComputeScore();
        DrawTable(finalScore);
        RunEndSequence();
    }
    return gameOver ? finalScore : ComputeScore();
}

void Game::RunEndSequence() {
    GameServices& services = Services();
    inEndSequence = true;
    ++endSequences;
    const bool won = IsWon();
    ConcludeDeal(won);
    if (won) {
        if (services.setEndMusic) services.setEndMusic(true);
    } else {
        if (!demoEndWords.empty()) {
            if (services.showMessage) services.showMessage(demoEndWords.c_str());
            demoEndWords.clear();
        } else if (!endsWhenFull && !endedByUser && services.showMessage) {
            services.showMessage(Translate("There are no moves left."));
        }
        if (services.setEndMusic) services.setEndMusic(false);
    }
    if (services.showEndScreen) {
        services.showEndScreen(won);
        // The picture covered the table; draw it again under the high-score table.
        ForgetPanel();
        Draw(true);
    }
    int result = 0;
    if (!playedByDemo) {
        AddScore(GetName(), userPreferences.HumanName, finalScore);
        if (services.showEndHighScores) result = services.showEndHighScores(GetName(), finalScore);
    }
    if (artwork) artwork->PresentDirty();
    inEndSequence = false;
    if (result == HighScoresDialog::kPlayAgain) {
        ClearHotspots();
        Deal(true);
    }
}

void Game::SetStatusLeft(const char* text) {
    statusLeft.assign(text ? text : "");
    if (statusLeft.size() > kStatusMaxLength) statusLeft.resize(kStatusMaxLength);
    DrawStatus(true);
    if (artwork) artwork->PresentDirty();
}

void Game::SetStatusRight(const char* text) {
    statusRight.assign(text ? text : "");
    if (statusRight.size() > kStatusMaxLength) statusRight.resize(kStatusMaxLength);
    DrawStatus(true);
    if (artwork) artwork->PresentDirty();
}

void Game::DrawStatus(bool clearFirst) {
    if (!artwork) return;
    SelectScreenBuffer();
    SetColor(artwork->StatusTextColour());
    if (clearFirst) {
        artwork->RestoreBackground(kStatusLeft, kStatusRight, kStatusTop, kStatusBottom);
        artwork->AddDirty({kStatusLeft, kStatusTop, kStatusRight, kStatusBottom});
    }
    // The deal's fields first: each takes its piece of the strip afresh.
    UpdateStatusLine(true);
    SelectScreenBuffer();
    SetColor(artwork->StatusTextColour());
    if (!statusLeft.empty()) {
        MoveTo(kStatusLeftAnchorX, kStatusAnchorY);
        DrawRegularText(statusLeft, -1, 0);
    }
    if (!statusRight.empty()) {
        MoveTo(kStatusRightAnchorX, kStatusAnchorY);
        DrawRegularText(statusRight, 1, 0);
    }
}

std::string Game::StatusFieldText(int field) {
    switch (field) {
    case 0: return Translate("status", "Deal ") + std::to_string(dealNumber);
    case 1: return Translate("status", "Moves ") + std::to_string(MovesMade());
    case 4:
        // Only the answer for the position on the table: a move clears it at once.
        if (verdict == VerdictSearch::Verdict::kNone || !userPreferences.ShowVerdict || verdictPosition != PositionBytes())
            return {};
        return verdict == VerdictSearch::Verdict::kWinnable ? Translate("status", "Winnable")
                                                            : Translate("status", "Cannot be won");
    case 2:
        // Only a deck left over once the deal is done is a stock.
        if (!dealing) stockSeen = stockSeen || deck.Remaining() > 0;
        return stockSeen ? Translate("status", "Stock ") + std::to_string(deck.Remaining()) : std::string();
    default: {
        const int seconds = !clockRunning ? 0 : paused ? static_cast<int>(pauseTime - startTime) : ElapsedSeconds();
        return Translate("status", "Time ") + ClockText(seconds);
    }
    }
}

void Game::RepairStatusLine() {
    if (updatingStatus || !artwork->RestoredSincePresent({kStatusLeft, kStatusTop, kStatusRight, kStatusBottom})) return;
    // Under a dragged stack the strip waits for the drop: the stack, and the table kept under it,
    // stay as they are.
    if (slideRunning || (dragging && dragSaveUnder.bottom >= kStatusTop && dragSaveUnder.top <= kStatusBottom)) return;
    stripRestored = true;
    UpdateStatusLine(false);
    stripRestored = false;
}

void Game::UpdateStatusLine(bool redrawAll) {
    const bool outer = !updatingStatus;
    updatingStatus = true;
    UpdateStatusStrip(redrawAll);
    if (outer) updatingStatus = false;
}

void Game::UpdateStatusStrip(bool redrawAll) {
    // A dragged stack may lie over the strip; the fields wait until it is down.
    if (!statusLineOn || !artwork || (dragging && !redrawAll && !stripRestored)) return;
    // A hint's words take the whole strip; once they go, every field is drawn afresh.
    if (!hintWords.empty() || wordsOnStatusLine) {
        // Words that stay a while (the demo's) are drawn again when a column's redraw reached
        // down over them, as the fields are.
        if (!redrawAll && wordsOnStatusLine && hintWords == wordsShown) {
            if ((PresentCount() == statusCheckedAt && !stripRestored) || hintOutline.Visible()) return;
            statusCheckedAt = PresentCount();
            std::vector<uint8_t> now(wordsPixels.size());
            SelectScreenBuffer();
            GetBlock(now.data(), kStatusLeft, kStatusRight, kStatusTop, kStatusBottom);
            if (now == wordsPixels) return;
        }
        SelectScreenBuffer();
        artwork->RestoreBackground(kStatusLeft, kStatusRight, kStatusTop, kStatusBottom);
        artwork->AddDirty({kStatusLeft, kStatusTop, kStatusRight, kStatusBottom});
        wordsOnStatusLine = !hintWords.empty();
        if (wordsOnStatusLine) {
            SetColor(artwork->StatusTextColour());
            MoveTo(kStatusLeft + kStatusFieldInset, kStatusAnchorY);
            DrawRegularText(hintWords, -1, 0);
            wordsShown = hintWords;
            wordsPixels.resize(ImageSize(kStatusRight - kStatusLeft + 1, kStatusBottom - kStatusTop + 1));
            GetBlock(wordsPixels.data(), kStatusLeft, kStatusRight, kStatusTop, kStatusBottom);
            statusCheckedAt = PresentCount();
            for (std::string& shown : statusShown) shown.clear();
            if (!redrawAll) artwork->PresentDirty();
            return;
        }
        UpdateStatusLine(true);
        artwork->PresentDirty();
        return;
    }
    bool changed = false;
    // The pixels of an unchanged field are read back only when something has been shown since the
    // last check (at idle this keeps the 100 ms tick from reading the strip ten times a second),
    // or, just before a present (RepairStatusLine), when a restore of the background reached it.
    const bool shownSince = PresentCount() != statusCheckedAt;
    std::vector<uint8_t> now;
    for (int field = 0; field < static_cast<int>(statusShown.size()); ++field) {
        const int left = kStatusLeft + field * kStatusFieldWidth, right = left + kStatusFieldWidth - 1;
        const size_t size = ImageSize(right - left + 1, kStatusBottom - kStatusTop + 1);
        std::string text = StatusFieldText(field);
        SelectScreenBuffer();
        // A game's own redraw may have painted over a field: it is drawn again even when its
        // text stayed the same. An intact, unchanged field is left alone.
        if (!redrawAll && text == statusShown[field] && statusPixels[field].size() == size) {
            const bool check = stripRestored ? artwork->RestoredSincePresent({left, kStatusTop, right, kStatusBottom})
                                             : shownSince;
            if (!check) continue;
            now.resize(size);
            GetBlock(now.data(), left, right, kStatusTop, kStatusBottom);
            if (now == statusPixels[field]) continue;
        }
        statusShown[field] = std::move(text);
        artwork->RestoreBackground(left, right, kStatusTop, kStatusBottom);
        SetColor(artwork->StatusTextColour());
        MoveTo(left + kStatusFieldInset, kStatusAnchorY);
        DrawRegularText(statusShown[field], -1, 0);
        statusPixels[field].resize(size);
        GetBlock(statusPixels[field].data(), left, right, kStatusTop, kStatusBottom);
        artwork->AddDirty({left, kStatusTop, right, kStatusBottom});
        changed = true;
    }
    if (changed && !redrawAll) artwork->PresentDirty();
    if (!stripRestored) statusCheckedAt = PresentCount();
}

// ---- Undo records ----

UndoWriter Game::BeginUndoRecord() {
    UndoWriter writer;
    WriteBaseState(writer);
    return writer;
}

void Game::PushUndoRecord(const UndoWriter& writer) {
    if (captureRecord) {
        *captureRecord = writer.Bytes();
        return;
    }
    PushRecordBytes(writer.Bytes());
}

void Game::PushRecordBytes(const std::vector<uint8_t>& record) { PushRecordBytes(record, PositionHash()); }

void Game::PushRecordBytes(const std::vector<uint8_t>& record, uint64_t position) {
    // A new move ends the redo list; the list waits aside in case the move is a drag that is
    // cancelled (DropNewestUndoRecord).
    if (!redoing) {
        redoAside = std::move(redoList);
        redoList.clear();
    }
    undo.Push(record, {position, 0, joinNextRecord && gestureRecord == undo.Count(), WasteFanned()});
    joinNextRecord = false;
    gestureRecord = undo.Count();
    ++positionChanges;
}

std::vector<uint8_t> Game::RecordNow() {
    std::vector<uint8_t> record;
    captureRecord = &record;
    SaveUndo();
    captureRecord = nullptr;
    return record;
}

int Game::MovesMade() const {
    const int newest = undo.Count();
    const uint64_t now = PositionHash();
    int moves = 0;
    bool counted = false;  // the move the walk is in has been counted
    for (int n = dealStartRecords + 1; n <= newest; ++n) {
        // The record a lift saved stands for a move not made while the stack is still held.
        if (dragging && n == liftRecord) continue;
        const RecordNote& note = undo.Note(n);
        if (!note.sameMove || n == dealStartRecords + 1) counted = false;
        // What the record's position became: the next record's, or the table's now.
        const uint64_t next = note.next ? note.next : now;
        if (!counted && (note.position == 0 || note.position != next)) {
            ++moves;
            counted = true;
        }
    }
    return moves;
}

std::optional<std::vector<uint8_t>> Game::PopUndoRecord() {
    if (undo.Count() > 0) lastPoppedNote = undo.Note(undo.Count());
    lastPopped = undo.Pop();
    ++positionChanges;
    return lastPopped;
}

void Game::DropNewestUndoRecord() {
    undo.Drop();
    ++positionChanges;
    if (redoAside) redoList = std::move(*redoAside);
    redoAside.reset();
}

// ---- Deals, redo and keys ----

void Game::Deal(bool restart, std::optional<uint32_t> number) {
    // A winnable deal replaces the one on the table once found; a first deal is dealt meanwhile.
    if (number) winnableDealer.Cancel();
    else if (winnableDealer.Begin(*this, !restart) && restart) return;
    LeaveDeal(Leaving::kForAnotherDeal);
    dealCounted = dealConcluded = playedByDemo = false;
    demoEndWords.clear();
    dealNumber = number ? *number : FreshDealNumber();
    statusLineOn = true;
    stockSeen = false;
    redoList.clear();
    redoAside.reset();
    deck.TakeBackAll();
    deck.Seed(dealNumber);
    dealStartRecords = undo.Count();
    // Without animation nothing shows until the deal is done: the table then goes to the display
    // once, with its cards, rather than drawn empty first.
    std::optional<Artwork::PresentHold> hold;
    if (artwork && !SlidesShown()) hold.emplace(*artwork);
    dealing = true;
    NewGame(restart);
    dealing = false;
    if (artwork) artwork->PresentDirty();
    dealStartRecords = undo.Count();
    UpdateStatusLine(false);
}

uint32_t Game::FreshDealNumber() const {
    // The wall clock, the millisecond tick and the previous number, mixed: numbers drawn in the
    // same second still differ, and a test on the virtual clock always draws the same ones.
    uint64_t z = static_cast<uint64_t>(WallClockSeconds()) * 0x9E3779B97F4A7C15ull +
                 GetTickCount64() * 0xBF58476D1CE4E5B9ull + dealNumber;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<uint32_t>(z % 999999999u) + 1;
}

void Game::UndoMove() {
    if (paused || gameOver || dragging || undo.Count() == 0) return;
    // The position as it stands, as a record for Redo, kept in memory rather than the journal.
    std::vector<uint8_t> after;
    captureRecord = &after;
    SaveUndo();
    captureRecord = nullptr;
    lastPopped.reset();
    const int elapsed = ElapsedSeconds();
    const std::optional<int32_t> afterFanned = WasteFanned();
    fanToRestore = undo.Note(undo.Count()).wasteFanned;
    Undo();
    fanToRestore.reset();
    if (!after.empty() && lastPopped)
        redoList.push_back(
            {std::move(after), std::move(*lastPopped), lastPoppedNote, elapsed - ElapsedSeconds(), afterFanned});
    lastPopped.reset();
}

void Game::RedoMove() {
    if (paused || gameOver || dragging || redoList.empty()) return;
    RedoEntry entry = std::move(redoList.back());
    redoList.pop_back();
    const int elapsed = ElapsedSeconds();
    redoing = true;
    undo.Push(entry.record, entry.note);
    fanToRestore = entry.afterFanned;
    const bool restored = RestoreRecord(entry.after);
    fanToRestore.reset();
    redoing = false;
    if (!restored) {
        // A record that no longer fits (it never should): the move stays undone.
        undo.Drop();
        redoList.clear();
        return;
    }
    // The clock gets back what the undo took off it; the time played since then still counts.
    StartClock(elapsed + entry.secondsTakenBack);
    ++positionChanges;
    ForgetPanel();
    DrawTable(-1);
}

bool Game::HandleKey(uint32_t message, WPARAM key) {
    const bool down = message == WM_KEYDOWN;
    // Any key while the demo plays only stops it.
    if (down && demo.Running()) {
        demo.Stop();
        return true;
    }
    if (key == VK_CONTROL) controlHeld = down;
    if (key == VK_SHIFT) shiftHeld = down;
    if ((!controlHeld || !down) && keyboard->OnKey(message, key)) return true;
    // Commands wait while cards are held: they would act on a table with cards in the air.
    if (down && dragging && (controlHeld || key == VK_F1)) return true;
    if (down && !controlHeld && key == VK_F1) return RunCommand(kCommandRulesText);
    if (!down || !controlHeld) return false;
    // As their menu items: a command ends the hint shown before the table changes under it.
    if (key == 'N') return RunCommand(kCommandNewGame);
    if (key == 'Z') return RunCommand(shiftHeld ? kCommandRedo : kCommandUndo);
    if (key == 'Y') return RunCommand(kCommandRedo);
    return false;
}

bool Game::RunCommand(int commandId) {
    ToolkitEvent& event = CurrentEvent();
    event = ToolkitEvent{};
    event.type = kEventCommand;
    event.sourceId = commandId;
    return OnCommand();
}

void Game::WriteBaseState(UndoWriter& writer) {
    deck.AppendSavedForm(writer.Bytes());
    // Two card lists the record has room for and no game fills: written empty.
    writer.Int(0);
    writer.Int(0);
}

bool Game::ReadBaseState(UndoReader& reader) {
    auto block = reader.Take(Deck::kSavedSize);
    if (!block) return false;
    Deck staged = deck;  // a copy, so a refused record leaves the deck as it was
    if (!staged.ReadSavedForm(*block)) return false;
    reader.deck = staged;
    // The two unused card lists: read whole, then dropped.
    for (int list = 0; list < 2; ++list) {
        int32_t count = 0;
        if (!reader.IntIn(count, 0, kMaxBaseListCards)) return false;
        std::vector<Card> cards(static_cast<size_t>(count));
        if (!reader.Cards(cards.data(), count)) return false;
    }
    return true;
}

void Game::CommitBaseState(UndoReader& reader) {
    if (reader.deck) deck = *reader.deck;
}

void Game::FinishUndo(int32_t recordedPoints, int32_t elapsedSeconds, bool playSound) {
    points = recordedPoints - kUndoPenalty;
    StartClock(elapsedSeconds);
    CheckGameOver();
    Draw(true);
    if (playSound && !restoringDeal) PlaySound("undo.wav");
}

// ---- Drawing helpers of the drag ----

void Game::StackRect(int x, int y, int count, int& right, int& bottom) const {
    int dx = fanDx, dy = fanDy;
    const_cast<Game*>(this)->GetFanOffset(dx, dy);
    const int steps = std::max(count - 1, 0);
    right = x + steps * dx + artwork->cardWidth;
    bottom = y + steps * dy + artwork->cardHeight;
}

void Game::Save(SaveUnder& block, int left, int top, int right, int bottom) const {
    block.left = std::clamp(left, 0, kScreenRight);
    block.top = std::clamp(top, 0, kScreenBottom);
    block.right = std::clamp(right, 0, kScreenRight);
    block.bottom = std::clamp(bottom, 0, kScreenBottom);
    const size_t size = static_cast<size_t>(
        static_cast<double>(ImageSize(block.right - block.left + 1, block.bottom - block.top + 1)) * kSaveUnderSlack);
    block.pixels.resize(size);
    SelectScreenBuffer();
    GetBlock(block.pixels.data(), block.left, block.right, block.top, block.bottom);
    block.held = true;
}

void Game::Restore(const SaveUnder& block) const {
    if (!block.held) return;
    SelectScreenBuffer();
    PutBlock(block.pixels.data(), block.left, block.right, block.top, block.bottom);
}

void Game::DrawDragStack(int x, int y) const {
    if (artwork->HasDragImage()) {
        artwork->DrawDragImage(x, y);
        return;
    }
    int dx = 0, dy = 0;
    const_cast<Game*>(this)->GetFanOffset(dx, dy);
    artwork->DrawRun(x, y, dragRecord.cards.data(), artwork->screenBuffer, dragRecord.count, dx, dy);
}

// The dragged stack's save-under lives in the artwork's drag pictures when they could be made.
void Game::SaveUnderDrag(int x, int y, int right, int bottom) {
    if (!artwork->HasDragImage()) {
        Save(dragSaveUnder, x, y, right, bottom);
        return;
    }
    SetDragRect(x, y, right, bottom);
    artwork->SaveUnderDragImage(x, y);
}

void Game::SetDragRect(int x, int y, int right, int bottom) {
    dragSaveUnder.left = std::clamp(x, 0, kScreenRight);
    dragSaveUnder.top = std::clamp(y, 0, kScreenBottom);
    dragSaveUnder.right = std::clamp(right, 0, kScreenRight);
    dragSaveUnder.bottom = std::clamp(bottom, 0, kScreenBottom);
    dragSaveUnder.held = true;
}

void Game::RestoreUnderDrag() {
    if (!dragSaveUnder.held) return;
    if (artwork->HasDragImage())
        artwork->RestoreUnderDragImage(dragX, dragY);
    else
        Restore(dragSaveUnder);
}

void Game::MarkTargets() {
    if (!userPreferences.ShowTargets || !dragging) return;
    std::vector<Rect> legal;
    for (DropTarget& target : dropTargets) {
        const Rect card = artwork->CardRect(target.x, target.y);
        if (std::find(legal.begin(), legal.end(), card) == legal.end() && CanDrop(dragRecord, target)) legal.push_back(card);
    }
    const screen_layout::Rgb rgb = artwork->ThemeColours().tableMark;
    targetMarks.Show(legal, MapRgb(rgb.r, rgb.g, rgb.b));
}

Rect Game::RaisedRect() const {
    int right = 0, bottom = 0;
    StackRect(dragX, dragY, dragRecord.count, right, bottom);
    return {std::max(dragX - kShadowSoftness + kShadowRight, 0), std::max(dragY - kRaise, 0),
            std::min(right + kShadowRight + kShadowSoftness, kScreenRight), std::min(bottom + kShadowSoftness, kScreenBottom)};
}

void Game::DrawRaised() const {
    int right = 0, bottom = 0;
    StackRect(dragX, dragY, dragRecord.count, right, bottom);
    SelectScreenBuffer();
    for (int ring = kShadowSoftness; ring >= 0; --ring)
        ShadeRect(dragX + kShadowRight - ring, right + kShadowRight + ring, dragY - kRaise + kRaise / 2 - ring,
                  bottom + ring, kShadowKeepPercent);
    DrawDragStack(dragX, dragY - kRaise);
}

void Game::RaiseHeld() {
    if (!dragging || !dragSaveUnder.held || raised || !artwork) return;
    RestoreUnderDrag();
    const Rect area = RaisedRect();
    Save(raisedUnder, area.left, area.top, area.right, area.bottom);
    raised = true;
    DrawRaised();
    artwork->AddDirty(area);
    artwork->AddDirty({dragSaveUnder.left, dragSaveUnder.top, dragSaveUnder.right, dragSaveUnder.bottom});
    artwork->PresentDirty();
}

void Game::LowerHeld() {
    if (!raised) return;
    Restore(raisedUnder);
    artwork->AddDirty(RaisedRect());
    raised = false;
    SaveUnderDrag(dragX, dragY, dragSaveUnder.right, dragSaveUnder.bottom);
    DrawDragStack(dragX, dragY);
}

void Game::ConfineToStack(int grabOffsetX, int grabOffsetY) {
    const int width = dragSaveUnder.right - dragSaveUnder.left;
    const int height = dragSaveUnder.bottom - dragSaveUnder.top;
    Rect rect{grabOffsetX, grabOffsetY, kScreenRight - (width - grabOffsetX),
                    kScreenBottom - (height - grabOffsetY)};
    rect.right = std::max(rect.right, rect.left);
    rect.bottom = std::max(rect.bottom, rect.top);
    ClipCursor(&rect);
}

// ---- Mouse ----

void Game::HandleMouseMessage(uint32_t message, WPARAM keys, int x, int y) {
    // A click while the demo plays only stops it.
    if (demo.Running() && !demo.Stepping() && message != WM_MOUSEMOVE) {
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) demo.Stop();
        return;
    }
    keyboard->OnMouse(message, keys);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) EndHint();
    // The table waits for the winnable deal it is about to show.
    if (winnableDealer.Searching()) return;
    switch (message) {
    case WM_LBUTTONDOWN: OnLButtonDown(keys, x, y); break;
    case WM_LBUTTONUP: OnLButtonUp(keys, x, y); break;
    case WM_MOUSEMOVE: OnMouseMove(keys, x, y); break;
    case WM_LBUTTONDBLCLK: OnDoubleClick(keys, x, y); break;
    default: break;
    }
}

void Game::OnLButtonDown(WPARAM, int x, int y) {
    if (paused || gameOver || !artwork) return;
    GetFanOffset(fanDx, fanDy);
    dragging = false;
    Hotspot* spot = FindPickupAt(x, y);
    if (!spot) return;
    dragRecord = *spot;
    dragging = true;
    const int records = undo.Count();
    LiftCards(dragRecord);
    liftRecord = undo.Count() > records ? undo.Count() : 0;
    // Under the stack's save-under, so the stack moves over the marks.
    MarkTargets();
    grabX = x - dragRecord.x;
    grabY = y - dragRecord.y;
    dragX = dragStartX = dragRecord.x;
    dragY = dragStartY = dragRecord.y;
    int right = 0, bottom = 0;
    StackRect(dragX, dragY, dragRecord.count, right, bottom);
    // Drawn once here, the stack costs one block copy per step however many cards it holds.
    int dx = 0, dy = 0;
    GetFanOffset(dx, dy);
    artwork->BeginDragImage(dragRecord.cards.data(), dragRecord.count, dx, dy, right - dragX + 1, bottom - dragY + 1);
    SaveUnderDrag(dragX, dragY, right, bottom);
    DrawDragStack(dragX, dragY);
    artwork->AddDirty({dragX, dragY, right, bottom});
    artwork->PresentDirty();
    ConfineToStack(grabX, grabY);
}

void Game::OnMouseMove(WPARAM, int x, int y) {
    if (!dragging || !dragSaveUnder.held) return;
    LowerHeld();
    const int newX = x - grabX, newY = y - grabY;
    int right = 0, bottom = 0;
    StackRect(newX, newY, dragRecord.count, right, bottom);
    if (newX < 0 || newY < 0 || right > kScreenRight || bottom > kScreenBottom) return;
    const Rect old{dragSaveUnder.left, dragSaveUnder.top, dragSaveUnder.right, dragSaveUnder.bottom};
    if (artwork->HasDragImage()) {
        artwork->MoveDragImage(dragX, dragY, newX, newY);
        SetDragRect(newX, newY, right, bottom);
        dragX = newX;
        dragY = newY;
    } else {
        RestoreUnderDrag();
        SaveUnderDrag(newX, newY, right, bottom);
        dragX = newX;
        dragY = newY;
        DrawDragStack(dragX, dragY);
    }
    // A stack that jumped clear of its old place (a fast flick, or moves merged over a frame)
    // shows as its two places, not the box around both and the table between them.
    const Rect moved{newX, newY, right, bottom};
    if (old.Meets(moved)) {
        artwork->AddDirty(Union(old.left, old.top, old.right, old.bottom, newX, newY, right, bottom));
    } else {
        artwork->AddDirty(old);
        artwork->AddDirty(moved);
    }
    artwork->PresentDirty();
}

void Game::OnLButtonUp(WPARAM, int x, int y) {
    if (paused || gameOver || !dragging || !artwork) return;
    DropTarget* found = FindDropTargetAt(x, y);
    if (raised) {
        Restore(raisedUnder);
        artwork->AddDirty(RaisedRect());
        raised = false;
        raisedUnder = SaveUnder{};
    } else {
        RestoreUnderDrag();
    }
    artwork->EndDragImage();
    artwork->AddDirty({dragSaveUnder.left, dragSaveUnder.top, dragSaveUnder.right, dragSaveUnder.bottom});
    targetMarks.Hide();
    // The stack has left the pointer: a panel refresh during the drop (the end of the game can
    // come with it) must not draw it there again.
    dragSaveUnder.held = false;
    // The game may rebuild its target list while it moves the cards; work on a copy.
    if (found && CanDrop(dragRecord, *found)) {
        DropTarget target = *found;
        DropCards(dragRecord, target);
    } else {
        AnimateCards(dragX, dragY, dragRecord.x, dragRecord.y, dragRecord.count, dragRecord.cards.data());
        if (std::abs(dragX - dragRecord.x) >= kClickTolerance || std::abs(dragY - dragRecord.y) >= kClickTolerance)
            PlaySound("invalid.wav");
        ReturnCards();
    }
    dragging = false;
    ClipCursor(nullptr);
    dragSaveUnder = SaveUnder{};
    CheckGameOver();
    AfterMove();
}

void Game::OnDoubleClick(WPARAM, int x, int y) {
    if (paused || gameOver || !artwork) return;
    if (OnTableClick(x, y)) return;
    Hotspot* spot = FindPickupAt(x, y);
    if (!spot) return;
    DragRecord record = *spot;
    DropTarget* found = FindLegalTarget(record, kAutoMoveKind);
    if (!found) return;
    DropTarget target = *found;
    // One gesture, one undo record: most games save the position in LiftCards; the position
    // before the gesture is kept aside and pushed only for a game whose LiftCards does not.
    std::vector<uint8_t> before;
    captureRecord = &before;
    SaveUndo();
    captureRecord = nullptr;
    const uint64_t beforePosition = PositionHash();
    const int records = undo.Count();
    dragRecord = record;
    dragging = true;
    LiftCards(dragRecord);
    liftRecord = undo.Count() > records ? undo.Count() : 0;
    if (undo.Count() == records && !before.empty()) PushRecordBytes(before, beforePosition);
    AnimateCards(dragRecord.x, dragRecord.y, target.x, target.y, dragRecord.count, dragRecord.cards.data());
    DropCards(dragRecord, target);
    dragging = false;
    AfterMove();
    CheckGameOver();
}

// ---- Slides ----

bool Game::SlidesShown() { return Services().animate && SlideDurationMs(1, false) > 0; }

uint32_t Game::SlideDurationMs(int steps, bool fast) {
    uint32_t limit = 0;
    switch (userPreferences.AnimationSpeed) {
    case kAnimationNormal: limit = fast ? kNormalDealSlideMs : kNormalMoveSlideMs; break;
    case kAnimationFast: limit = fast ? kFastDealSlideMs : kFastMoveSlideMs; break;
    default: return 0;
    }
    return std::min(static_cast<uint32_t>(std::max(steps, 1)) * kSlideStepMs, limit);
}

Game::SlidePath Game::PlanSlide(int fromX, int fromY, int toX, int toY, bool fast) {
    SlidePath path;
    path.fromX = fromX, path.fromY = fromY, path.toX = toX, path.toY = toY;
    const int step = fast ? kFastStep : kSlowStep;
    const int dx = toX - fromX, dy = toY - fromY;
    const int adx = std::abs(dx), ady = std::abs(dy);
    path.signX = dx < 0 ? -1 : 1;
    path.signY = dy < 0 ? -1 : 1;
    int steps;
    if (dx == 0) {
        steps = ady / step;
        path.moveY = step;
    } else if (dy == 0) {
        steps = adx / step;
        path.moveX = step;
    } else if (adx >= ady) {
        steps = std::max(adx / step, 1);
        path.moveX = step;
        path.moveY = ady / steps;
    } else {
        steps = std::max(ady / step, 1);
        path.moveY = step;
        path.moveX = adx / steps;
    }
    path.steps = std::max(steps, 1);
    path.restX = std::max(adx - path.steps * path.moveX, 0);
    path.restY = std::max(ady - path.steps * path.moveY, 0);
    return path;
}

void Game::SlidePath::PositionAfter(int k, int& x, int& y) const {
    if (k >= steps) {
        x = toX, y = toY;
        return;
    }
    x = fromX + signX * (k * moveX + std::min(k, restX));
    y = fromY + signY * (k * moveY + std::min(k, restY));
}

void Game::Slide(int fromX, int fromY, int toX, int toY, int width, int height, bool keepDrawn, bool fast,
                 const std::function<void(int, int)>& draw) {
    if (!artwork) return;
    const SlidePath path = PlanSlide(fromX, fromY, toX, toY, fast);
    const int steps = path.steps;
    const uint32_t duration = Services().animate ? SlideDurationMs(steps, fast) : 0;
    if (duration == 0) {
        if (keepDrawn) {
            draw(toX, toY);
            artwork->AddDirty({toX, toY, toX + width, toY + height});
            // A deal without animation shows its cards at once, in one present when it ends:
            // a present per card costs the display a round trip each.
            if (!dealing) artwork->PresentDirty();
        }
        return;
    }

    // Slides are paced by time, not by frames: step k is due (k - 1) / steps of the way through
    // the slide. When drawing falls behind (a slow display), the steps already overdue are
    // skipped and the next frame shows the newest one, so a slide lasts the same on every
    // machine and never leaves its path.
    // Slides that follow one another closely keep to one schedule: each is due to end one
    // duration after the previous one was due to end, so the drawing between the cards of a deal
    // and any lateness are taken out of the next slide instead of adding up over the deal. A
    // slide is never cut below a quarter of its time, so every card is still seen moving.
    const uint64_t start = GetTickCount64();
    uint64_t end = start + duration;
    if (slideScheduleEnd != 0 && start < slideScheduleEnd + kSlideChainMs)
        end = std::max(slideScheduleEnd + duration, start + std::max<uint32_t>(duration / 4, 1));
    slideScheduleEnd = end;
    const uint64_t span = end - start;

    // What lies under the card now and under it a frame ago: the two swap each frame, so the
    // saved pixels are never copied.
    SaveUnder block, old;
    // The strip is not put back over a sliding card (RepairStatusLine); the next tick does it.
    struct Sliding {
        bool& flag;
        explicit Sliding(bool& flag) : flag(flag) { flag = true; }
        ~Sliding() { flag = false; }
    } sliding(slideRunning);
    // When the last step is due: it is shown then, however soon after the previous frame.
    const uint64_t lastDue = start + (static_cast<uint64_t>(steps - 1) * span + steps - 1) / steps;
    uint64_t nextFrame = start;
    // No more often than the display shows frames: a frame it never shows still costs a present.
    Backend* backend = CurrentBackend();
    const uint32_t frameMs = std::max(kSlideFrameMs, backend ? backend->MotionPaceMs() : 0);
    for (int shown = 0; shown < steps;) {
        const uint64_t moment = GetTickCount64();
        const uint64_t elapsed = moment - start;
        const int due = static_cast<int>(std::min<uint64_t>(steps, elapsed * steps / span + 1));
        if (due > shown && (moment >= nextFrame || due == steps)) {
            nextFrame = moment + frameMs;
            int newX = 0, newY = 0;
            path.PositionAfter(due, newX, newY);
            std::swap(old, block);
            Restore(old);
            Save(block, newX, newY, newX + width, newY + height);
            draw(newX, newY);
            // The two places, merged only when they meet: a card that moved far between two
            // frames would otherwise present the whole box around both.
            if (old.held) artwork->AddDirty({old.left, old.top, old.right, old.bottom});
            artwork->AddDirty({newX, newY, newX + width, newY + height});
            artwork->PresentDirty();
            shown = due;
        }
        if (shown == steps) break;
        const uint64_t stepDue = start + (static_cast<uint64_t>(shown) * span + steps - 1) / steps;
        const uint64_t next = std::max(stepDue, std::min(nextFrame, lastDue));
        const uint64_t now = GetTickCount64();
        if (next > now) SleepMs(static_cast<uint32_t>(next - now));
    }
    // The last step stays in view for its share of the slide, as every other step did.
    const uint64_t now = GetTickCount64();
    if (end > now) SleepMs(static_cast<uint32_t>(end - now));
    if (!keepDrawn) {
        Restore(block);
        artwork->AddDirty({block.left, block.top, block.right, block.bottom});
        artwork->PresentDirty();
    }
}

void Game::AnimateCards(int fromX, int fromY, int toX, int toY, int count, const Card* cards, CardSlide slide) {
    if (!artwork || count < 1) return;
    const int buffer = artwork->screenBuffer;
    int dx = 0, dy = 0;
    GetFanOffset(dx, dy);
    const int steps = count - 1;
    const int width = steps * dx + artwork->cardWidth, height = steps * dy + artwork->cardHeight;
    Slide(fromX, fromY, toX, toY, width, height, slide.keepDrawn, slide.fast,
          [&](int x, int y) { artwork->DrawRun(x, y, cards, buffer, count, dx, dy); });
}

void Game::AnimateCard(int fromX, int fromY, int toX, int toY, Card card, CardSlide slide) {
    if (!artwork) return;
    const int buffer = artwork->screenBuffer;
    Slide(fromX, fromY, toX, toY, artwork->cardWidth, artwork->cardHeight, slide.keepDrawn, slide.fast, [&](int x, int y) {
        if (slide.back > -1) artwork->DrawCardBack(x, y, slide.back, buffer);
        else artwork->DrawCard(x, y, card, buffer);
    });
}

void Game::ShowTablePointer(TablePointer pointer) {
    switch (pointer) {
    case TablePointer::kPlayCard: SetCursor(playCardCursor); break;
    case TablePointer::kNoCard: SetCursor(noCardCursor); break;
    case TablePointer::kArrow: SetCursor(0); break;
    }
}

void Game::PauseBriefly(uint32_t ms) { SleepMs(ms); }


void Game::ResetForNewDeal() {
    EndHint();
    // Moves are counted from here, however the deal was asked for.
    dealStartRecords = undo.Count();
    paused = gameOver = endedByUser = clockRunning = false;
    points = 0;
    finalScore = kScoreNotComputed;
}

void Game::BeginRuledDeal(bool restart, const char* rulesCaption) {
    ResetForNewDeal();
    if (!restart) {
        AddOptionsItem(Translate("&Game Settings..."), kCommandGameSettings);
        AddViewItem(Translate(rulesCaption), kCommandRulesSummary);
    }
    artwork->LoadTheme(Artwork::kPreferredTheme);
}

void Game::SetStandardPanel() {
    panelX = 150;
    panelY = 550;
    const int rect[4] = {50, 500, 350, 600};
    std::copy(rect, rect + 4, panelRect);
}

bool Game::OnStockTop(int x, int y, int stockX, int stockY) const {
    const CardPoint stock = artwork->StockTopPosition(stockX, stockY, deck);
    return x >= stock.x && x <= stock.x + artwork->cardWidth && y >= stock.y && y <= stock.y + artwork->cardHeight;
}

void Game::ReturnWasteToStock(Card* waste, int32_t& count) {
    for (int i = count - 1; i >= 0; --i) {
        deck.PutBack(waste[i]);
        waste[i] = Card();
    }
    count = 0;
}

// ---- Hints ----

void Game::ShowHint() {
    EndHint();
    if (paused || gameOver || dragging) return;
    MoveList moves;
    PlayMoves(moves);
    GameServices& services = Services();
    if (moves.empty()) {
        if (services.showMessage) services.showMessage(Translate("No moves left."));
        return;
    }
    hintPosition = PositionBytes();
    if (services.startHintSearch) hintSearch = services.startHintSearch(*this);
    if (!hintSearch) {
        RevealHint(moves.front());
        return;
    }
    TickHint();
}

void Game::TickHint() {
    // An answer waits for the table to be uncovered, and the outlines stay as they are.
    if (TableCovered()) return;
    if (hintSearch && hintSearch->Ready()) {
        PlayMove move;
        const HintSearch::Answer answer = hintSearch->Move(move);
        hintSearch.reset();
        // An answer for a position the player has left since is dropped.
        if (PositionBytes() == hintPosition && !paused && !gameOver && !dragging) {
            if (answer == HintSearch::Answer::kMove) RevealHint(move);
            else ShowHintWords(Translate(answer == HintSearch::Answer::kCannotWin ? kCannotWinWords
                                                                                  : kNothingFoundWords));
        }
    }
    const uint64_t now = GetTickCount64();
    hintOutline.Tick(now);
    if (!hintWords.empty() && !hintOutline.Visible() && !demo.Running() && now - hintWordsShownAt >= HintOutline::kShowMs)
        ShowHintWords({});
}

namespace {

// Whether one move of the model leads from `from` to `to`, both in PositionBytes' form. The two
// are compared by the model's code, which leaves out what has no bearing on the play to come.
bool OneMoveFrom(const PlayModelOps& ops, const std::string& from, const std::string& to) {
    if (from.size() != ops.positionSize || to.size() != ops.positionSize) return false;
    const size_t words = ops.positionSize / sizeof(uint64_t) + 1;
    std::vector<uint64_t> start(words), child(words);
    PositionCode wanted, code;
    std::memcpy(child.data(), to.data(), to.size());
    ops.encode(child.data(), wanted);
    std::memcpy(start.data(), from.data(), from.size());
    MoveList moves;
    ops.moves(start.data(), moves);
    for (const PlayMove& move : moves) {
        child = start;
        ops.apply(child.data(), move);
        code.bytes.clear();
        ops.encode(child.data(), code);
        if (code.bytes == wanted.bytes) return true;
    }
    return false;
}

}  // namespace

void Game::TickVerdict() {
    GameServices& services = Services();
    if (!userPreferences.ShowVerdict || !services.startVerdictSearch || !clockRunning || gameOver || dealing) {
        verdictSearch.reset();
        verdictPosition.clear();
        verdict = VerdictSearch::Verdict::kNone;
        return;
    }
    if (dragging) return;  // cards in the air are no position yet
    std::string position = PositionBytes();
    if (position != verdictPosition) {
        // A new position: the search for the old one gives up (its destructor stops it at once).
        // Every position one move reaches from a position that cannot be won cannot be won
        // either, so that verdict stays without a search (a hard one could run out of time and
        // leave the line blank).
        const PlayModelOps* ops = services.playModel ? services.playModel(gameNumber) : nullptr;
        const bool stillLost =
            verdict == VerdictSearch::Verdict::kCannotWin && ops && OneMoveFrom(*ops, verdictPosition, position);
        verdictSearch.reset();
        verdictPosition = std::move(position);
        if (!stillLost) {
            verdict = VerdictSearch::Verdict::kNone;
            verdictSearch = services.startVerdictSearch(*this);
        }
    }
    if (verdictSearch && verdictSearch->Ready()) {
        verdict = verdictSearch->Answer();
        verdictSearch.reset();
    }
}

void Game::RevealHint(const PlayMove& move) {
    MovePlaces places;
    if (!artwork || !PlacesOf(move, places)) return;
    points -= kUndoPenalty;
    DrawTable(ComputeScore());
    const screen_layout::Rgb rgb = artwork->ThemeColours().tableMark;
    keyboard->Hide(false);  // the outlines save what is under them: the table without the ring
    // The words first: an outline over the status line then saves them with the table.
    ShowHintWords(MoveInWords(move, places));
    hintOutline.Show(places.source, places.target, MapRgb(rgb.r, rgb.g, rgb.b), GetTickCount64());
}

void Game::EndHint() {
    // The demo's own clicks leave its words on the status line.
    if (demo.Stepping()) return;
    finishRunner.Stop();
    demo.Stop();
    hintSearch.reset();
    hintOutline.Hide();
    if (!hintWords.empty()) ShowHintWords({});
}

void Game::ShowHintWords(const std::string& words) {
    hintWords = words;
    hintWordsShownAt = GetTickCount64();
    UpdateStatusLine(false);
}

bool Game::PlacesOf(const PlayMove&, MovePlaces&) { return false; }
