// Where the program reads its data and writes its state.
#pragma once

#include <string>

// The data folder: $QUILLFEN_DATA_DIR when set; else <exe>/../share/quillfen-solitaire when that
// exists; else <exe>/data.
std::string DataDirectory();
// Resolves a name as the program spells it ("artwork\title.jpg") against the data folder.
// Backslashes become slashes; when the exact spelling does not exist, case is ignored.
std::string DataPath(const char* name);
// $XDG_CONFIG_HOME/quillfen-solitaire (default ~/.config/quillfen-solitaire); created on demand.
std::string ConfigDirectory();
// $XDG_RUNTIME_DIR/quillfen-solitaire, else a private 0700 folder under /tmp; created on demand.
// Undo files and the single-instance lock live here, never in the data folder.
std::string RuntimeDirectory();
// Full path of the running executable's folder.
std::string ExecutableDirectory();

// Names a data file the program cannot use in one line on standard error, with what is lost
// ("the card faces are drawn blank"): whether it is missing, unreadable or damaged. Each file is
// named once per run, however often it is asked for. Thread-safe.
void ReportUnusableDataFile(const std::string& path, const std::string& consequence);
