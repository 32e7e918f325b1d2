// The audio device of the scripted back end. Nothing is heard: the effect voices are mixed as
// the back end's clock advances, and what they would have played is recorded, so tests can check
// when each effect started and what sounded. Starting an effect never advances the clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_device.h"

std::unique_ptr<AudioDevice> CreateVirtualAudioDevice();

// What the virtual devices have done since the last reset (process-wide; tests reset it).
struct VirtualAudioLog {
    struct Request {
        std::string name;
        uint64_t atMs = 0;  // the virtual time it was asked for
    };
    std::vector<Request> requests;  // every effect asked for, in order
    int stops = 0;
    // The mixed effects (interleaved stereo at the output rate, from the device's creation), up
    // to kMaximumRecordedSamples.
    std::vector<float> output;
    uint64_t originMs = 0;    // virtual time of the device's first frame
    uint64_t firstFrame = 0;  // the device frame output starts with

    // The index in output of the frame sounding at that virtual time.
    size_t FrameAt(uint64_t ms) const {
        return static_cast<size_t>((ms - originMs) * AudioDevice::kOutputRate / 1000 - firstFrame);
    }

    static constexpr size_t kMaximumRecordedSamples = 8u << 20;
};
// Mixes the live virtual device up to the current virtual time first.
VirtualAudioLog& VirtualAudio();
void ResetVirtualAudio();
