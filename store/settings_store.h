// The program's settings: the value operations every part of the program reads and writes its
// settings with, the player list and the player's preferences. Everything lives below one key,
// kRootKey, under HKEY_CURRENT_USER (platform/registry.h keeps the tree in the settings file):
//
//   Preferences            "HumanName" (string), "DontShowAgain" (DWORD)
//   Preferences\<player>   "MusicEnabled", "SoundEnabled", "AutoGameOver" (DWORD, default 1),
//                          "Backdrop", "CardBack", "CardFront", "AnimationSpeed" (DWORD, default 0),
//                          "ShowTargets", "ShowVerdict" (DWORD, default 1)
//   Players                (no values)
//   Players\<player>       "Name" (string)
//   <game name>            the game's rule values and "DontShowAgain"
//   <game name>\Scores\<place>   high scores (store/high_scores.h)
//
// Every value is read with a default, and a missing value is stored with its default when first
// read, so the tree fills itself in as the program runs. Failures are silent: a key that cannot
// be opened makes reads return their defaults and writes do nothing.
//
// Keys are opened when needed and closed at once; nobody keeps one open. SettingsKey does both.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/settings_file.h"

inline constexpr std::string_view kRootKey = "SOFTWARE\\Quillfen Software\\Solitaire";
// Player numbers start here; a new player takes the first free number from it on.
constexpr int kFirstPlayerNumber = 20;
// Strings are read and written through a buffer of this many bytes, terminator included, so a
// stored text is at most kStringValueBytes - 1 bytes long.
constexpr size_t kStringValueBytes = 300;
constexpr int kSongCount = 6;
// Ranges of the appearance choices; a stored value outside them reads as 0.
constexpr uint32_t kBackdropCount = 6;
constexpr uint32_t kCardBackCount = 21;
constexpr uint32_t kCardFrontCount = 4;

// How fast cards slide: the player's "AnimationSpeed".
enum AnimationSpeed : uint32_t {
    kAnimationNormal = 0,
    kAnimationFast = 1,
    kAnimationOff = 2,  // cards appear at their place at once
};
constexpr uint32_t kAnimationSpeedCount = 3;

// "SOFTWARE\Quillfen Software\Solitaire" followed by "\" and the relative path (none: the root).
std::string SettingsPath(std::string_view relative);
std::string PreferencesPath();
std::string PlayerPreferencesPath(int player);
std::string PlayerPath(int player);
// The key of a game's rule values, e.g. GameSettingsPath("Klondike").
std::string GameSettingsPath(std::string_view gameName);

// A key opened with create-if-missing semantics (query and set access) for as long as the object
// lives. The open is not checked: on failure the value operations see kNoRegKey and fail quietly.
class SettingsKey {
public:
    explicit SettingsKey(std::string_view path) : key(RegCreateKey(path)) {}
    ~SettingsKey() { RegCloseKey(key); }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    operator RegKey() const { return key; }

private:
    RegKey key;
};

// Reads a value's first four bytes, whatever its type. When the value cannot be read (missing
// included), stores defaultValue as a DWORD under that name and returns it.
int32_t ReadDwordValue(RegKey key, std::string_view name, int32_t defaultValue);
// Reads a value into a kStringValueBytes buffer and returns the text before the first zero byte.
// When the value cannot be read (missing, or more than kStringValueBytes bytes), stores
// defaultValue as a string under that name and returns it.
std::string ReadStringValue(RegKey key, std::string_view name, std::string_view defaultValue);
void WriteDwordValue(RegKey key, std::string_view name, int32_t value);
// Stores the text as a string, cut to kStringValueBytes - 1 bytes (at a UTF-8 character boundary).
void WriteStringValue(RegKey key, std::string_view name, std::string_view text);

// The in-memory preferences, process-wide. The field names are those of the settings values.
// The music thread and the sound-effect player read MusicEnabled, SoundEnabled and SongEnabled
// while the interface thread may change them, so those are atomic words.
struct UserPreferences {
    int32_t CurrentPlayer = 0;  // -1 until a player is known
    std::string HumanName;      // the player chosen last in the player dialog
    uint32_t DontShowAgain = 0;  // 1: skip the player dialog at start-up
    std::atomic<uint32_t> MusicEnabled{0};  // 0 off, 1 on, 2 event music only
    std::atomic<uint32_t> SoundEnabled{0};
    uint32_t AutoGameOver = 0;
    // One flag per game song, in the order "Fast 1", "Slow 1", "Fast 2", "Rock", "Slow 2",
    // "Fast 3". Not stored.
    std::array<std::atomic<uint32_t>, kSongCount> SongEnabled{};
    uint32_t Backdrop = 0;   // table backdrop 0..5
    uint32_t CardBack = 0;   // card back 0..20
    uint32_t CardFront = 0;  // card front design 0..3
    uint32_t AnimationSpeed = kAnimationNormal;
    uint32_t ShowTargets = 1;  // mark where held cards may go
    uint32_t ShowVerdict = 1;  // say on the status line whether the deal can still be won
};

extern UserPreferences userPreferences;

// With CurrentPlayer -1: reads "HumanName" and "DontShowAgain" from Preferences. Otherwise
// reads the player's values from Preferences\<player>, turns on the first song only, and reads
// the appearance choices (each defaulting to 0; out-of-range values read as 0).
void LoadPreferences();
// Writes the player's music, sound, auto-game-over and appearance values to
// Preferences\<player>. Does nothing while no player is known (CurrentPlayer < 0).
void SavePlayerPreferences();
// The number of the player with exactly this name (bytes compared, case counts), adding the
// player at the first free number when none matches. The search stops at the first missing
// number, so a gap left by a deleted player is filled by the next new one.
int FindOrAddPlayer(std::string_view name);
// What follows an accepted player dialog: CurrentPlayer becomes the player of HumanName, and
// "HumanName" and "DontShowAgain" are stored in Preferences.
void AcceptPlayerChoice();
// The start-up order: no player known, global preferences loaded, the remembered player looked
// up, the player dialog run (selectPlayer; false when cancelled) unless DontShowAgain is set,
// then the player's preferences loaded. False when the dialog was cancelled: the program ends.
bool ChoosePlayerAtStartUp(const std::function<bool()>& selectPlayer);
