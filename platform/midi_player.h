// Music for the real program: FluidSynth plays standard MIDI files with a General MIDI
// soundfont, rendered into the SDL device's output next to the effects.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/audio_device.h"

// Loaded by explicit path: the distribution's "default" soundfont links vary with what else
// is installed, and the songs were balanced with this one.
inline constexpr char kSoundFontPath[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

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

// A performance that renders into the mixer. The soundfont is loaded by Initialise.
std::unique_ptr<MusicPerformance> CreateMidiPerformance(std::shared_ptr<AudioMixer> mixer,
                                                        const std::string& soundFont = kSoundFontPath);
