// A deal kept for resuming: one file per player and game in the state folder,
// $XDG_STATE_HOME/quillfen-solitaire (default ~/.local/state/quillfen-solitaire), named
// "player<n>-game<m>.sav". It holds the deal's number, the rule values it was dealt with, the
// table as it stands (as an undo record of the game), the points and the elapsed time, and the
// deal's undo records, oldest first, each with its note; and the game's whole position, which
// keeps what a record leaves out (how many waste cards are fanned, the stock's turns used).
//
// File layout, little-endian: "QFSG", version (4 bytes), game number, deal number, points,
// elapsed seconds, rule count and per rule (name length, name, text length, text), the table record (length,
// bytes), the record count and per record (length, bytes); from version 2 the position (length,
// bytes) and per record its note (position hashes of the record and of the next, 8 bytes each;
// same-move flag, 1 byte); then a 64-bit
// FNV-1a checksum of everything before it. Version 1 files are still read. A file is replaced by writing a temporary file and renaming it over the
// old one, the file and its folder synced, so a kill or a power cut leaves the old file or the
// new one, never a mixture. A file that does not read back whole is renamed aside (".bad-<time>")
// with a line on standard error.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

// What the game noted of an undo record: the hashes of the position it was taken in and of the
// one the next record was taken in, whether it belongs to the move of the record before it, and
// how many waste cards the table fanned then (none in a game without a fan).
struct SavedRecordNote {
    uint64_t position = 0, next = 0;
    bool sameMove = false;
    std::optional<int32_t> wasteFanned;
    bool operator==(const SavedRecordNote&) const = default;
};

struct SavedGame {
    int32_t gameNumber = 0;
    uint32_t dealNumber = 0;
    int32_t points = 0;
    int32_t elapsedSeconds = 0;
    // The game's rule values as stored in its settings key, each as text (numbers in decimal).
    std::vector<std::pair<std::string, std::string>> rules;
    std::vector<uint8_t> table;
    std::vector<std::vector<uint8_t>> history;
    // Empty when read from a version 1 file.
    std::vector<uint8_t> position;
    std::vector<SavedRecordNote> notes;  // one per history record
};

// Limits a reader holds a file to; nothing the program writes comes near them.
inline constexpr size_t kMaxSavedRecordBytes = 64 * 1024;
inline constexpr size_t kMaxSavedRecords = 20000;
inline constexpr size_t kMaxSavedRules = 64;
inline constexpr size_t kMaxRuleNameBytes = 255;
// The largest fan a note may claim, either way (a waste's count of cards dealt may fall below zero).
inline constexpr int32_t kMaxSavedFan = 1024;

std::vector<uint8_t> EncodeSavedGame(const SavedGame& game);
// The file's closing checksum (64-bit FNV-1a) over the bytes before it.
uint64_t SavedGameChecksum(std::span<const uint8_t> bytes);
// None for anything but a whole, intact file within the limits.
std::optional<SavedGame> DecodeSavedGame(std::span<const uint8_t> bytes);

// The state folder, created on demand.
std::string StateDirectory();
std::string SavedGamePath(int player, int gameNumber);

// Replaces the player's saved game of game.gameNumber, on disk when it returns. False when it
// could not be written.
bool WriteSavedGame(int player, const SavedGame& game);
// The same without waiting for the disk: the file is replaced at once (a kill loses nothing) and
// synced by a thread of its own. Discards and set-asides wait for it, and so does program exit.
bool WriteSavedGameSoon(int player, const SavedGame& game);
void FlushSavedGames();
// Why the last write of a saved game failed, in the system's words.
std::string SavedGameWriteError();
bool HasSavedGame(int player, int gameNumber);
// The saved game, or none: none saved, or a damaged file, which is then set aside (its new name
// in *keptAs).
std::optional<SavedGame> ReadSavedGame(int player, int gameNumber, std::string* keptAs = nullptr);
void DiscardSavedGame(int player, int gameNumber);
// Renames the file aside with a line on standard error (a file that reads but does not fit its
// game); returns its new name (empty when there was no file).
std::string SetSavedGameAside(int player, int gameNumber);
