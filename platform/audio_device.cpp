#include "platform/audio_device.h"

#include "platform/backend.h"

std::unique_ptr<AudioDevice> OpenAudioDevice() {
    Backend* backend = CurrentBackend();
    return backend ? backend->CreateAudioDevice() : nullptr;
}
