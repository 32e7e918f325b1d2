#include "shell/winnable_search.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "framework/game.h"
#include "games/game_registry.h"
#include "games/game_rules.h"
#include "platform/backend.h"
#include "platform/paths.h"
#include "solver/solver.h"

extern char** environ;

namespace {

class ToolSearch : public WinnableSearch {
public:
    ToolSearch(pid_t child, int output, bool replayable) : child(child), output(output), replayable(replayable) {}
    ~ToolSearch() override {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        if (output >= 0) close(output);
    }

    bool Ready() override {
        if (output < 0) return true;
        char buffer[256];
        for (;;) {
            const ssize_t got = read(output, buffer, sizeof buffer);
            if (got > 0) {
                text.append(buffer, static_cast<size_t>(got));
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && errno == EAGAIN) {
                if (!replayable) return false;
                // Under a virtual clock the answer is awaited, so a script replays exactly.
                pollfd wait{output, POLLIN, 0};
                poll(&wait, 1, -1);
                continue;
            }
            break;  // end of the answer (or a broken pipe)
        }
        close(output);
        output = -1;
        waitpid(child, nullptr, 0);
        child = -1;
        return true;
    }

    std::optional<uint32_t> Found() override {
        unsigned deal = 0;
        if (std::sscanf(text.c_str(), "winnable %u", &deal) == 1 && deal > 0) return deal;
        return std::nullopt;
    }

private:
    pid_t child;
    int output;
    bool replayable;
    std::string text;
};

// The game's rule values as the tool takes them: NAME=VALUE, as in the settings file.
std::vector<std::string> RuleArguments(const GameDescriptor& entry) {
    std::vector<std::string> arguments;
    const RuleValues values(entry.number);
    for (const RuleOption& option : entry.rules.options) {
        const std::string value = option.control == RuleControl::kScoringChoice
                                      ? values.Text(option.valueName)
                                      : std::to_string(values[option.valueName]);
        arguments.push_back("--option");
        arguments.push_back(std::string(option.valueName) + "=" + value);
    }
    return arguments;
}

}  // namespace

std::string SolverProgramPath() { return ExecutableDirectory() + "/quillfen-solve"; }

std::unique_ptr<WinnableSearch> StartWinnableSearch(Game& game, uint32_t first, double seconds,
                                                    const std::string& program) {
    const GameDescriptor* entry = FindGame(game.gameNumber);
    if (!entry || !entry->model || PlayedForPoints(entry->number)) return nullptr;
    char secondsText[32];
    std::snprintf(secondsText, sizeof secondsText, "%.3f", seconds > 0 ? seconds : 0.0);
    std::vector<std::string> arguments = {program,         "--game",  entry->name, "--winnable-from",
                                          std::to_string(first), "--seconds", seconds > 0 ? secondsText : "0"};
    for (std::string& argument : RuleArguments(*entry)) arguments.push_back(std::move(argument));
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return nullptr;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        return nullptr;
    }
    fcntl(pipeEnds[0], F_SETFL, fcntl(pipeEnds[0], F_GETFL) | O_NONBLOCK);
    return std::make_unique<ToolSearch>(child, pipeEnds[0], ClockIsVirtual());
}
