// Where the program reads its data and writes its state.
#pragma once

#include <string>

// The data folder: $QUILLFEN_DATA_DIR, else <exe>/../share/quillfen-solitaire, else <exe>/data
// (the first that exists; the last as the fallback).
std::string DataDirectory();
// Resolves a name as the program spells it ("artwork\title.jpg") against the data folder.
std::string DataPath(const char* name);
// $XDG_CONFIG_HOME/quillfen-solitaire (default ~/.config/quillfen-solitaire); created on demand.
std::string ConfigDirectory();
// $XDG_RUNTIME_DIR/quillfen-solitaire, else a private 0700 folder under /tmp; created on demand.
// Undo files and the single-instance lock live here, never in the data folder.
std::string RuntimeDirectory();
// Full path of the running executable's folder.
std::string ExecutableDirectory();
