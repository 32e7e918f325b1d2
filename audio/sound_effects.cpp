#include "audio/sound_effects.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>

#include "audio/audio_preferences.h"
#include "audio/music.h"
#include "platform/paths.h"

namespace {

constexpr int32_t kEightBitSilence = 128;
// The folder name is put in front of the effect's name in a buffer of this size; longer names
// are not effects of ours.
constexpr size_t kPathBufferBytes = 256;
constexpr char kEffectFolder[] = "SFX\\";

std::atomic<bool> soundReady{false};
std::unique_ptr<AudioDevice> audioDevice;
// Decoded effects by name; only the interface thread touches it.
std::map<std::string, std::shared_ptr<const EffectSound>> effectCache;

int16_t SampleAt(const uint8_t* p, uint16_t bits) {
    if (bits == 8) return static_cast<int16_t>((static_cast<int32_t>(p[0]) - kEightBitSilence) * 256);
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

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

std::shared_ptr<const EffectSound> DecodeEffect(WaveReader& reader, const std::string& name) {
    const WaveFormat& format = reader.Format();
    const uint16_t bits = format.bitsPerSample;
    const uint32_t sampleBytes = bits / 8u;
    const bool playable = format.formatTag == WaveFormat::kPcm && (bits == 8 || bits == 16) &&
                          format.channels > 0 && format.blockAlign >= format.channels * sampleBytes &&
                          format.samplesPerSecond > 0;
    if (!playable) return nullptr;
    const uint64_t inputFrames = reader.DataSize() / format.blockAlign;
    const uint64_t maximumInput = uint64_t{format.samplesPerSecond} * kMaximumEffectSeconds;
    std::vector<uint8_t> data(static_cast<size_t>(std::min(inputFrames, maximumInput)) * format.blockAlign);
    data.resize(reader.Read(data.data(), data.size()));
    const uint64_t frames = data.size() / format.blockAlign;
    if (frames == 0) return nullptr;

    auto sound = std::make_shared<EffectSound>();
    sound->name = name;
    const uint64_t outputFrames = frames * AudioDevice::kOutputRate / format.samplesPerSecond;
    sound->samples.resize(static_cast<size_t>(outputFrames) * 2);
    for (uint64_t i = 0; i < outputFrames; ++i) {
        const uint64_t source = i * format.samplesPerSecond / AudioDevice::kOutputRate;
        const uint8_t* p = data.data() + source * format.blockAlign;
        const int16_t left = SampleAt(p, bits);
        const int16_t right = format.channels > 1 ? SampleAt(p + sampleBytes, bits) : left;
        sound->samples[2 * i] = left;
        sound->samples[2 * i + 1] = right;
    }
    return sound;
}

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
