#include "shell/command_line.h"

#include <string_view>

#include "framework/deal_dialog.h"
#include "games/game_registry.h"
#include "platform/translation.h"
#include "shell/version.h"

namespace {

constexpr char kProgramName[] = "quillfen-solitaire";

// What is printed goes to a terminal, which reads UTF-8, not the fonts' Windows-1252.
std::string Terminal(const char* text) { return Windows1252ToUtf8(text); }

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
    std::fprintf(err, Terminal(Translate("%s: unknown game '%s'; the games are:")).c_str(), kProgramName, value);
    for (const GameDescriptor& game : RegisteredGames()) std::fprintf(err, " \"%s\"", game.name);
    std::fprintf(err, "\n");
    return false;
}

bool ReadDealNumber(CommandLineOptions* options, const char* value, std::FILE* err) {
    options->dealNumber = ParseDealNumber(value);
    if (options->dealNumber) return true;
    std::fprintf(err, Terminal(Translate("%s: the deal must be a number from 0 to 4294967295, not '%s'\n")).c_str(),
                 kProgramName, value);
    return false;
}

bool ReadLanguage(CommandLineOptions* options, const char* value, std::FILE*) {
    options->language = value;
    return true;
}

// The value of the last --lang, when there is one with a value.
std::string_view LanguageArgument(std::span<const char* const> argv) {
    std::string_view language;
    for (size_t i = 1; i + 1 < argv.size() && argv[i] != nullptr; ++i) {
        if (std::string_view(argv[i]) == "--lang" && argv[i + 1] != nullptr) language = argv[++i];
    }
    return language;
}

// One row per option; --help prints them in this order.
constexpr OptionEntry kOptions[] = {
    {nullptr, "--game", TranslateLater("start straight into this game (a name from the selection screen)"), nullptr,
     ReadGameName, TranslateLater("command-line value", "NAME")},
    {nullptr, "--deal", TranslateLater("with --game: deal this number (the same cards everywhere)"), nullptr,
     ReadDealNumber, TranslateLater("command-line value", "NUMBER")},
    {nullptr, "--fullscreen", TranslateLater("start full screen"),
     [](CommandLineOptions* o) { o->windowMode = WindowModeOption::FullScreen; }},
    {nullptr, "--window", TranslateLater("start in an ordinary window"),
     [](CommandLineOptions* o) { o->windowMode = WindowModeOption::Window; }},
    {nullptr, "--classic-window", TranslateLater("start in the borderless 800 x 600 window at the top left"),
     [](CommandLineOptions* o) { o->windowMode = WindowModeOption::Classic; }},
    {nullptr, "--lang", TranslateLater("use this language instead of the environment's (de, en, es, fr, it, nl, pt)"),
     nullptr, ReadLanguage, TranslateLater("command-line value", "CODE")},
    {"-h", "--help", TranslateLater("show this help and exit"), [](CommandLineOptions* o) { o->showHelp = true; }},
    {"-V", "--version", TranslateLater("show the version and exit"),
     [](CommandLineOptions* o) { o->showVersion = true; }},
};
const char* ValueName(const OptionEntry& entry) { return Translate("command-line value", entry.valueName); }

const OptionEntry* FindOption(std::string_view argument) {
    for (const OptionEntry& entry : kOptions) {
        if (argument == entry.longName || (entry.shortName && argument == entry.shortName)) return &entry;
    }
    return nullptr;
}

void PrintHelp(std::FILE* out) {
    std::fprintf(out, Terminal(Translate("Usage: %s [OPTION]...\nTwenty single-player card games.\n\n")).c_str(),
                 kProgramName);
    for (const OptionEntry& entry : kOptions) {
        // Long names line up whether or not a one-letter form precedes them.
        char names[48];
        std::snprintf(names, sizeof names, "%s%s%s%s%s", entry.shortName ? entry.shortName : "",
                      entry.shortName ? ", " : "    ", entry.longName, entry.valueName ? " " : "",
                      entry.valueName ? Terminal(ValueName(entry)).c_str() : "");
        std::fprintf(out, "  %-22s %s\n", names, Terminal(Translate(entry.help)).c_str());
    }
    std::fputs(Terminal(Translate("\nWithout a window option the window opens as it was last left.\n")).c_str(), out);
}

}  // namespace

std::optional<CommandLineOptions> ParseCommandLine(std::span<const char* const> argv, int* exitStatus,
                                                   std::FILE* out, std::FILE* err, bool chooseLanguage) {
    if (chooseLanguage) {
        const std::string_view asked = LanguageArgument(argv);
        if (ChooseLanguage(asked).empty() && !asked.empty() && asked.substr(0, 2) != "en")
            std::fprintf(err, "%s: no translation into '%.*s'; English it is\n", kProgramName,
                         static_cast<int>(asked.size()), asked.data());
    }
    CommandLineOptions options;
    // argv[0] is the program's own path.
    for (size_t i = 1; i < argv.size(); ++i) {
        const char* argument = argv[i];
        if (argument == nullptr) break;
        const OptionEntry* entry = FindOption(argument);
        if (entry == nullptr) {
            const bool isOption = argument[0] == '-' && argument[1] != '\0';
            std::fprintf(err, Terminal(isOption ? Translate("%s: unknown option '%s' (see %s --help)\n")
                                                : Translate("%s: unexpected argument '%s' (see %s --help)\n"))
                                  .c_str(),
                         kProgramName, argument, kProgramName);
            *exitStatus = 2;
            return std::nullopt;
        }
        if (entry->applyValue) {
            const char* value = i + 1 < argv.size() ? argv[i + 1] : nullptr;
            if (value == nullptr) {
                std::fprintf(err, Terminal(Translate("%s: %s needs a %s (see %s --help)\n")).c_str(), kProgramName,
                             entry->longName, Terminal(ValueName(*entry)).c_str(), kProgramName);
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
        std::fprintf(err, Terminal(Translate("%s: --deal needs --game to say which game to deal\n")).c_str(),
                     kProgramName);
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
