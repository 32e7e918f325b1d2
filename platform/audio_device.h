// The sound output the effect player and the music thread use, behind small interfaces so that
// the real program plays through SDL and the tests play on a virtual clock.
//
// Effects are decoded once into the output format and mixed on a few voices (EffectVoices);
// starting one never waits. Music comes from a MusicPerformance that renders standard MIDI files
// into the same output, under the effects.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/effect_voices.h"

// The format of a wave file's "fmt " chunk. Formats other than PCM keep the extra bytes that
// follow the sixteen fixed ones.
struct WaveFormat {
    static constexpr uint16_t kPcm = 1;

    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> extra;
};

// Plays standard MIDI files. Made on the interface thread, used only on the music thread.
class MusicPerformance {
public:
    virtual ~MusicPerformance() = default;
    // Heavy set-up (the instrument bank); called once, first thing on the music thread.
    virtual bool Initialise() = 0;
    // Loads a standard MIDI file and starts it from the beginning, replacing any song playing.
    // False when the file is missing or malformed; nothing plays then.
    virtual bool Play(const std::string& path) = 0;
    // Stops at once and forgets the song.
    virtual void Stop() = 0;
    // True once the song playing has reached its last event.
    virtual bool SongEnded() = 0;
    // Called on the audio thread, once per song, when the song playing reaches its last event,
    // so whoever waits for the end need not keep asking. The notice must not wait for anything.
    virtual void SetEndNotice(std::function<void()> notice) { (void)notice; }
};

class AudioDevice {
public:
    // The output format every buffer is converted to.
    static constexpr uint32_t kOutputRate = 44100;
    static constexpr uint16_t kOutputChannels = 2;
    // Frames per output period: about 23 ms, so an effect asked for starts within that long.
    static constexpr int kPeriodFrames = 1024;

    virtual ~AudioDevice() = default;
    // Starts an effect next to whatever sounds already and returns at once (EffectVoices says
    // how voices are shared). Effects start in the order they are asked for.
    virtual void PlayEffect(std::shared_ptr<const EffectSound> sound) = 0;
    // Silences every effect.
    virtual void StopEffects() = 0;
    // A music performance mixed into this device's output; null when the device has none.
    virtual std::unique_ptr<MusicPerformance> CreateMusicPerformance() { return nullptr; }
};

// Asks the installed back end for its audio device. Null when there is no back end, no sound
// hardware, or only the dummy driver: the program then runs silent.
std::unique_ptr<AudioDevice> OpenAudioDevice();
