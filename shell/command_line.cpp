#include "shell/command_line.h"

#include <string_view>

#include "shell/version.h"

namespace {

constexpr char kProgramName[] = "quillfen-solitaire";

struct OptionEntry {
    const char* shortName;  // null when the option has no one-letter form
    const char* longName;
    const char* help;
    void (*apply)(CommandLineOptions*);
};

// One row per option; --help prints them in this order.
// --game and --deal, for starting a chosen deal directly, belong in this table.
constexpr OptionEntry kOptions[] = {
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
        std::snprintf(names, sizeof names, "%s%s%s", entry.shortName ? entry.shortName : "",
                      entry.shortName ? ", " : "    ", entry.longName);
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
        entry->apply(&options);
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
