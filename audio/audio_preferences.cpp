#include "audio/audio_preferences.h"

#include "store/settings_store.h"

static_assert(kGameSongCount == kSongCount, "the store keeps one flag per game song");

bool SoundEffectsEnabled() { return userPreferences.SoundEnabled.load() != 0; }

uint32_t CurrentMusicMode() { return userPreferences.MusicEnabled.load(); }

bool GameSongEnabled(int index) {
    if (index < 0 || index >= kGameSongCount) return false;
    return userPreferences.SongEnabled[static_cast<size_t>(index)].load() != 0;
}

MusicChoice CurrentMusicChoice() {
    MusicChoice choice;
    choice.mode = CurrentMusicMode();
    for (int i = 0; i < kGameSongCount; ++i) choice.songs[static_cast<size_t>(i)] = GameSongEnabled(i);
    return choice;
}

void StoreMusicChoice(const MusicChoice& choice) {
    // The songs first: the music thread may see the new mode at once and must then find the
    // songs that go with it.
    for (int i = 0; i < kGameSongCount; ++i)
        userPreferences.SongEnabled[static_cast<size_t>(i)].store(choice.songs[static_cast<size_t>(i)] ? 1u : 0u);
    userPreferences.MusicEnabled.store(choice.mode);
    SavePlayerPreferences();
}
