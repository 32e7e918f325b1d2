// The command line: every option's effect, the exit statuses, and what help prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/translation.h"
#include "shell/command_line.h"

namespace {

struct Outcome {
    std::optional<CommandLineOptions> options;
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the parser on "quillfen-solitaire" followed by the given arguments, capturing both streams.
Outcome Parse(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv = {"quillfen-solitaire"};
    argv.insert(argv.end(), arguments);
    char* outText = nullptr;
    char* errText = nullptr;
    size_t outSize = 0;
    size_t errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    Outcome outcome;
    outcome.options = ParseCommandLine(argv, &outcome.exitStatus, out, err, false);
    std::fclose(out);
    std::fclose(err);
    outcome.out.assign(outText, outSize);
    outcome.err.assign(errText, errSize);
    std::free(outText);
    std::free(errText);
    return outcome;
}

TEST(CommandLine, WindowModes) {
    struct Case {
        std::initializer_list<const char*> arguments;
        WindowModeOption expected;
    };
    const Case cases[] = {
        {{}, WindowModeOption::Remembered},
        {{"--fullscreen"}, WindowModeOption::FullScreen},
        {{"--window"}, WindowModeOption::Window},
        {{"--classic-window"}, WindowModeOption::Classic},
        {{"--fullscreen", "--window"}, WindowModeOption::Window},  // the last choice wins
    };
    for (const Case& c : cases) {
        const Outcome outcome = Parse(c.arguments);
        ASSERT_TRUE(outcome.options.has_value());
        EXPECT_EQ(outcome.options->windowMode, c.expected);
        EXPECT_EQ(outcome.exitStatus, 0);
        EXPECT_EQ(outcome.out + outcome.err, "") << "a normal start prints nothing";
    }
}

// Each error is one line naming what is wrong, with status 2 and nothing on standard output.
TEST(CommandLine, BadArgumentsAreOneLineErrorsWithStatusTwo) {
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* named;
    };
    const Case cases[] = {
        {{"--fulscreen"}, "'--fulscreen'"},
        {{"-x"}, "'-x'"},
        {{"--window", "extra"}, "'extra'"},
        {{"--window=1"}, "'--window=1'"},
        {{"--help", "--bogus"}, "'--bogus'"},  // an error wins over help
        {{""}, "''"},
        {{"--game", "Golf", "--deal", "-3"}, "'-3'"},
        {{"--game", "Golf", "--deal", "4294967296"}, "'4294967296'"},
        {{"--deal", "5"}, "--game"},
        {{"--game"}, "NAME"},
        {{"--game", "Golf", "--deal"}, "NUMBER"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Parse(c.arguments);
        EXPECT_FALSE(outcome.options.has_value()) << c.named;
        EXPECT_EQ(outcome.exitStatus, 2) << c.named;
        EXPECT_EQ(outcome.out, "") << c.named;
        EXPECT_NE(outcome.err.find(c.named), std::string::npos) << outcome.err;
        ASSERT_FALSE(outcome.err.empty());
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << "one line: " << outcome.err;
    }
}

// A game is named in any case; an unknown one is an error naming the games to choose from.
TEST(CommandLine, GameAndDealChooseTheFirstDealAndAnUnknownGameListsTheGames) {
    Outcome outcome = Parse({"--game", "FOUR seasons", "--deal", "12345"});
    ASSERT_TRUE(outcome.options.has_value()) << outcome.err;
    EXPECT_EQ(outcome.options->gameNumber, 9);
    EXPECT_EQ(outcome.options->dealNumber, 12345u);
    outcome = Parse({"--game", "klondike", "--lang", "fr"});
    ASSERT_TRUE(outcome.options.has_value());
    EXPECT_EQ(outcome.options->gameNumber, 12);
    EXPECT_EQ(outcome.options->language, "fr");
    EXPECT_FALSE(outcome.options->dealNumber.has_value());
    EXPECT_EQ(outcome.out + outcome.err, "");
    outcome = Parse({"--game", "Nonesuch", "--deal", "1"});
    EXPECT_FALSE(outcome.options.has_value());
    EXPECT_EQ(outcome.exitStatus, 2);
    for (const char* name : {"'Nonesuch'", "\"Accordion\"", "\"Take Fourteen\"", "\"Klondike\""})
        EXPECT_NE(outcome.err.find(name), std::string::npos) << outcome.err;
}

// The language as gettext reads the environment: LC_ALL, LC_MESSAGES, LANG in that order, the
// first set one wins; LANGUAGE's list counts unless that locale is C; unknown languages are English.
TEST(CommandLine, TheLanguageComesFromTheLocaleEnvironment) {
    struct Case {
        const char *lcAll, *lcMessages, *lang, *language, *expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "de_DE.UTF-8", nullptr, "de"},
        {"", "fr_CA.UTF-8", "de_DE.UTF-8", nullptr, "fr"},
        {"pt_BR.UTF-8", "fr_FR", "de_DE", nullptr, "pt"},
        {"C.UTF-8", nullptr, "de_DE.UTF-8", "de", ""},
        {nullptr, nullptr, "nl_NL.UTF-8", "sv:it:de", "it"},
        {nullptr, nullptr, "es_ES@euro", "en_GB:de", ""},
        {nullptr, nullptr, "ja_JP.UTF-8", nullptr, ""},
        {nullptr, nullptr, nullptr, "de", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LanguageFromEnvironment(c.lcAll, c.lcMessages, c.lang, c.language), c.expected)
            << (c.lang ? c.lang : "-") << " " << (c.language ? c.language : "-");
}

}  // namespace
