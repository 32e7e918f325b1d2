// The player's sound and music choices, read from the settings store's preferences. The music
// thread reads them too; the store keeps them in atomic words for that reason.
#pragma once

#include <array>
#include <cstdint>

constexpr int kGameSongCount = 6;

enum MusicMode : uint32_t {
    kMusicDisabled = 0,
    kMusicEnabled = 1,
    kEventMusicOnly = 2,  // only the won and lost tunes
};

struct MusicChoice {
    uint32_t mode = kMusicDisabled;
    std::array<bool, kGameSongCount> songs{};  // "Fast 1", "Slow 1", "Fast 2", "Rock", "Slow 2", "Fast 3"
};

bool SoundEffectsEnabled();
uint32_t CurrentMusicMode();
bool GameSongEnabled(int index);  // false outside 0..5
MusicChoice CurrentMusicChoice();
// Puts the choice into the preferences and saves the player's preferences (the mode is stored,
// the song flags live only as long as the player's session).
void StoreMusicChoice(const MusicChoice& choice);
