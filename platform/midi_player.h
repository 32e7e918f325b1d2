// Music for the real program: FluidSynth plays standard MIDI files with a General MIDI
// soundfont, rendered into the SDL device's output next to the effects.
#pragma once

#include <memory>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio_device.h"

// Loaded by explicit path: the distribution's "default" soundfont links vary with what else
// is installed, and the songs were balanced with these. The first is preferred (fuller,
// multi-sampled instruments; uncompressed, so only the instruments a song selects are read);
// the second is the small fallback when it is absent.
inline constexpr const char* kSoundFontPaths[] = {"/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                                  "/usr/share/sounds/sf2/TimGM6mb.sf2"};

// The first of the candidates that exists as a file; empty when none does.
std::string ChooseSoundFont(const std::vector<std::string>& candidates);
// The soundfont the program plays with: ChooseSoundFont over kSoundFontPaths.
std::string InstalledSoundFont();

// Something that adds sound to the device's output. Called on the audio thread with the
// mixer's lock held.
class MusicRenderer {
public:
    virtual ~MusicRenderer() = default;
    // Writes frames of interleaved stereo at AudioDevice::kOutputRate into out (overwriting it).
    virtual void RenderMusic(float* out, int frames) = 0;
};

// The part of the output device music plays through.
class AudioMixer {
public:
    virtual ~AudioMixer() = default;
    // The lock the audio thread holds while it mixes; take it to change what it mixes.
    std::mutex& Lock() { return mutex; }
    // Must be called with the lock held. Null removes the renderer.
    void SetMusicRenderer(MusicRenderer* renderer) { music = renderer; }
    // Without the lock: something is about to sound, so an output closed while silent opens.
    virtual void Wake() {}
    // The music alone, for rendering songs to a file: takes the lock itself.
    void RenderMusicOnly(float* out, int frames) {
        std::lock_guard lock(mutex);
        if (music) {
            music->RenderMusic(out, frames);
        } else {
            for (int i = 0; i < 2 * frames; ++i) out[i] = 0.0f;
        }
    }

protected:
    std::mutex mutex;
    MusicRenderer* music = nullptr;
};

// A performance that renders into the mixer. Initialise loads the first of the soundfonts that
// exists and loads (one that exists but does not load is named on standard error, and the next
// is tried).
std::unique_ptr<MusicPerformance> CreateMidiPerformance(
    std::shared_ptr<AudioMixer> mixer,
    std::vector<std::string> soundFonts = std::vector<std::string>(std::begin(kSoundFontPaths), std::end(kSoundFontPaths)));
