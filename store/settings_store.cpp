#include "store/settings_store.h"

#include <cstring>

UserPreferences userPreferences;

namespace {

constexpr size_t kDwordBytes = 4;

// A text as it fits the string buffer: at most kStringValueBytes - 1 bytes, cut before a UTF-8
// character that would not fit whole.
std::string_view FittedText(std::string_view text) {
    if (text.size() < kStringValueBytes) return text;
    size_t cut = kStringValueBytes - 1;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

uint32_t InRange(int32_t value, uint32_t count) {
    const auto choice = static_cast<uint32_t>(value);
    return choice < count ? choice : 0;
}

}  // namespace

std::string SettingsPath(std::string_view relative) {
    std::string path(kRootKey);
    if (!relative.empty()) {
        path += '\\';
        path += relative;
    }
    return path;
}

std::string PreferencesPath() { return SettingsPath("Preferences"); }
std::string PlayerPreferencesPath(int player) { return SettingsPath("Preferences\\" + std::to_string(player)); }
std::string PlayerPath(int player) { return SettingsPath("Players\\" + std::to_string(player)); }
std::string GameSettingsPath(std::string_view gameName) { return SettingsPath(gameName); }

int32_t ReadDwordValue(RegKey key, std::string_view name, int32_t defaultValue) {
    // Whatever the value's type, its first bytes are taken; bytes it does not fill stay zero.
    unsigned char bytes[kDwordBytes] = {};
    uint32_t size = sizeof bytes;
    if (RegQueryValue(key, name, nullptr, bytes, &size) != kRegOk) {
        WriteDwordValue(key, name, defaultValue);
        return defaultValue;
    }
    const uint32_t value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

std::string ReadStringValue(RegKey key, std::string_view name, std::string_view defaultValue) {
    char buffer[kStringValueBytes] = {};
    uint32_t size = sizeof buffer;
    if (RegQueryValue(key, name, nullptr, buffer, &size) != kRegOk) {
        const std::string_view text = FittedText(defaultValue);
        WriteStringValue(key, name, text);
        return std::string(text);
    }
    return std::string(buffer, strnlen(buffer, size));
}

void WriteDwordValue(RegKey key, std::string_view name, int32_t value) {
    RegSetDword(key, name, static_cast<uint32_t>(value));
}

void WriteStringValue(RegKey key, std::string_view name, std::string_view text) {
    RegSetString(key, name, FittedText(text));
}

void LoadPreferences() {
    UserPreferences& preferences = userPreferences;
    // Defaults written back on a first run are saved together.
    RegistryBatch batch;
    if (preferences.CurrentPlayer == -1) {
        const SettingsKey key(PreferencesPath());
        preferences.HumanName = ReadStringValue(key, "HumanName", "");
        preferences.DontShowAgain = static_cast<uint32_t>(ReadDwordValue(key, "DontShowAgain", 0));
        return;
    }
    const SettingsKey key(PlayerPreferencesPath(preferences.CurrentPlayer));
    for (int song = 0; song < kSongCount; ++song) preferences.SongEnabled[song] = song == 0 ? 1 : 0;
    preferences.MusicEnabled = static_cast<uint32_t>(ReadDwordValue(key, "MusicEnabled", 1));
    preferences.SoundEnabled = static_cast<uint32_t>(ReadDwordValue(key, "SoundEnabled", 1));
    preferences.AutoGameOver = static_cast<uint32_t>(ReadDwordValue(key, "AutoGameOver", 1));
    // The drawing code indexes artwork with these, so a hand-edited value must not escape.
    preferences.Backdrop = InRange(ReadDwordValue(key, "Backdrop", 0), kBackdropCount);
    preferences.CardBack = InRange(ReadDwordValue(key, "CardBack", 0), kCardBackCount);
    preferences.CardFront = InRange(ReadDwordValue(key, "CardFront", 0), kCardFrontCount);
    preferences.AnimationSpeed = InRange(ReadDwordValue(key, "AnimationSpeed", kAnimationNormal), kAnimationSpeedCount);
    preferences.ShowTargets = ReadDwordValue(key, "ShowTargets", 1) != 0;
    preferences.ShowVerdict = ReadDwordValue(key, "ShowVerdict", 1) != 0;
}

void SavePlayerPreferences() {
    const UserPreferences& preferences = userPreferences;
    if (preferences.CurrentPlayer < 0) return;
    RegistryBatch batch;
    const SettingsKey key(PlayerPreferencesPath(preferences.CurrentPlayer));
    WriteDwordValue(key, "MusicEnabled", static_cast<int32_t>(preferences.MusicEnabled.load()));
    WriteDwordValue(key, "SoundEnabled", static_cast<int32_t>(preferences.SoundEnabled.load()));
    WriteDwordValue(key, "AutoGameOver", static_cast<int32_t>(preferences.AutoGameOver));
    WriteDwordValue(key, "Backdrop", static_cast<int32_t>(preferences.Backdrop));
    WriteDwordValue(key, "CardBack", static_cast<int32_t>(preferences.CardBack));
    WriteDwordValue(key, "CardFront", static_cast<int32_t>(preferences.CardFront));
    WriteDwordValue(key, "AnimationSpeed", static_cast<int32_t>(preferences.AnimationSpeed));
    WriteDwordValue(key, "ShowTargets", static_cast<int32_t>(preferences.ShowTargets));
    WriteDwordValue(key, "ShowVerdict", static_cast<int32_t>(preferences.ShowVerdict));
}

int FindOrAddPlayer(std::string_view name) {
    RegistryBatch batch;
    { const SettingsKey players(SettingsPath("Players")); }
    // Names are stored cut to the string buffer, so they are compared in that form.
    const std::string_view wanted = FittedText(name);
    for (int player = kFirstPlayerNumber;; ++player) {
        const std::string path = PlayerPath(player);
        const RegKey probe = RegOpenKey(path);
        if (probe == kNoRegKey) {
            const SettingsKey key(path);
            WriteStringValue(key, "Name", wanted);
            return player;
        }
        RegCloseKey(probe);
        const SettingsKey key(path);
        if (ReadStringValue(key, "Name", "") == wanted) return player;
    }
}

void AcceptPlayerChoice() {
    UserPreferences& preferences = userPreferences;
    RegistryBatch batch;
    preferences.CurrentPlayer = FindOrAddPlayer(preferences.HumanName);
    const SettingsKey key(PreferencesPath());
    WriteStringValue(key, "HumanName", preferences.HumanName);
    WriteDwordValue(key, "DontShowAgain", static_cast<int32_t>(preferences.DontShowAgain));
}

bool ChoosePlayerAtStartUp(const std::function<bool()>& selectPlayer) {
    UserPreferences& preferences = userPreferences;
    preferences.CurrentPlayer = -1;
    LoadPreferences();
    if (!preferences.HumanName.empty()) preferences.CurrentPlayer = FindOrAddPlayer(preferences.HumanName);
    if (preferences.DontShowAgain == 0 && !selectPlayer()) return false;
    LoadPreferences();
    return true;
}
