#include "shell/command_line.h"

#include <string_view>

#include "framework/deal_dialog.h"
#include "games/game_registry.h"
#include "shell/version.h"

namespace {

constexpr char kProgramName[] = "quillfen-solitaire";

// An option that takes a value reads it with applyValue; false means the value was refused (the
// reader has said why on err).
using ValueReader = bool (*)(CommandLineOptions*, const char* value, std::FILE* err);

struct OptionEntry {
    const char* shortName;  // null when the option has no one-letter form
    const char* longName;
    const char* help;
    void (*apply)(CommandLineOptions*);
    ValueReader applyValue = nullptr;
    const char* valueName = nullptr;
};

bool ReadGameName(CommandLineOptions* options, const char* value, std::FILE* err) {
    if (const GameDescriptor* game = FindGameByName(value)) {
        options->gameNumber = game->number;
        return true;
    }
    std::fprintf(err, "%s: unknown game '%s'; the games are:", kProgramName, value);
    for (const GameDescriptor& game : RegisteredGames()) std::fprintf(err, " \"%s\"", game.name);
    std::fprintf(err, "\n");
    return false;
}

bool ReadDealNumber(CommandLineOptions* options, const char* value, std::FILE* err) {
    options->dealNumber = ParseDealNumber(value);
    if (options->dealNumber) return true;
    std::fprintf(err, "%s: the deal must be a number from 0 to 4294967295, not '%s'\n", kProgramName, value);
    return false;
}

// One row per option; --help prints them in this order.
constexpr OptionEntry kOptions[] = {
    {nullptr, "--game", "start straight into this game (a name from the selection screen)", nullptr, ReadGameName,
     "NAME"},
    {nullptr, "--deal", "with --game: deal this number (the same cards everywhere)", nullptr, ReadDealNumber,
     "NUMBER"},
    {nullptr, "--fullscreen", "start full screen",
     [](CommandLineOptions* o) { o->windowMode = WindowModeOption::FullScreen; }},
    {nullptr, "--window", "start in an ordinary window",
     [](CommandLineOptions* o) { o->windowMode = WindowModeOption::Window; }},
    {nullptr, "--classic-window", "start in the borderless 800 x 600 window at the top left",
     [](CommandLineOptions* o) { o->windowMode = WindowModeOption::Classic; }},
    {"-h", "--help", "show this help and exit", [](CommandLineOptions* o) { o->showHelp = true; }},
    {"-V", "--version", "show the version and exit", [](CommandLineOptions* o) { o->showVersion = true; }},
};

const OptionEntry* FindOption(std::string_view argument) {
    for (const OptionEntry& entry : kOptions) {
        if (argument == entry.longName || (entry.shortName && argument == entry.shortName)) return &entry;
    }
    return nullptr;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, "Usage: %s [OPTION]...\nTwenty single-player card games.\n\n", kProgramName);
    for (const OptionEntry& entry : kOptions) {
        // Long names line up whether or not a one-letter form precedes them.
        char names[48];
        std::snprintf(names, sizeof names, "%s%s%s%s%s", entry.shortName ? entry.shortName : "",
                      entry.shortName ? ", " : "    ", entry.longName, entry.valueName ? " " : "",
                      entry.valueName ? entry.valueName : "");
        std::fprintf(out, "  %-22s %s\n", names, entry.help);
    }
    std::fprintf(out, "\nWithout a window option the window opens as it was last left.\n");
}

}  // namespace

std::optional<CommandLineOptions> ParseCommandLine(std::span<const char* const> argv, int* exitStatus,
                                                   std::FILE* out, std::FILE* err) {
    CommandLineOptions options;
    // argv[0] is the program's own path.
    for (size_t i = 1; i < argv.size(); ++i) {
        const char* argument = argv[i];
        if (argument == nullptr) break;
        const OptionEntry* entry = FindOption(argument);
        if (entry == nullptr) {
            const bool isOption = argument[0] == '-' && argument[1] != '\0';
            std::fprintf(err, "%s: %s '%s' (see %s --help)\n", kProgramName,
                         isOption ? "unknown option" : "unexpected argument", argument, kProgramName);
            *exitStatus = 2;
            return std::nullopt;
        }
        if (entry->applyValue) {
            const char* value = i + 1 < argv.size() ? argv[i + 1] : nullptr;
            if (value == nullptr) {
                std::fprintf(err, "%s: %s needs a %s (see %s --help)\n", kProgramName, entry->longName,
                             entry->valueName, kProgramName);
                *exitStatus = 2;
                return std::nullopt;
            }
            ++i;
            if (!entry->applyValue(&options, value, err)) {
                *exitStatus = 2;
                return std::nullopt;
            }
            continue;
        }
        entry->apply(&options);
    }
    if (options.dealNumber && options.gameNumber == 0 && !options.showHelp && !options.showVersion) {
        std::fprintf(err, "%s: --deal needs --game to say which game to deal\n", kProgramName);
        *exitStatus = 2;
        return std::nullopt;
    }
    if (options.showHelp || options.showVersion) {
        if (options.showHelp) PrintHelp(out);
        else std::fprintf(out, "%s %s\n", kProgramName, kProgramVersion);
        std::fflush(out);
        *exitStatus = 0;
        return std::nullopt;
    }
    *exitStatus = 0;
    return options;
}
