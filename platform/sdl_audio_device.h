// The real program's audio device: SDL outputs at 44100 Hz, 16-bit stereo, one for the music and
// one for the effect voices (or one carrying both where the system opens only one).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio_device.h"

// After this long with nothing of its own sounding, an output closes until its next sound is
// asked for.
inline constexpr uint32_t kAudioIdleCloseMs = 3000;

// Frames per period of the music's output: music is made ahead and waits for nothing, so it
// wakes its thread a quarter as often as the effects' output (AudioDevice::kPeriodFrames).
inline constexpr int kSdlMusicPeriodFrames = 4 * AudioDevice::kPeriodFrames;

// Null (after printing why) when SDL has no audio output, or only its dummy driver: nothing
// would be heard.
std::unique_ptr<AudioDevice> CreateSdlAudioDevice(uint32_t idleCloseMs = kAudioIdleCloseMs);
