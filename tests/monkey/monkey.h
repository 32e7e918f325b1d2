// The monkey: runs the real program on the scripted back end and feeds it random but plausible
// input (clicks and drags anywhere, double clicks, keys, Alt hot keys, menu commands of every id,
// undo storms, undo and redo keys, hints, window resizes and full screen at every device scale,
// leaving and entering games, opening and cancelling dialogs), checking after every
// message that the running game still holds each card exactly once, that an idle table looks as a
// full redraw would draw it and that the window shows what the screen buffer holds, that leaving a
// game leaves no
// undo file behind, that the settings file always parses, and that nothing hangs.
//
// Everything follows from the seed, so a failure is replayed by running the same seed and count
// again; the failure text names both and lists the last 50 messages sent.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/host_events.h"
#include "tests/test_support.h"

class Game;
class ScriptedBackend;

struct MonkeyStatistics {
    long messages = 0;
    int sessions = 0;
    int gamesEntered = 0;
    int menuCommands = 0;
    int undoStorms = 0;
    int windowChanges = 0;
    int hints = 0;
    int drags = 0;
    int modelMoves = 0;  // moves the game's model offered, made with the mouse
    int moves = 0;
    int cardChecks = 0;
    int screenChecks = 0;
    int presentChecks = 0;
    uint64_t virtualMs = 0;
};

class Monkey {
public:
    // Watchdog limits: virtual time without a monkey step, and real time without one.
    static constexpr uint64_t kVirtualWatchdogMs = 10 * 60 * 1000;
    static constexpr int kRealWatchdogSeconds = 120;
    static constexpr size_t kLogLength = 50;

    Monkey(uint64_t seed, long messages);

    // Starts the program again and again until the message budget is spent. Returns an empty
    // string when every check held, else the failure with the seed and the last messages.
    std::string Run();
    const MonkeyStatistics& Statistics() const { return stats; }
    // One line of the figures above, with the seed.
    std::string Summary() const;
    // Runs `fault` on the table once, just before the first check of the window from message `at`
    // on (one where the window holds the table pixel for pixel):
    // the checks' own test plants the faults they must catch.
    void PlantFault(long at, std::function<void(Game&)> fault) {
        plantAt = at;
        plantedFault = std::move(fault);
    }

    // The seed and message count from QUILLFEN_MONKEY_SEED and QUILLFEN_MONKEY_MESSAGES, with
    // defaults; seed 0 means "pick one from the clock" (and it is printed).
    static uint64_t SeedFromEnvironment(uint64_t fallback);
    static long MessagesFromEnvironment(long fallback);

private:
    // One input message to send, worked out only when it is sent, so that a drag can aim at
    // the targets its press revealed and a menu item is found once its panel is open.
    using Pending = std::function<std::optional<HostEvent>()>;

    void RunSession();
    void Step();
    void Check();
    void CheckCards(Game& game);
    void CheckScreen(Game& game);
    void CheckPresented(Game& game, const uint32_t* screen, int width, int height);
    std::vector<uint32_t> shown;  // the screen as it stood before a check's full redraw
    long plantAt = 0;
    std::function<void(Game&)> plantedFault;
    void CheckNoUndoFiles(const char* when);
    void CheckSettingsFile();
    [[noreturn]] void Fail(const std::string& what);
    std::string Report(const std::string& what) const;

    void Send(HostEvent event);
    void Plan();
    void PlanInGame(Game& game);
    void PlanOnSelectionScreen();
    void PlanKey(bool inGame);
    void PlanAltHotKey();
    void PlanClick(int x, int y);
    void PlanDoubleClick(int x, int y);
    std::pair<int, int> PickupPoint(Game& game, int percent);
    void PlanDragPath(int x, int y, int toX, int toY);
    void PlanDrag(Game& game);
    void PlanModelMove(Game& game);
    void PlanMenuCommand(int commandId);
    void PlanRandomMenuCommand(Game& game);
    void PlanPress(int hidScancode);
    void PlanControlKey(int hidScancode, bool shift);
    void PlanWindowChange();

    int Uniform(int lowest, int highest);  // inclusive
    bool Chance(int percent);

    uint64_t seed;
    long budget;
    static constexpr long kProgressEvery = 100000;  // messages between progress lines of a long run
    long reportedAt = 0;
    long screenChances = 0;  // messages at which the screen could be checked
    // The settings file and the undo files, on a memory file system: undo files are written
    // before every move.
    test_support::TempFolder scratch{"monkey", true};
    std::filesystem::path folder = scratch.Path();
    std::mt19937_64 random;
    MonkeyStatistics stats;
    ScriptedBackend* backend = nullptr;
    std::deque<Pending> pending;
    std::deque<std::string> log;
    bool gameWasRunning = false;
    Game* lastGame = nullptr;
    int lastUndoCount = 0;
    bool windingDown = false;
    int windDownPresses = 0;
    // What the script holds down, carried into every event as SDL would report it.
    uint32_t buttons = 0;
    bool altHeld = false, shiftHeld = false, controlHeld = false;
    // Shared with the real-time watchdog thread while Run is active.
    std::atomic<long>* progressCounter = nullptr;
    std::mutex* logMutex = nullptr;
};
