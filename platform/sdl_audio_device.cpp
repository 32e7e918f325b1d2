#include "platform/sdl_audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/midi_player.h"

namespace {

// About 23 ms of sound per callback: an effect asked for starts within that long.
constexpr int kCallbackFrames = 512;
constexpr int kBytesPerOutputFrame = 4;

class SdlMixer : public AudioMixer {
public:
    ~SdlMixer() override {
        if (device != 0) SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    static void Callback(void* user, Uint8* stream, int length) {
        static_cast<SdlMixer*>(user)->Fill(reinterpret_cast<int16_t*>(stream), length / kBytesPerOutputFrame);
    }

    // Music first, the effects on top of it.
    void Fill(int16_t* out, int frames) {
        std::lock_guard lock(mutex);
        const size_t samples = static_cast<size_t>(frames) * 2;
        // Nothing sounds most of the time at an idle table: then the output is plain silence.
        if (!music && effects.Idle()) {
            std::fill(out, out + samples, int16_t{0});
            effects.Skip(frames);
            return;
        }
        if (mix.size() < samples) mix.resize(samples);
        std::fill(mix.begin(), mix.begin() + static_cast<ptrdiff_t>(samples), 0.0f);
        if (music) music->RenderMusic(mix.data(), frames);
        effects.Mix(mix.data(), frames);
        for (size_t i = 0; i < samples; ++i) {
            const float value = std::clamp(mix[i], -1.0f, 1.0f);
            out[i] = static_cast<int16_t>(value * 32767.0f);
        }
    }

    SDL_AudioDeviceID device = 0;
    EffectVoices effects{AudioDevice::kOutputRate};
    std::vector<float> mix;
};

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(std::shared_ptr<SdlMixer> mixer) : mixer(std::move(mixer)) {}

    // The voices keep their own small lock, so this never waits for the music being rendered.
    void PlayEffect(std::shared_ptr<const EffectSound> sound) override { mixer->effects.Start(std::move(sound)); }
    void StopEffects() override { mixer->effects.StopAll(); }

    std::unique_ptr<MusicPerformance> CreateMusicPerformance() override { return CreateMidiPerformance(mixer); }

private:
    std::shared_ptr<SdlMixer> mixer;
};

}  // namespace

std::unique_ptr<AudioDevice> CreateSdlAudioDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "quillfen-solitaire: no sound: %s\n", SDL_GetError());
        return nullptr;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (!driver || std::strcmp(driver, "dummy") == 0) {
        std::fprintf(stderr, "quillfen-solitaire: no sound (audio driver %s)\n", driver ? driver : "(none)");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    auto mixer = std::make_shared<SdlMixer>();
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(AudioDevice::kOutputRate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = AudioDevice::kOutputChannels;
    wanted.samples = kCallbackFrames;
    wanted.callback = &SdlMixer::Callback;
    wanted.userdata = mixer.get();
    // No changes allowed: SDL converts to whatever the hardware wants.
    mixer->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (mixer->device == 0) {
        // The mixer's destructor leaves the audio subsystem again.
        std::fprintf(stderr, "quillfen-solitaire: no sound: %s\n", SDL_GetError());
        return nullptr;
    }
    mixer->mix.resize(static_cast<size_t>(kCallbackFrames) * 2);
    std::fprintf(stderr, "quillfen-solitaire: audio driver %s\n", driver);
    SDL_PauseAudioDevice(mixer->device, 0);
    return std::make_unique<SdlAudioDevice>(std::move(mixer));
}
