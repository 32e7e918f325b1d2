// The audio device of the scripted back end. Nothing is heard: a playing buffer consumes its
// bytes as the back end's clock advances, and waiting on it advances that clock, so an effect
// that blocks the caller for half a second of virtual time ends at once in real time.
//
// Everything the buffers play is recorded, so tests can check what would have been heard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio_device.h"

std::unique_ptr<AudioDevice> CreateVirtualAudioDevice();

// What the virtual devices have done since the last reset (process-wide; tests reset it).
struct VirtualAudioLog {
    int buffersCreated = 0;
    WaveFormat lastFormat;       // of the newest buffer
    uint32_t lastBufferSize = 0;
    std::vector<uint8_t> played;  // every byte played, in order, up to kMaximumRecordedBytes
    int stops = 0;

    static constexpr size_t kMaximumRecordedBytes = 16u << 20;
};
VirtualAudioLog& VirtualAudio();
void ResetVirtualAudio();
