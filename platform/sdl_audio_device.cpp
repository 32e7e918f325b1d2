#include "platform/sdl_audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/midi_player.h"

namespace {

constexpr int kCallbackFrames = AudioDevice::kPeriodFrames;
constexpr int kBytesPerOutputFrame = 4;

// The output device is open only while something sounds (and for a while after). An open SDL
// device wakes its thread every callback period to write silence, paused or not; closed, an
// idle table costs no audio work at all. Opening and closing happen on a keeper thread of their
// own, so neither the interface thread nor the audio callback ever waits for the device: an
// effect asked for while it is closed waits in the voices and starts, in order, once it is open.
class SdlMixer : public AudioMixer {
public:
    explicit SdlMixer(uint32_t idleCloseMs)
        : closeAfterFrames(uint64_t{AudioDevice::kOutputRate} * idleCloseMs / 1000) {}

    ~SdlMixer() override {
        {
            std::lock_guard lock(stateLock);
            quit = true;
        }
        changed.notify_one();
        if (keeper.joinable()) keeper.join();
        CloseDevice();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // On the creating thread: opens the device once, so a machine without sound says so at once,
    // and starts the keeper.
    bool Start() {
        {
            std::lock_guard lock(stateLock);
            isOpen = wanted = true;
        }
        if (!OpenDevice()) return false;
        keeper = std::thread([this] { Keep(); });
        return true;
    }

    // Any thread: something is about to sound. Returns at once.
    void Wake() override {
        {
            std::lock_guard lock(stateLock);
            if (wanted) return;
            wanted = true;
        }
        changed.notify_one();
    }

    static void Callback(void* user, Uint8* stream, int length) {
        static_cast<SdlMixer*>(user)->Fill(reinterpret_cast<int16_t*>(stream), length / kBytesPerOutputFrame);
    }

    EffectVoices effects{AudioDevice::kOutputRate};
    PeakLimiter limiter{AudioDevice::kOutputRate};  // the audio thread's, under the mixer's lock

private:
    // Music first, the effects on top of it.
    void Fill(int16_t* out, int frames) {
        std::lock_guard lock(mutex);
        const size_t samples = static_cast<size_t>(frames) * 2;
        // Nothing sounds most of the time at an idle table: then the output is plain silence.
        if (!music && effects.Idle()) {
            std::fill(out, out + samples, int16_t{0});
            effects.Skip(frames);
            silentFrames += static_cast<uint64_t>(frames);
            if (silentFrames >= closeAfterFrames && !closeAsked) {
                closeAsked = true;
                AskClose();
            }
            return;
        }
        silentFrames = 0;
        closeAsked = false;
        if (mix.size() < samples) mix.resize(samples);
        std::fill(mix.begin(), mix.begin() + static_cast<ptrdiff_t>(samples), 0.0f);
        if (music) music->RenderMusic(mix.data(), frames);
        effects.Mix(mix.data(), frames);
        limiter.ProcessTo(mix.data(), frames, out);
    }

    // The audio thread, with the mixer's lock held: only asks; the keeper closes the device.
    void AskClose() {
        {
            std::lock_guard lock(stateLock);
            wanted = false;
        }
        changed.notify_one();
    }

    // True when the next period would not be silence.
    bool Busy() {
        std::lock_guard lock(mutex);
        return music != nullptr || !effects.Idle();
    }

    void Keep() {
        std::unique_lock lock(stateLock);
        for (;;) {
            changed.wait(lock, [this] { return quit || wanted != isOpen; });
            if (quit) return;
            const bool open = wanted;
            lock.unlock();
            bool nowOpen = open;
            if (open) {
                nowOpen = OpenDevice();
            } else {
                CloseDevice();
                // An effect asked for between the callback's last look and the close found the
                // device still wanted, so it did not wake us: it is waiting in the voices now.
                if (Busy()) nowOpen = OpenDevice();
            }
            lock.lock();
            isOpen = nowOpen;
            // A device that would not open again leaves the program silent, not stuck retrying.
            if (open && !nowOpen) wanted = false;
            if (!open && nowOpen) wanted = true;
        }
    }

    bool OpenDevice() {
        SDL_AudioSpec asked{};
        asked.freq = static_cast<int>(AudioDevice::kOutputRate);
        asked.format = AUDIO_S16SYS;
        asked.channels = AudioDevice::kOutputChannels;
        asked.samples = kCallbackFrames;
        asked.callback = &SdlMixer::Callback;
        asked.userdata = this;
        silentFrames = 0;
        closeAsked = false;
        // No changes allowed: SDL converts to whatever the hardware wants.
        device = SDL_OpenAudioDevice(nullptr, 0, &asked, nullptr, 0);
        if (device == 0) {
            std::fprintf(stderr, "quillfen-solitaire: no sound: %s\n", SDL_GetError());
            return false;
        }
        SDL_PauseAudioDevice(device, 0);
        return true;
    }

    // Waits for the audio thread to end, so never with the mixer's lock held.
    void CloseDevice() {
        if (device != 0) SDL_CloseAudioDevice(device);
        device = 0;
    }

    const uint64_t closeAfterFrames;
    SDL_AudioDeviceID device = 0;  // the keeper's (the creating thread's before it starts)
    std::vector<float> mix = std::vector<float>(static_cast<size_t>(kCallbackFrames) * 2);
    // The audio thread's, under the mixer's lock.
    uint64_t silentFrames = 0;
    bool closeAsked = false;

    std::mutex stateLock;  // guards wanted, isOpen, quit; never held while the device changes
    std::condition_variable changed;
    bool wanted = false;
    bool isOpen = false;
    bool quit = false;
    std::thread keeper;
};

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(std::shared_ptr<SdlMixer> mixer) : mixer(std::move(mixer)) {}

    // The voices keep their own small lock, so this never waits for the music being rendered.
    void PlayEffect(std::shared_ptr<const EffectSound> sound) override {
        mixer->effects.Start(std::move(sound));
        mixer->Wake();
    }
    void StopEffects() override { mixer->effects.StopAll(); }

    std::unique_ptr<MusicPerformance> CreateMusicPerformance() override { return CreateMidiPerformance(mixer); }

private:
    std::shared_ptr<SdlMixer> mixer;
};

}  // namespace

std::unique_ptr<AudioDevice> CreateSdlAudioDevice(uint32_t idleCloseMs) {
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
    // The mixer's destructor leaves the audio subsystem again.
    auto mixer = std::make_shared<SdlMixer>(idleCloseMs);
    if (!mixer->Start()) return nullptr;
    std::fprintf(stderr, "quillfen-solitaire: audio driver %s\n", driver);
    return std::make_unique<SdlAudioDevice>(std::move(mixer));
}
