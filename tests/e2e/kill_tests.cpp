// Nothing lost: the real program (RunApplication on the scripted back end) plays Klondike in a
// child process, over and over: it names a player, starts Klondike from its settings dialog,
// makes moves, ends the game from the menu (which records the score) and leaves. The child is
// killed with SIGKILL at a random moment, many times over one settings file. After every kill
// the settings file must parse, must not have been put aside, and must still hold the player,
// Klondike's rule values and every high score the child had reported as recorded.
//
// The child reports on a pipe only what it has seen through the settings store after a save
// (no batch is open while the program waits for input), so a report never runs ahead of the
// file. A deal in progress is kept for resuming after every move: once the child has reported a
// move count, the kept deal must hold at least all but the last of those moves, and the next run
// continues it. QUILLFEN_KILL_RUNS sets the number of kills (default 50); QUILLFEN_KILL_SEED the seed.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/game.h"
#include "platform/backend.h"
#include "platform/settings_file.h"
#include "platform/scripted_backend.h"
#include "shell/shell.h"
#include "tests/hooks/test_hooks.h"
#include "tests/hid_keys.h"
#include "tests/test_support.h"
#include "store/high_scores.h"
#include "store/saved_game.h"
#include "store/settings_store.h"
#include "ui/window.h"

namespace {

constexpr const char* kGameName = "Klondike";
constexpr const char* kPlayer = "kim";
// Screen places: Klondike's name on the selection screen and its stock (games/klondike.h).
constexpr int kKlondikeNumber = 12;
constexpr int kKlondikeItemX = 671, kKlondikeItemY = 225;
constexpr int kStockX = 126, kStockY = 121;
constexpr int kMovesPerGame = 12;
// Virtual time between the steps of the child's script, and the wait for the end picture to go
// by itself (it lasts five seconds).
constexpr uint64_t kStepMs = 300;
constexpr uint64_t kEndPictureMs = 6000;
// Real time the parent gives the child to show the player dialog, however busy the machine.
constexpr std::chrono::seconds kLongestStartUp{30};

// --- The child ---

class ChildScript {
public:
    ChildScript(ScriptedBackend& backend, int reportFd) : backend(backend), reportFd(reportFd) {}

    void Begin() {
        HostEvent focus;
        focus.kind = HostEvent::FocusGained;
        backend.PostHost(0, focus);
        backend.Click(100, 400, 100);  // ends the logo
        Next([this] { NamePlayer(); });
    }

private:
    void Next(std::function<void()> step, uint64_t delay = kStepMs) { backend.After(delay, std::move(step)); }
    void Report(const std::string& line) {
        const std::string text = line + "\n";
        [[maybe_unused]] const ssize_t written = ::write(reportFd, text.data(), text.size());
    }

    // The player dialog shows the last name; a fresh file has none, so it is typed once.
    void NamePlayer() {
        Report("U");
        if (userPreferences.HumanName.empty())
            for (int key : {kHidK, kHidI, kHidM}) backend.PressKey(0, key);
        backend.PressKey(0, kHidEnter);
        Next([this] { StartKlondike(); });
    }
    void StartKlondike() {
        if (userPreferences.HumanName == kPlayer) Report(std::string("P ") + kPlayer);
        if (CurrentGame()) {
            // Out of step (a game ended by itself): leave it and try again.
            backend.PressKey(0, kHidEscape);
            Next([this] { StartKlondike(); });
            return;
        }
        // A kept deal is offered first and continued; otherwise the settings dialog comes up.
        const bool kept = HasSavedGame(userPreferences.CurrentPlayer, kKlondikeNumber);
        backend.Click(0, kKlondikeItemX, kKlondikeItemY);
        Next([this, kept] {
            backend.PressKey(0, kept ? kHidC : kHidS);
            Next([this] { Play(0); });
        });
    }
    void Play(int moves) {
        Game* game = CurrentGame();
        if (!game) {
            Next([this] { StartKlondike(); });
            return;
        }
        if (moves == 0) Report("R");
        // The moves made so far are saved by now (the table saves at its next tick).
        if (game->MovesMade() > 0 && !game->gameOver) Report("K " + std::to_string(game->MovesMade()));
        if (moves >= kMovesPerGame || game->gameOver) {
            Report("N");  // the deal ends from here on: its kept copy goes
            PostClickOnControl(backend, "&Game");
            Next([this] {
                PostClickOnControl(backend, "&End Game");
                Next([this] { CloseScores(); }, kEndPictureMs);
            });
            return;
        }
        if (const std::optional<LegalMove> move = FindLegalMove(*game)) {
            PostDrag(backend, move->pickX, move->pickY, move->dropX, move->dropY);
        } else {
            backend.Click(0, kStockX, kStockY);
        }
        Next([this, moves] { Play(moves + 1); });
    }
    // The end-of-game high scores are up: the score is in the table and saved.
    void CloseScores() {
        std::ostringstream line;
        line << "S";
        for (const ScoreEntry& entry : ReadScoreTable(kGameName)) line << " " << entry.name << " " << entry.score;
        Report(line.str());
        backend.PressKey(0, kHidEscape);  // closes the table
        Next([this] {
            backend.PressKey(0, kHidEscape);  // leaves the game
            Next([this] { StartKlondike(); });
        });
    }

    ScriptedBackend& backend;
    int reportFd;
};

[[noreturn]] void RunChild(int reportFd) {
    ScriptedBackend backend;
    backend.SetClockLimit(UINT64_MAX / 2);
    SetBackend(&backend);
    ChildScript script(backend, reportFd);
    script.Begin();
    try {
        RunApplication();
    } catch (const ScriptedBackend::Hang&) {
    }
    // The script never ends by itself; reaching this means the program quit early.
    _exit(3);
}

// --- The parent's view of the file ---

std::shared_ptr<RegistryNode> FindKey(const RegistryTree& tree, const std::string& path) {
    std::shared_ptr<RegistryNode> node = tree.root->FindChild("HKEY_CURRENT_USER");
    std::string component;
    std::istringstream parts(path);
    while (node && std::getline(parts, component, '\\')) node = node->FindChild(component);
    return node;
}

std::string StringValue(const RegistryNode& key, const char* name) {
    const RegistryValue* value = key.FindValue(name);
    if (!value || value->type != REG_SZ) return {};
    return value->data.substr(0, value->data.find('\0'));
}

int32_t DwordValue(const RegistryNode& key, const char* name) {
    const RegistryValue* value = key.FindValue(name);
    if (!value || value->type != REG_DWORD || value->data.size() != 4) return 0;
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = bits << 8 | static_cast<uint8_t>(value->data[static_cast<size_t>(i)]);
    return static_cast<int32_t>(bits);
}

std::vector<ScoreEntry> ScoresInFile(const RegistryTree& tree) {
    std::vector<ScoreEntry> table;
    for (int place = 1; place <= kScorePlaces; ++place) {
        const auto key = FindKey(tree, ScorePlacePath(kGameName, place));
        if (!key) break;
        table.push_back({StringValue(*key, "Name"), DwordValue(*key, "Score")});
    }
    return table;
}

// Every reported entry must still be there, except those a better score has since pushed out of
// a full table (a score can be recorded just before the kill without being reported).
::testing::AssertionResult KeepsReportedScores(const std::vector<ScoreEntry>& reported,
                                               const std::vector<ScoreEntry>& inFile) {
    if (inFile.size() < reported.size())
        return ::testing::AssertionFailure() << "the table shrank from " << reported.size() << " to " << inFile.size();
    const bool full = inFile.size() == static_cast<size_t>(kScorePlaces);
    const int32_t lowest = inFile.empty() ? 0 : inFile.back().score;
    std::map<std::pair<std::string, int32_t>, int> left;
    for (const ScoreEntry& entry : inFile) ++left[{entry.name, entry.score}];
    for (const ScoreEntry& entry : reported) {
        if (full && entry.score <= lowest) continue;
        if (--left[{entry.name, entry.score}] < 0)
            return ::testing::AssertionFailure() << "the score " << entry.score << " of " << entry.name << " was lost";
    }
    return ::testing::AssertionSuccess();
}

struct Reports {
    bool player = false, rules = false;
    std::vector<ScoreEntry> scores;
    int tables = 0;
    int keptMoves = 0;  // moves the kept deal must hold (all but the last), 0: none expected
    int keptChecks = 0;
};

void ParseReports(const std::string& text, Reports& reports) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "P") reports.player = true;
        if (kind == "R") reports.rules = true;
        if (kind == "K") words >> reports.keptMoves;
        if (kind == "N") reports.keptMoves = 0;
        if (kind == "S") {
            reports.scores.clear();
            ScoreEntry entry;
            while (words >> entry.name >> entry.score) reports.scores.push_back(entry);
            ++reports.tables;
        }
    }
}

// Reads what the child writes until the deadline or its end; with untilFirstLine, stops at the
// first line.
void ReadUntil(int fd, std::string& text, std::chrono::steady_clock::time_point deadline, bool untilFirstLine) {
    char chunk[4096];
    while (!(untilFirstLine && text.find('\n') != std::string::npos)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0) return;  // the child is gone
        text.append(chunk, static_cast<size_t>(got));
    }
}

int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

class KillTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "run");
        std::filesystem::permissions(folder / "run", std::filesystem::perms::owner_all);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (folder / "run").c_str(), 1);
        setenv("XDG_STATE_HOME", (folder / "state").c_str(), 1);
        settingsFile = folder / "config" / "quillfen-solitaire" / "settings.reg";
    }

    // Runs the child and kills it delayMs after its start, or, with afterStartUp, delayMs after
    // its first report (the player dialog is up). False when it died on its own.
    bool RunAndKill(int delayMs, bool afterStartUp, Reports& reports, std::string& how) {
        int channel[2];
        if (::pipe(channel) != 0) return false;
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(channel[0]);
            RunChild(channel[1]);
        }
        ::close(channel[1]);
        using Clock = std::chrono::steady_clock;
        std::string text;
        const Clock::time_point start = Clock::now();
        if (afterStartUp) {
            ReadUntil(channel[0], text, start + kLongestStartUp, true);
            startUpTime += Clock::now() - start;
            ++startUps;
        }
        ReadUntil(channel[0], text, Clock::now() + std::chrono::milliseconds(delayMs), false);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ReadUntil(channel[0], text, Clock::now() + std::chrono::seconds(1), false);
        ::close(channel[0]);
        ParseReports(text, reports);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return true;
        how = WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                  : "exit " + std::to_string(WEXITSTATUS(status));
        return false;
    }

    ::testing::AssertionResult FileKeeps(Reports& reports) {
        std::error_code noFolderYet;
        for (const auto& entry : std::filesystem::directory_iterator(settingsFile.parent_path(), noFolderYet))
            if (entry.path().filename().string().find(".bad-") != std::string::npos)
                return ::testing::AssertionFailure() << "the settings file was put aside: " << entry.path();
        std::ifstream in(settingsFile, std::ios::binary);
        if (!in) {
            if (reports.player || reports.rules || reports.tables > 0)
                return ::testing::AssertionFailure() << "the settings file is gone";
            return ::testing::AssertionSuccess();
        }
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        RegistryTree tree;
        if (!ParseRegistryText(text, &tree))
            return ::testing::AssertionFailure() << "the settings file does not parse:\n" << text;
        if (reports.player) {
            const auto preferences = FindKey(tree, PreferencesPath());
            if (!preferences || StringValue(*preferences, "HumanName") != kPlayer)
                return ::testing::AssertionFailure() << "the player name was lost:\n" << text;
        }
        if (reports.rules) {
            const auto rules = FindKey(tree, GameSettingsPath(kGameName));
            if (!rules || !rules->FindValue("CardsDealt") || !rules->FindValue("Recycles"))
                return ::testing::AssertionFailure() << "Klondike's rule values were lost:\n" << text;
        }
        ::testing::AssertionResult scores = KeepsReportedScores(reports.scores, ScoresInFile(tree));
        if (!scores) return scores;
        return KeepsTheDeal(reports);
    }
    // The kept deal reads back whole and holds every reported move but perhaps the last.
    ::testing::AssertionResult KeepsTheDeal(Reports& reports) {
        std::error_code noFolderYet;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "state" / "quillfen-solitaire", noFolderYet))
            if (entry.path().filename().string().find(".bad-") != std::string::npos)
                return ::testing::AssertionFailure() << "a kept deal was damaged: " << entry.path();
        if (reports.keptMoves == 0) return ::testing::AssertionSuccess();
        const std::optional<SavedGame> kept = ReadSavedGame(kFirstPlayerNumber, kKlondikeNumber);
        if (!kept) return ::testing::AssertionFailure() << "the deal in progress was not kept";
        if (static_cast<int>(kept->history.size()) < reports.keptMoves - 1)
            return ::testing::AssertionFailure() << "the kept deal holds " << kept->history.size() << " moves of "
                                                 << reports.keptMoves;
        ++reports.keptChecks;
        return ::testing::AssertionSuccess();
    }

    const test_support::TempFolder scratch{"kill"};
    const std::filesystem::path folder = scratch.Path();
    std::filesystem::path settingsFile;
    std::chrono::steady_clock::duration startUpTime{};
    int startUps = 0;
};

// The sanitizers slow start-up and play several times over; the window widens so that games
// still end (and record scores) between kills.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kLongestKillMs = 3000;
#else
constexpr int kLongestKillMs = 500;
#endif

TEST_F(KillTest, SigkillAtAnyMomentLosesNothingSaved) {
    const int runs = EnvironmentNumber("QUILLFEN_KILL_RUNS", 50);
    const unsigned seed = static_cast<unsigned>(EnvironmentNumber("QUILLFEN_KILL_SEED", 1));
    // One kill in four falls in start-up (which reads the file and may write it); the others
    // fall up to QUILLFEN_KILL_MAX_MS after the player dialog came up, a few games in.
    const int longestMs = EnvironmentNumber("QUILLFEN_KILL_MAX_MS", kLongestKillMs);
    const int earlyKillMs = 300;
    std::mt19937 random(seed);
    Reports reports;
    for (int run = 0; run < runs; ++run) {
        const bool afterStartUp = random() % 4 != 0;
        const int delayMs = std::uniform_int_distribution<int>(0, afterStartUp ? longestMs : earlyKillMs)(random);
        std::string how;
        ASSERT_TRUE(RunAndKill(delayMs, afterStartUp, reports, how))
            << "run " << run << ": the child ended by itself (" << how << ")";
        ASSERT_TRUE(FileKeeps(reports)) << "run " << run << " (seed " << seed << "), killed " << delayMs << " ms after "
                                        << (afterStartUp ? "the player dialog" : "the start");
    }
    const auto startUpMs = std::chrono::duration_cast<std::chrono::milliseconds>(startUpTime).count();
    std::printf("%d kills; %d score tables reported; last table has %zu entries; start-up took %lld ms on average\n",
                runs, reports.tables, reports.scores.size(), startUps ? static_cast<long long>(startUpMs / startUps) : 0LL);
    // The session must really have reached the writes it is meant to interrupt.
    EXPECT_TRUE(reports.player);
    EXPECT_TRUE(reports.rules);
    EXPECT_GT(reports.tables, 0);
    EXPECT_GT(reports.keptChecks, 0) << "no kill fell in a deal in progress";
}

}  // namespace
