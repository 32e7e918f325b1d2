#include "tests/monkey/monkey.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

#include "draw/draw.h"
#include "framework/game.h"
#include "framework/keyboard_play.h"
#include "games/game_registry.h"
#include "platform/backend.h"
#include "platform/messages.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "artwork/screen_layout.h"
#include "shell/shell.h"
#include "tests/games/card_census.h"
#include "tests/hid_keys.h"
#include "tests/test_support.h"
#include "tools/dev/png_writer.h"
#include "ui/controls.h"
#include "ui/toolkit.h"

namespace {

// The selection screen's two image buttons, and the end-of-game form's "Play Again".
constexpr int kPlayersX = 20 + 42, kPlayersY = 15 + 27;
constexpr int kExitX = 696 + 42, kExitY = 15 + 27;
constexpr int kPlayAgainX = 120 + 60, kPlayAgainY = 317 + 15;

struct MonkeyFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string Describe(const HostEvent& e) {
    std::ostringstream text;
    switch (e.kind) {
    case HostEvent::MouseMove: text << "move " << e.x << "," << e.y << (e.buttons ? " held" : ""); break;
    case HostEvent::MouseDown: text << "press " << e.x << "," << e.y << (e.clicks > 1 ? " (double)" : ""); break;
    case HostEvent::MouseUp: text << "release " << e.x << "," << e.y; break;
    case HostEvent::KeyDown: text << "key down " << e.hidScancode << (e.alt ? " +alt" : ""); break;
    case HostEvent::KeyUp: text << "key up " << e.hidScancode << (e.alt ? " +alt" : ""); break;
    case HostEvent::FocusGained: text << "focus gained"; break;
    case HostEvent::FocusLost: text << "focus lost"; break;
    default: text << "event " << e.kind; break;
    }
    return text.str();
}

HostEvent Mouse(HostEvent::Kind kind, int x, int y) {
    HostEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.button = kind == HostEvent::MouseMove ? 0 : 1;
    return event;
}

HostEvent Key(HostEvent::Kind kind, int hid) {
    HostEvent event;
    event.kind = kind;
    event.hidScancode = hid;
    return event;
}

}  // namespace

Monkey::Monkey(uint64_t seed, long messages) : seed(seed), budget(messages), random(seed) {}

uint64_t Monkey::SeedFromEnvironment(uint64_t fallback) {
    const char* text = std::getenv("QUILLFEN_MONKEY_SEED");
    uint64_t seed = text ? std::strtoull(text, nullptr, 10) : fallback;
    if (seed == 0) seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return seed;
}

long Monkey::MessagesFromEnvironment(long fallback) {
    const char* text = std::getenv("QUILLFEN_MONKEY_MESSAGES");
    return text ? std::max(1L, std::atol(text)) : fallback;
}

int Monkey::Uniform(int lowest, int highest) {
    return lowest + static_cast<int>(random() % static_cast<uint64_t>(highest - lowest + 1));
}

bool Monkey::Chance(int percent) { return Uniform(0, 99) < percent; }

std::string Monkey::Report(const std::string& what) const {
    std::ostringstream text;
    text << "monkey failure at message " << stats.messages << " (QUILLFEN_MONKEY_SEED=" << seed
         << " QUILLFEN_MONKEY_MESSAGES=" << budget << "): " << what << "\nlast messages:\n";
    for (const std::string& line : log) text << "  " << line << "\n";
    return text.str();
}

void Monkey::Fail(const std::string& what) { throw MonkeyFailure(Report(what)); }

std::string Monkey::Run() {
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
    // A fresh settings file: the first start asks for the player.
    SetRegistryFile((folder / "settings.reg").string());

    // A loop that never waits stops the virtual clock as well, so real time watches it too.
    std::atomic<long> progress{0};
    std::atomic<bool> done{false};
    std::mutex logLock;
    progressCounter = &progress;
    logMutex = &logLock;
    std::thread watchdog([&] {
        long seen = -1;
        auto since = std::chrono::steady_clock::now();
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const long now = progress.load();
            if (now != seen) {
                seen = now;
                since = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(kRealWatchdogSeconds)) {
                std::lock_guard<std::mutex> hold(logLock);
                std::fprintf(stderr, "%s", Report("no message for two minutes of real time: a loop that never waits")
                                               .c_str());
                std::abort();
            }
        }
    });

    std::string failure;
    try {
        while (stats.messages < budget && failure.empty()) RunSession();
    } catch (const MonkeyFailure& error) {
        failure = error.what();
    } catch (const ScriptedBackend::Hang& hang) {
        failure = Report(std::string("hang: ") + hang.what());
    } catch (const std::exception& error) {
        failure = Report(std::string("exception: ") + error.what());
    }
    done = true;
    watchdog.join();
    progressCounter = nullptr;
    logMutex = nullptr;
    SetRegistryFile((folder / "unused.reg").string());
    return failure;
}

void Monkey::RunSession() {
    ScriptedBackend session;
    backend = &session;
    SetBackend(&session);
    ++stats.sessions;
    pending.clear();
    buttons = 0;
    altHeld = shiftHeld = controlHeld = false;
    // The window's size decides the device scale, as in the real program; full screen is 1080p.
    session.SetScaleFollowsWindow(true);
    session.SetFullScreenSize(1920, 1080);
    gameWasRunning = false;
    lastGame = nullptr;
    windingDown = false;
    windDownPresses = 0;

    // Focus, a click that ends the logo, then a name and Enter for the player dialog (when the
    // settings file has no player yet; otherwise they land harmlessly on the selection screen).
    HostEvent focus;
    focus.kind = HostEvent::FocusGained;
    pending.push_back([focus] { return focus; });
    PlanClick(400, 100);
    for (int hid : {kHidA + 12, kHidA + 14, kHidA + 13, kHidA + 10, kHidA + 4, kHidA + 24}) PlanPress(hid);
    PlanPress(kHidEnter);
    session.At(10, [this] { Step(); });

    const uint64_t startedAt = stats.virtualMs;
    try {
        RunApplication();
    } catch (...) {
        // A failed check leaves the program part-way through: shut it down the way its window's
        // destruction does, so nothing of this run is freed twice later (by the next seed's
        // start or at exit).
        if (HWND window = MainWindowHandle(); window && IsWindow(window)) DestroyWindow(window);
        SetBackend(nullptr);
        backend = nullptr;
        throw;
    }
    stats.virtualMs = startedAt + session.NowMs();
    SetBackend(nullptr);
    backend = nullptr;
    CheckNoUndoFiles("after the program ended");
    CheckSettingsFile();
}

std::string Monkey::Summary() const {
    const MonkeyStatistics& s = stats;
    char line[512];
    std::snprintf(line, sizeof line,
                  "seed %llu: %ld messages, %d sessions, %d games entered, %d menu commands, %d undo storms, "
                  "%d drags, %d model moves, %d moves, %d card checks, %d screen checks, %d present checks, "
                  "%.0f s of virtual time",
                  static_cast<unsigned long long>(seed), s.messages, s.sessions, s.gamesEntered, s.menuCommands,
                  s.undoStorms, s.drags, s.modelMoves, s.moves, s.cardChecks, s.screenChecks, s.presentChecks,
                  s.virtualMs / 1000.0);
    return line;
}

void Monkey::Step() {
    if (progressCounter) ++*progressCounter;
    // A long soak says how far it has come, so a run cut short still reports what it checked.
    if (budget >= kProgressEvery && stats.messages > 0 && stats.messages % kProgressEvery == 0 && reportedAt != stats.messages) {
        reportedAt = stats.messages;
        std::fprintf(stderr, "so far, %s\n", Summary().c_str());
    }
    Check();
    // The virtual watchdog: the next step is never more than a few seconds away, so a program
    // that keeps the clock running this long without letting a step in is stuck.
    backend->SetClockLimit(backend->NowMs() + kVirtualWatchdogMs);

    if (pending.empty()) {
        if (stats.messages >= budget) windingDown = true;
        if (windingDown) {
            // Escape closes dialogs, leaves the game and finally ends the program; once that has
            // had its chance the script ends, and the back end asks the window to close.
            if (++windDownPresses > 60) return;
            PlanPress(kHidEscape);
        } else {
            Plan();
        }
    }
    while (!pending.empty()) {
        std::optional<HostEvent> event = pending.front()();
        pending.pop_front();
        if (!event) continue;
        Send(*event);
        break;
    }
    // Mostly quick input, now and then a pause long enough for the timers and the end of a game.
    const uint64_t delay = Chance(4) ? Uniform(500, 4000) : Uniform(1, 150);
    backend->At(backend->NowMs() + delay, [this] { Step(); });
}

void Monkey::Send(HostEvent event) {
    if (event.kind == HostEvent::KeyDown || event.kind == HostEvent::KeyUp) {
        if (event.hidScancode == kHidLeftAlt) altHeld = event.kind == HostEvent::KeyDown;
        if (event.hidScancode == kHidLeftShift) shiftHeld = event.kind == HostEvent::KeyDown;
        if (event.hidScancode == kHidLeftControl) controlHeld = event.kind == HostEvent::KeyDown;
    }
    if (event.kind == HostEvent::MouseDown) buttons |= 1;
    if (event.kind == HostEvent::MouseUp) buttons &= ~1u;
    event.buttons = buttons;
    event.alt = altHeld;
    event.shift = shiftHeld;
    event.control = controlHeld;
    ++stats.messages;
    {
        std::ostringstream line;
        line << "#" << stats.messages << " t=" << backend->NowMs() << " " << Describe(event);
        std::unique_lock<std::mutex> hold;
        if (logMutex) hold = std::unique_lock<std::mutex>(*logMutex);
        log.push_back(line.str());
        if (log.size() > kLogLength) log.pop_front();
    }
    std::vector<Message> messages;
    TranslateHostEvent(event, MainWindowHandle(), &messages);
    for (const Message& m : messages) PostMessage(m.hwnd, m.message, m.wParam, m.lParam);
}

// ---- Checks ----

void Monkey::Check() {
    Game* game = CurrentGame();
    if (game) CheckCards(*game);
    if (game) CheckScreen(*game);
    if (gameWasRunning && !game) CheckNoUndoFiles("after leaving a game");
    if (game && game != lastGame) ++stats.gamesEntered;
    // A move writes an undo record first, so a growing journal counts the moves made.
    if (game && game == lastGame && game->undo.Count() > lastUndoCount) ++stats.moves;
    lastUndoCount = game ? game->undo.Count() : 0;
    gameWasRunning = game != nullptr;
    lastGame = game;
}

void Monkey::CheckCards(Game& game) {
    ++stats.cardChecks;
    const std::string problem = CensusProblem(game);
    if (!problem.empty()) Fail(std::string(game.GetName()) + ": " + problem);
}

// At the table with nothing open, moving or outlined by a hint, the screen must be what a full
// redraw makes it: an incremental redraw that missed a pixel leaves garbage only a full redraw
// would remove.
void Monkey::CheckScreen(Game& game) {
    // Replaying a long failure: the costly checks may start just before it.
    static const long checkFrom = std::getenv("QUILLFEN_MONKEY_CHECK_FROM") ? std::atol(std::getenv("QUILLFEN_MONKEY_CHECK_FROM")) : 0;
    if (stats.messages < checkFrom) return;
    if (game.dragging || game.gameOver || game.IsPaused() || game.IsMenuOpen() || ToolkitMenuOpen() ||
        game.Hint().Visible() || game.BackgroundWork() ||
        ModalLoopDepth() > 0 || !IsWindow(MainWindowHandle()))
        return;
    const int screen = ScreenBuffer();
    const Pixel* pixels = BufferPixels(screen);
    if (!pixels) return;
    CheckPresented(game, pixels, BufferWidth(screen), BufferHeight(screen));
    // A long soak may redraw fully at every n-th chance only (QUILLFEN_MONKEY_SCREEN_EVERY): garbage
    // stays on the table until something covers it, so it is still met, a few messages later.
    static const long screenEvery =
        std::max(1L, std::getenv("QUILLFEN_MONKEY_SCREEN_EVERY") ? std::atol(std::getenv("QUILLFEN_MONKEY_SCREEN_EVERY")) : 1L);
    if (++screenChances % screenEvery != 0) return;
    game.Keyboard().Hide(false);  // the focus ring stands over the table, as a hint does
    game.DrawTable(-1);
    if (game.gameOver) return;  // the panel's refresh ran the end of the game
    const size_t size = static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen);
    shown.assign(pixels, pixels + size);  // kept between checks: a fresh picture each time costs its pages
    game.Draw(true);
    game.DrawTable(-1);
    ++stats.screenChecks;
    const std::string difference =
        test_support::PictureDifference(shown.data(), pixels, BufferWidth(screen), BufferHeight(screen));
    if (!difference.empty()) {
        // QUILLFEN_COHERENCE_PNG=folder keeps the screen as shown and as fully redrawn.
        if (const char* pictures = std::getenv("QUILLFEN_COHERENCE_PNG")) {
            WritePng(std::string(pictures) + "/shown.png", shown.data(), BufferWidth(screen), BufferHeight(screen), BufferWidth(screen));
            WritePng(std::string(pictures) + "/redrawn.png", pixels, BufferWidth(screen), BufferHeight(screen), BufferWidth(screen));
        }
        Fail(std::string(game.GetName()) + ": " + difference + " after a full redraw");
    }
}

// The last step of drawing: what reached the window must be the screen buffer, or a changed
// rectangle was never presented. The window holds the table one to one at its own scale.
void Monkey::CheckPresented(Game& game, const Pixel* screen, int width, int height) {
    WindowPicture shape;
    DescribeWindow(backend->View(), &shape);
    if (!backend->WindowExists() || shape.tableWidth != width || shape.tableHeight != height) return;
    if (plantedFault && stats.messages >= plantAt) std::exchange(plantedFault, nullptr)(game);
    ++stats.presentChecks;
    const std::string difference = test_support::WindowDifference(backend->WindowPixels().data(), shape.width,
                                                                   shape.tableLeft, shape.tableTop, screen, width, height);
    if (!difference.empty()) Fail(std::string(game.GetName()) + ": " + difference + " never reached the window");
}

void Monkey::CheckNoUndoFiles(const char* when) {
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("UNDO", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".DAT")
            Fail(std::string("undo file ") + name + " left " + when);
    }
}

void Monkey::CheckSettingsFile() {
    if (!std::filesystem::exists(folder / "settings.reg")) return;  // a session that saved nothing
    const std::vector<uint8_t> bytes = test_support::ReadBytes(folder / "settings.reg");
    RegistryTree tree;
    if (!ParseRegistryText(std::string(bytes.begin(), bytes.end()), &tree)) Fail("the settings file no longer parses");
}

// ---- Plans: each adds the messages of one plausible action ----

void Monkey::PlanPress(int hid) {
    pending.push_back([hid] { return Key(HostEvent::KeyDown, hid); });
    pending.push_back([hid] { return Key(HostEvent::KeyUp, hid); });
}

void Monkey::PlanClick(int x, int y) {
    pending.push_back([x, y] { return Mouse(HostEvent::MouseMove, x, y); });
    pending.push_back([x, y] { return Mouse(HostEvent::MouseDown, x, y); });
    pending.push_back([x, y] { return Mouse(HostEvent::MouseUp, x, y); });
}

void Monkey::PlanDoubleClick(int x, int y) {
    PlanClick(x, y);
    pending.push_back([x, y] {
        HostEvent event = Mouse(HostEvent::MouseDown, x, y);
        event.clicks = 2;
        return event;
    });
    pending.push_back([x, y] { return Mouse(HostEvent::MouseUp, x, y); });
}

void Monkey::PlanKey(bool inGame) {
    const int roll = Uniform(0, 99);
    int hid;
    if (roll < (inGame ? 12 : 3)) hid = kHidEscape;
    else if (roll < 25) hid = kHidEnter;
    else if (roll < 35) hid = kHidTab;
    else if (roll < 40) hid = kHidSpace;
    else if (roll < 45) hid = kHidBackspace;
    else if (roll < 60) hid = Uniform(kHidRight, kHidUp);
    else if (roll < 65) hid = Uniform(kHidHome, kHidHome + 4);
    else if (roll < 70) hid = Uniform(kHidF1, kHidF12 - (inGame ? 0 : 1));  // F12 ends the program
    else hid = Uniform(kHidA, kHidZ);
    if (Chance(10)) {
        pending.push_back([] { return Key(HostEvent::KeyDown, kHidLeftShift); });
        PlanPress(hid);
        pending.push_back([] { return Key(HostEvent::KeyUp, kHidLeftShift); });
        return;
    }
    PlanPress(hid);
}

// Ctrl with a key (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z, Ctrl+N ...), as the menus' shortcuts.
void Monkey::PlanControlKey(int hid, bool shift) {
    pending.push_back([] { return Key(HostEvent::KeyDown, kHidLeftControl); });
    if (shift) pending.push_back([] { return Key(HostEvent::KeyDown, kHidLeftShift); });
    PlanPress(hid);
    if (shift) pending.push_back([] { return Key(HostEvent::KeyUp, kHidLeftShift); });
    pending.push_back([] { return Key(HostEvent::KeyUp, kHidLeftControl); });
}

// The host changes the window: a new size (the device scale follows it) or full screen on or
// off. The script's mouse works in table coordinates, so it aims the same wherever the table is.
void Monkey::PlanWindowChange() {
    ++stats.windowChanges;
    static constexpr std::pair<int, int> kSizes[] = {{800, 600},   {1024, 768},  {1280, 1024},
                                                     {1600, 1200}, {1920, 1080}, {2400, 1800}};
    if (Chance(30)) {
        backend->ToggleFullScreen();
    } else {
        const auto [width, height] = kSizes[Uniform(0, static_cast<int>(std::size(kSizes)) - 1)];
        backend->SetWindowSize(width, height);
    }
}

void Monkey::PlanAltHotKey() {
    // The menu titles' letters (Game, Options, View, Help) and dialog buttons' letters mostly.
    static constexpr const char kLetters[] = "govhpcnyeaurmsbx";
    const char letter = Chance(80) ? kLetters[Uniform(0, sizeof kLetters - 2)] : static_cast<char>('a' + Uniform(0, 25));
    const int hid = kHidA + (letter - 'a');
    pending.push_back([] { return Key(HostEvent::KeyDown, kHidLeftAlt); });
    PlanPress(hid);
    pending.push_back([] { return Key(HostEvent::KeyUp, kHidLeftAlt); });
    // Often an item's letter follows, as a person picking from the opened menu would type.
    if (Chance(60)) PlanPress(kHidA + (kLetters[Uniform(0, sizeof kLetters - 2)] - 'a'));
}

// Mostly a point on a card the player could pick up, else anywhere.
std::pair<int, int> Monkey::PickupPoint(Game& game, int percent) {
    int x = Uniform(0, 799), y = Uniform(0, 599);
    if (!game.pickups.empty() && Chance(percent)) {
        auto spot = game.pickups.begin();
        std::advance(spot, Uniform(0, static_cast<int>(game.pickups.size()) - 1));
        x = spot->x + Uniform(5, 45);
        y = spot->y + Uniform(3, 20);
    }
    return {x, y};
}

// A press at (x, y), a few moves towards (toX, toY) and the release there.
void Monkey::PlanDragPath(int x, int y, int toX, int toY) {
    pending.push_back([x, y] { return Mouse(HostEvent::MouseMove, x, y); });
    pending.push_back([x, y] { return Mouse(HostEvent::MouseDown, x, y); });
    const int steps = Uniform(1, 4);
    for (int step = 1; step <= steps; ++step) {
        const int px = x + (toX - x) * step / steps, py = y + (toY - y) * step / steps;
        pending.push_back([px, py] { return Mouse(HostEvent::MouseMove, px, py); });
    }
    pending.push_back([toX, toY] { return Mouse(HostEvent::MouseUp, toX, toY); });
}

void Monkey::PlanDrag(Game& game) {
    const auto [x, y] = PickupPoint(game, 85);
    ++stats.drags;
    // Where to: anywhere.
    const int toX = Uniform(0, 799), toY = Uniform(0, 599);
    PlanDragPath(x, y, toX, toY);
}

// A move the game's model offers now, made with the mouse where the table makes it (a drag in a
// few steps, a click, a double click or two clicks).
void Monkey::PlanModelMove(Game& game) {
    MoveList moves;
    game.PlayMoves(moves);
    MoveGesture gesture;
    if (moves.empty() || !game.GestureFor(moves[static_cast<size_t>(Uniform(0, static_cast<int>(moves.size()) - 1))],
                                          gesture)) {
        PlanDrag(game);
        return;
    }
    ++stats.modelMoves;
    switch (gesture.kind) {
    case MoveGesture::kClick:
        PlanClick(gesture.fromX, gesture.fromY);
        break;
    case MoveGesture::kDoubleClick:
        PlanDoubleClick(gesture.fromX, gesture.fromY);
        break;
    case MoveGesture::kTwoClicks:
        PlanClick(gesture.fromX, gesture.fromY);
        PlanClick(gesture.toX, gesture.toY);
        break;
    case MoveGesture::kDrag:
        PlanDragPath(gesture.fromX, gesture.fromY, gesture.toX, gesture.toY);
        break;
    }
}

void Monkey::PlanMenuCommand(int commandId) {
    ++stats.menuCommands;
    // Click the title of the menu holding the command, then the item once its panel is open.
    auto findItem = [commandId](Menu** menuOut) -> MenuItem* {
        Game* game = CurrentGame();
        if (!game) return nullptr;
        for (Menu* menu : {game->GameCommandsMenu(), game->OptionsMenu(), game->ViewMenu(), game->HelpMenu()}) {
            for (int i = 0; menu && i < menu->ItemCount(); ++i) {
                if (menu->Item(i)->CommandId() != commandId) continue;
                *menuOut = menu;
                return menu->Item(i);
            }
        }
        return nullptr;
    };
    for (const bool onItem : {false, true}) {
        for (const HostEvent::Kind kind : {HostEvent::MouseMove, HostEvent::MouseDown, HostEvent::MouseUp}) {
            pending.push_back([findItem, kind, onItem]() -> std::optional<HostEvent> {
                Menu* menu = nullptr;
                MenuItem* found = findItem(&menu);
                if (!found) return std::nullopt;
                const Window* target = onItem ? static_cast<const Window*>(found) : menu;
                return Mouse(kind, target->GetX() + target->GetWidth() / 2, target->GetY() + target->GetHeight() / 2);
            });
        }
    }
}

void Monkey::PlanRandomMenuCommand(Game& game) {
    std::vector<int> commands;
    for (Menu* menu : {game.GameCommandsMenu(), game.OptionsMenu(), game.ViewMenu(), game.HelpMenu()})
        for (int i = 0; menu && i < menu->ItemCount(); ++i) commands.push_back(menu->Item(i)->CommandId());
    if (commands.empty()) return;
    int command = commands[Uniform(0, static_cast<int>(commands.size()) - 1)];
    // Exit ends the session; keep it rare so sessions last.
    if (command == kCommandExit && !Chance(10)) command = kCommandUndo;
    PlanMenuCommand(command);
    // A dialog gets a few clicks and keys, and is then mostly cancelled or confirmed, as a person
    // would; the rest of the time it stays open for the random input that follows.
    static constexpr int kDialogCommands[] = {kCommandCardBack,     kCommandCardFront,    kCommandBackground,
                                              kCommandMusic,        kCommandGameSettings, kCommandRulesSummary,
                                              kCommandHighScores,   kCommandAbout,        kCommandRulesText,
                                              kCommandChooseDeal};
    if (std::find(std::begin(kDialogCommands), std::end(kDialogCommands), command) == std::end(kDialogCommands) ||
        !Chance(80))
        return;
    for (int i = Uniform(0, 4); i > 0; --i) {
        if (Chance(60)) PlanClick(Uniform(0, 799), Uniform(0, 599));
        else PlanKey(false);
    }
    PlanPress(Chance(70) ? kHidEscape : kHidEnter);
}

void Monkey::PlanInGame(Game& game) {
    // Most of the time the player plays: a move the model offers, made with the mouse. The rest
    // is everything else a person does at the table.
    if (ModalLoopDepth() == 0 && !ToolkitMenuOpen() && !game.gameOver && !game.IsPaused() && Chance(75)) {
        PlanModelMove(game);
        return;
    }
    // A person closes a dialog, resumes a paused game and deals again after the end more often
    // than not.
    if (ModalLoopDepth() > 0 && Chance(50)) {
        PlanPress(Chance(80) ? kHidEscape : kHidEnter);
        return;
    }
    if (ModalLoopDepth() == 0 && (game.IsPaused() || game.gameOver) && Chance(50)) {
        PlanMenuCommand(game.IsPaused() ? kCommandPause : kCommandNewGame);
        return;
    }
    const int roll = Uniform(0, 99);
    if (roll < 20) {
        PlanModelMove(game);
    } else if (roll < 28) {
        PlanDrag(game);
    } else if (roll < 36) {
        PlanClick(Uniform(0, 799), Uniform(0, 599));
    } else if (roll < 43) {
        const auto [x, y] = PickupPoint(game, 75);
        PlanDoubleClick(x, y);
    } else if (roll < 46) {
        pending.push_back([this] { return Mouse(HostEvent::MouseMove, Uniform(0, 799), Uniform(0, 599)); });
    } else if (roll < 62) {
        PlanRandomMenuCommand(game);
    } else if (roll < 65) {
        // An undo storm.
        ++stats.undoStorms;
        for (int i = Uniform(3, 12); i > 0; --i) {
            if (Chance(50)) PlanMenuCommand(kCommandUndo);
            else PlanControlKey(kHidZ, false);
        }
    } else if (roll < 68) {
        PlanMenuCommand(Chance(50) ? kCommandPause : kCommandEndGame);
        if (Chance(50)) PlanMenuCommand(kCommandPause);
    } else if (roll < 70) {
        PlanClick(kPlayAgainX, kPlayAgainY);
    } else if (roll < 73) {
        // Back to the selection screen, to come back in another game.
        if (Chance(50)) PlanPress(kHidEscape);
        else PlanMenuCommand(kCommandMainMenu);
    } else if (roll < 80) {
        PlanKey(true);
    } else if (roll < 83) {
        // Undo, redo and the hint, by their keys.
        const int kind = Uniform(0, 3);
        if (kind == 0) PlanControlKey(kHidZ, false);
        else if (kind == 1) PlanControlKey(kHidY, false);
        else if (kind == 2) PlanControlKey(kHidZ, true);
        else ++stats.hints, PlanPress(kHidH);
    } else if (roll < 84) {
        PlanWindowChange();
    } else if (roll < 86) {
        PlanModelMove(game);
    } else if (roll < 92) {
        PlanAltHotKey();
    } else if (roll < 94) {
        HostEvent lost, gained;
        lost.kind = HostEvent::FocusLost;
        gained.kind = HostEvent::FocusGained;
        pending.push_back([lost] { return lost; });
        if (Chance(50)) PlanClick(Uniform(0, 799), Uniform(0, 599));
        pending.push_back([gained] { return gained; });
    } else {
        PlanClick(Uniform(0, 799), Uniform(0, 40));  // the menu bar
    }
}

void Monkey::PlanOnSelectionScreen() {
    const int roll = Uniform(0, 99);
    if (roll < 45) {
        // A game name, mostly one that is registered.
        const auto games = RegisteredGames();
        int number = Uniform(1, screen_layout::kGameCount);
        if (!games.empty() && Chance(90)) number = games[Uniform(0, static_cast<int>(games.size()) - 1)].number;
        const Rect& item = screen_layout::kGameMenuItems[number - 1];
        PlanClick(item.left + Uniform(0, item.Width() - 1), item.top + Uniform(0, item.Height() - 1));
    } else if (roll < 60) {
        PlanClick(Uniform(0, 799), Uniform(0, 599));
    } else if (roll < 65) {
        pending.push_back([this] { return Mouse(HostEvent::MouseMove, Uniform(0, 799), Uniform(0, 599)); });
    } else if (roll < 72) {
        PlanClick(kPlayersX, kPlayersY);
    } else if (roll < 73) {
        PlanClick(kExitX, kExitY);
    } else if (roll < 90) {
        PlanKey(false);
    } else {
        PlanAltHotKey();
    }
}

void Monkey::Plan() {
    // An unfinished drag is let go first, as a person's button comes up eventually.
    if (buttons) {
        pending.push_back([this] { return Mouse(HostEvent::MouseUp, Uniform(0, 799), Uniform(0, 599)); });
        return;
    }
    if (Game* game = CurrentGame()) {
        PlanInGame(*game);
    } else {
        PlanOnSelectionScreen();
    }
}
