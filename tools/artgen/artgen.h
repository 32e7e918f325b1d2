// The artwork generator as a library: the artgen program and the tests call the same code.
// Every operation reports failure through its return value and a message; nothing throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Fonts are loaded by explicit path below this folder so the output never depends on what
// the font configuration of the machine happens to prefer.
inline constexpr char kSystemFontRoot[] = "/usr/share/fonts";

struct ArtgenOptions {
    std::filesystem::path outDir;
    std::filesystem::path assetsDir;  // may be empty or missing: nothing is copied then
    std::filesystem::path fontRoot = kSystemFontRoot;
};

// Renders every data file into options.outDir (created when missing). The same inputs give
// the same bytes on every run. On failure returns false with a message in *error.
bool GenerateArt(const ArtgenOptions& options, std::string* error);

// Draws sample text from the fonts in dataDir, the arrow sprites enlarged and the icon into
// a PNG for a person to judge.
bool WriteSampleSheet(const std::filesystem::path& dataDir, const std::filesystem::path& png,
                      std::string* error);

// --- Pieces, exposed for the sample sheet and the tests ---

// Writes bytes to a temporary file beside path, then renames it over path, so an interrupted
// build never leaves a half-written data file behind.
bool WriteFileAtomically(const std::filesystem::path& path, const std::vector<uint8_t>& bytes,
                         std::string* error);
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes);
