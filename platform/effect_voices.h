// Sound effects mixed on a few voices. An effect is decoded once into the output format; starting
// it only queues a request, which the audio thread picks up at its next mixing period, so the
// caller never waits for a sound.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// An effect in the output format: interleaved stereo at AudioDevice::kOutputRate.
struct EffectSound {
    std::string name;
    std::vector<int16_t> samples;
    uint32_t Frames() const { return static_cast<uint32_t>(samples.size() / 2); }
};

class EffectVoices {
public:
    static constexpr int kVoices = 4;
    // Effects asked for at the same moment start this far apart, in the order they were asked
    // for, so a move sound is still heard before the flip that follows it when slides are off.
    static constexpr uint32_t kSpacingMs = 30;

    explicit EffectVoices(uint32_t outputRate);

    // Any thread; returns at once. The effect starts at the next mixing period.
    void Start(std::shared_ptr<const EffectSound> sound);
    // Any thread: silences every voice at the next mixing period and drops queued effects.
    void StopAll();
    // The audio thread: adds the voices into interleaved stereo output of this many frames.
    void Mix(float* out, int frames);

    // The audio thread: true when nothing sounds and nothing is asked for, so the output of the
    // next period is silence. Skip then stands for Mix.
    bool Idle();
    void Skip(int frames) { mixed += static_cast<uint64_t>(frames > 0 ? frames : 0); }

    // Only while no Mix runs at the same time (the mixer's lock held, or a single thread).
    int Sounding() const;
    uint64_t FramesMixed() const { return mixed; }

private:
    struct Voice {
        std::shared_ptr<const EffectSound> sound;
        uint32_t position = 0;    // next frame of the sound
        uint64_t startFrame = 0;  // output frame at which it begins
    };
    void Schedule(std::shared_ptr<const EffectSound> sound);
    Voice& VoiceFor(const EffectSound& sound);

    const uint64_t spacingFrames;
    std::mutex requestLock;  // guards requests and stopRequested only: never held while mixing
    std::vector<std::shared_ptr<const EffectSound>> requests;
    bool stopRequested = false;
    std::vector<std::shared_ptr<const EffectSound>> taken;  // the audio thread's copy of requests
    std::array<Voice, kVoices> voices;
    uint64_t mixed = 0;
    uint64_t lastStart = 0;
    std::shared_ptr<const EffectSound> lastScheduled;  // the effect asked for last
};

class PeakLimiter {
public:
    static constexpr float kCeiling = 0.95f;
    // The gain climbs back by at most this many dB per second.
    static constexpr double kReleaseDbPerSecond = 30.0;

    explicit PeakLimiter(uint32_t rate) : rate(rate) {}

    // Scales interleaved stereo in place.
    void Process(float* samples, int frames);
    // Process, then to 16 bits.
    void ProcessTo(float* samples, int frames, int16_t* out);
    float Gain() const { return gain; }
    // A lower ceiling for what follows, where other sound is added after this (at most kCeiling).
    void SetCeiling(float value) { ceiling = std::min(value, kCeiling); }

private:
    uint32_t rate;
    float gain = 1.0f;
    float ceiling = kCeiling;
};
