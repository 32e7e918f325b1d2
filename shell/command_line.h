// The program's command line: window-mode choices, a game and deal to start with, the language,
// --help and --version.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

enum class WindowModeOption { Remembered, FullScreen, Window, Classic };

struct CommandLineOptions {
    WindowModeOption windowMode = WindowModeOption::Remembered;
    // --game NAME (as on the selection screen, case and spaces ignored) and --deal NUMBER: start
    // straight into that game, with that deal when given. 0: the selection screen.
    int gameNumber = 0;
    std::optional<uint32_t> dealNumber;
    // --lang CODE: the language for this run instead of the environment's ("de", "fr", "en").
    std::string language;
    bool showHelp = false;
    bool showVersion = false;
};

// Parses argv; prints --help/--version text or a one-line error itself; returns the options, or
// std::nullopt with an exit status (0 after help/version, 2 on an error). Help and version go to
// out, errors to err. With chooseLanguage the language is settled first (--lang, else the
// environment), so that help and errors are in it; tests parse without, in English.
std::optional<CommandLineOptions> ParseCommandLine(std::span<const char* const> argv, int* exitStatus,
                                                   std::FILE* out = stdout, std::FILE* err = stderr,
                                                   bool chooseLanguage = true);
