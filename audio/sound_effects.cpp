#include "audio/sound_effects.h"

#include <atomic>
#include <cstring>
#include <map>

#include "audio/audio_preferences.h"
#include "audio/music.h"
#include "platform/paths.h"

namespace {

// The folder name is put in front of the effect's name in a buffer of this size; longer names
// are not effects of ours.
constexpr size_t kPathBufferBytes = 256;
constexpr char kEffectFolder[] = "SFX\\";

std::atomic<bool> soundReady{false};
std::unique_ptr<AudioDevice> audioDevice;
// Decoded effects by name; only the interface thread touches it.
std::map<std::string, std::shared_ptr<const EffectSound>> effectCache;

std::shared_ptr<const EffectSound> LoadEffect(const std::string& name) {
    const auto cached = effectCache.find(name);
    if (cached != effectCache.end()) return cached->second;
    WaveReader reader;
    if (!reader.OpenFile(DataPath((kEffectFolder + name).c_str()))) return nullptr;
    auto sound = DecodeEffect(reader, name);
    // Only good files are kept: a missing one may still appear, and costs one failed open.
    if (sound) effectCache.emplace(name, sound);
    return sound;
}

}  // namespace

int InitSound(HWND) {
    if (soundReady) return 0;
    audioDevice = OpenAudioDevice();
    if (!audioDevice) return -1;
    StartMusicThread(audioDevice->CreateMusicPerformance());
    soundReady = true;
    return 0;
}

bool SoundReady() { return soundReady; }

void PlaySoundEffect(const char* name) {
    if (!name || !*name || !soundReady || !audioDevice) return;
    if (std::strlen(kEffectFolder) + std::strlen(name) >= kPathBufferBytes) return;
    if (!SoundEffectsEnabled()) return;
    if (auto sound = LoadEffect(name)) audioDevice->PlayEffect(std::move(sound));
}

void ShutdownSound() {
    soundReady = false;
    if (audioDevice) audioDevice->StopEffects();
    StopMusicThread();
    audioDevice.reset();
    effectCache.clear();
}
