// The real program's audio device: one SDL output at 44100 Hz, 16-bit stereo, mixing the
// effect voices over the music.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio_device.h"

// After this long with neither an effect nor music sounding, the output closes until the next
// sound is asked for.
inline constexpr uint32_t kAudioIdleCloseMs = 3000;

// Null (after printing why) when SDL has no audio output, or only its dummy driver: nothing
// would be heard.
std::unique_ptr<AudioDevice> CreateSdlAudioDevice(uint32_t idleCloseMs = kAudioIdleCloseMs);
