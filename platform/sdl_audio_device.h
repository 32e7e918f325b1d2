// The real program's audio device: one SDL output at 22050 Hz, 16-bit stereo, mixing the
// current effect buffer and the music.
#pragma once

#include <memory>

#include "platform/audio_device.h"

// Null (after printing why) when SDL has no audio output, or only its dummy driver: nothing
// would be heard, and effects would then play at the dummy driver's whim.
std::unique_ptr<AudioDevice> CreateSdlAudioDevice();
