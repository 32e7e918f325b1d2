#include "audio/sound_effects.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "audio/audio_preferences.h"
#include "audio/music.h"
#include "platform/paths.h"

namespace {

// The folder name is put in front of the effect's name in a buffer of this size; longer names
// are not effects of ours.
constexpr size_t kPathBufferBytes = 256;
constexpr char kEffectFolder[] = "SFX\\";
// "deal.wav" may come with "deal-2.wav" up to "deal-8.wav"; the first missing one ends the set.
constexpr int kMostVariants = 8;
// Each time an effect plays, its pitch moves by up to this fraction and its level drops by up
// to this many dB, so a run of the same sound never repeats sample for sample.
constexpr double kPitchSpread = 0.025;
constexpr double kGainSpreadDb = 1.5;

std::atomic<bool> soundReady{false};
std::unique_ptr<AudioDevice> audioDevice;
using Variants = std::vector<std::shared_ptr<const EffectSound>>;
// Decoded effects by name, with their variants; only the interface thread touches it.
std::map<std::string, Variants> effectCache;
// Picks variants and their pitch and level. A generator of its own: the deals' generator
// (crt::rand) must not move when a sound plays.
std::minstd_rand variation;

std::string VariantName(const std::string& name, int variant) {
    if (variant == 0) return name;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return name + "-" + std::to_string(variant + 1);
    return name.substr(0, dot) + "-" + std::to_string(variant + 1) + name.substr(dot);
}

const Variants* LoadEffect(const std::string& name) {
    const auto cached = effectCache.find(name);
    if (cached != effectCache.end()) return &cached->second;
    Variants variants;
    for (int variant = 0; variant < kMostVariants; ++variant) {
        WaveReader reader;
        if (!reader.OpenFile(DataPath((kEffectFolder + VariantName(name, variant)).c_str()))) break;
        // Every variant carries the event's name: that is what the voices and the logs go by.
        auto sound = DecodeEffect(reader, name);
        if (!sound) break;
        variants.push_back(std::move(sound));
    }
    // Only good files are kept: a missing one may still appear, and costs one failed open.
    if (variants.empty()) {
        ReportUnusableDataFile(DataPath((kEffectFolder + name).c_str()), "the sound is not played");
        return nullptr;
    }
    return &effectCache.emplace(name, std::move(variants)).first->second;
}

// The sound resampled (linear interpolation) to pitch times its pitch, at gain.
std::shared_ptr<const EffectSound> Vary(const EffectSound& sound, double pitch, double gain) {
    auto varied = std::make_shared<EffectSound>();
    varied->name = sound.name;
    const uint32_t frames = sound.Frames();
    const auto outFrames = static_cast<uint32_t>(frames / pitch);
    varied->samples.resize(size_t{outFrames} * 2);
    for (uint32_t i = 0; i < outFrames; ++i) {
        const double position = i * pitch;
        const uint32_t at = static_cast<uint32_t>(position);
        const uint32_t next = std::min(at + 1, frames - 1);
        const double fraction = position - at;
        for (int side = 0; side < 2; ++side) {
            const double a = sound.samples[2 * size_t{at} + side], b = sound.samples[2 * size_t{next} + side];
            // Rounded half away from zero, as lround does, without a library call per sample
            // (a deal without animation varies a few dozen sounds at once).
            const double v = (a + (b - a) * fraction) * gain;
            varied->samples[2 * size_t{i} + side] = static_cast<int16_t>(v >= 0 ? v + 0.5 : v - 0.5);
        }
    }
    return varied;
}

// An effect with variants is varied; a lone file plays exactly as it is.
std::shared_ptr<const EffectSound> PickVariant(const Variants& variants) {
    if (variants.size() == 1) return variants[0];
    std::uniform_int_distribution<size_t> which(0, variants.size() - 1);
    std::uniform_real_distribution<double> pitch(1.0 - kPitchSpread, 1.0 + kPitchSpread);
    std::uniform_real_distribution<double> level(-kGainSpreadDb, 0.0);
    const EffectSound& chosen = *variants[which(variation)];
    const double p = pitch(variation);
    return Vary(chosen, p, std::pow(10.0, level(variation) / 20.0));
}

}  // namespace

int InitSound(HWND) {
    if (soundReady) return 0;
    audioDevice = OpenAudioDevice();
    if (!audioDevice) return -1;
    variation.seed(std::random_device{}());
    StartMusicThread(audioDevice->CreateMusicPerformance());
    soundReady = true;
    return 0;
}

bool SoundReady() { return soundReady; }

void PlaySoundEffect(const char* name) {
    if (!name || !*name || !soundReady || !audioDevice) return;
    if (std::strlen(kEffectFolder) + std::strlen(name) >= kPathBufferBytes) return;
    if (!SoundEffectsEnabled()) return;
    if (const Variants* variants = LoadEffect(name)) audioDevice->PlayEffect(PickVariant(*variants));
}

void ShutdownSound() {
    soundReady = false;
    if (audioDevice) audioDevice->StopEffects();
    StopMusicThread();
    audioDevice.reset();
    effectCache.clear();
}
