// The real program's audio device: one SDL output at 22050 Hz, 16-bit stereo, mixing the
// effect voices over the music.
#pragma once

#include <memory>

#include "platform/audio_device.h"

// Null (after printing why) when SDL has no audio output, or only its dummy driver: nothing
// would be heard.
std::unique_ptr<AudioDevice> CreateSdlAudioDevice();
