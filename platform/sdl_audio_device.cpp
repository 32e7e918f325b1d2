#include "platform/sdl_audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/midi_player.h"

namespace {

constexpr int kBytesPerOutputFrame = 4;

// Music and effects play through two SDL outputs, each open only while its sound plays (and for
// a while after). An open output wakes its thread every period, paused or not; closed, it costs
// nothing. An effect must start within a period of being asked for, so its output's period is
// short; music waits for nothing, so its output runs in periods four times as long and, at a
// table where no effect sounds, the audio thread wakes a quarter as often. Where the system will
// not open the two at once, one output at the short period carries both. Opening and closing
// happen on a keeper thread of their own, so neither the interface thread nor an audio callback
// ever waits for a device: a sound asked for while its output is closed waits (an effect in the
// voices) and starts, in order, once the output is open.
class SdlMixer : public AudioMixer {
public:
    enum Stream { kMusicStream, kEffectStream };

    explicit SdlMixer(uint32_t idleCloseMs)
        : closeAfterFrames(uint64_t{AudioDevice::kOutputRate} * idleCloseMs / 1000) {
        for (int stream : {kMusicStream, kEffectStream}) {
            Output& output = outputs[stream];
            output.mixer = this;
            output.stream = static_cast<Stream>(stream);
            // Room for a period, so the audio thread does not allocate.
            output.mix.resize(2 * static_cast<size_t>(PeriodFrames(output.stream)));
        }
    }

    ~SdlMixer() override {
        {
            std::lock_guard lock(stateLock);
            quit = true;
        }
        changed.notify_one();
        if (keeper.joinable()) keeper.join();
        for (Output& output : outputs) CloseDevice(output);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // On the creating thread: opens the effects' output once, so a machine without sound says so
    // at once, and starts the keeper.
    bool Start() {
        Output& output = outputs[kEffectStream];
        {
            std::lock_guard lock(stateLock);
            output.isOpen = output.wanted = true;
        }
        if (!OpenDevice(output)) return false;
        keeper = std::thread([this] { Keep(); });
        return true;
    }

    // Any thread: a song is about to play. Returns at once.
    void Wake() override { WakeFor(kMusicStream); }
    // Any thread: a sound of `stream` is about to play. Returns at once.
    void WakeFor(Stream stream) {
        {
            std::lock_guard lock(stateLock);
            Output& output = outputs[single ? kEffectStream : stream];
            if (output.wanted) return;
            output.wanted = true;
        }
        changed.notify_one();
    }

    EffectVoices effects{AudioDevice::kOutputRate};

private:
    struct Output {
        SdlMixer* mixer = nullptr;
        Stream stream = kEffectStream;
        SDL_AudioDeviceID device = 0;  // the keeper's (the creating thread's before it starts)
        // The audio thread's, under the mixer's lock.
        std::vector<float> mix;
        PeakLimiter limiter{AudioDevice::kOutputRate};
        uint64_t silentFrames = 0;
        bool closeAsked = false;
        // Under stateLock.
        bool wanted = false;
        bool isOpen = false;
    };

    static int PeriodFrames(Stream stream) { return stream == kMusicStream ? kSdlMusicPeriodFrames : AudioDevice::kPeriodFrames; }

    static void Callback(void* user, Uint8* stream, int length) {
        auto* output = static_cast<Output*>(user);
        output->mixer->Fill(*output, reinterpret_cast<int16_t*>(stream), length / kBytesPerOutputFrame);
    }

    // What an output plays, with the mixer's lock held: the effects' output carries the music
    // too where it is the only one.
    bool CarriesMusic(const Output& output) const { return output.stream == kMusicStream || single; }
    bool CarriesEffects(const Output& output) const { return output.stream == kEffectStream; }

    // Music first, the effects on top of it.
    void Fill(Output& output, int16_t* out, int frames) {
        std::lock_guard lock(mutex);
        const size_t samples = static_cast<size_t>(frames) * 2;
        const bool withMusic = CarriesMusic(output) && music;
        const bool withEffects = CarriesEffects(output) && !effects.Idle();
        // Nothing sounds most of the time at an idle table: then the output is plain silence.
        if (!withMusic && !withEffects) {
            std::fill(out, out + samples, int16_t{0});
            if (CarriesEffects(output)) effects.Skip(frames);
            output.silentFrames += static_cast<uint64_t>(frames);
            if (output.silentFrames >= closeAfterFrames && !output.closeAsked) {
                output.closeAsked = true;
                AskClose(output);
            }
            return;
        }
        output.silentFrames = 0;
        output.closeAsked = false;
        std::vector<float>& mix = output.mix;
        if (mix.size() < samples) mix.resize(samples);
        std::fill(mix.begin(), mix.begin() + static_cast<ptrdiff_t>(samples), 0.0f);
        if (withMusic) {
            music->RenderMusic(mix.data(), frames);
            if (!CarriesEffects(output)) NoteMusicPeak(mix.data(), samples);
        }
        if (withEffects) {
            effects.Mix(mix.data(), frames);
            output.limiter.SetCeiling(CarriesMusic(output) ? PeakLimiter::kCeiling : EffectCeiling());
        }
        output.limiter.ProcessTo(mix.data(), frames, out);
    }

    // The system adds the two outputs after each one's limiter, so the effects keep under what the
    // music's recent peaks leave below the ceiling (the music's peaks stay far under it). The
    // music's output plays a few of its periods behind what it renders, so the last four count.
    void NoteMusicPeak(const float* samples, size_t count) {
        float peak = 0.0f;
        for (size_t i = 0; i < count; ++i) peak = std::max(peak, std::abs(samples[i]));
        musicPeaks[nextPeak++ % musicPeaks.size()] = peak;
    }
    float EffectCeiling() const {
        const float musicPeak = music ? *std::max_element(musicPeaks.begin(), musicPeaks.end()) : 0.0f;
        return std::max(PeakLimiter::kCeiling - musicPeak, 0.5f);
    }

    // The audio thread, with the mixer's lock held: only asks; the keeper closes the device.
    void AskClose(Output& output) {
        {
            std::lock_guard lock(stateLock);
            output.wanted = false;
        }
        changed.notify_one();
    }

    // True when the output's next period would not be silence.
    bool Busy(const Output& output) {
        std::lock_guard lock(mutex);
        return (CarriesMusic(output) && music != nullptr) || (CarriesEffects(output) && !effects.Idle());
    }

    // Under stateLock: an output to open or close, or null.
    Output* Pending() {
        for (Output& output : outputs)
            if (output.wanted != output.isOpen) return &output;
        return nullptr;
    }

    void Keep() {
        std::unique_lock lock(stateLock);
        for (;;) {
            changed.wait(lock, [this] { return quit || Pending(); });
            if (quit) return;
            Output& output = *Pending();
            const bool open = output.wanted;
            lock.unlock();
            bool nowOpen = open;
            if (open) {
                nowOpen = OpenDevice(output);
            } else {
                CloseDevice(output);
                // A sound asked for between the callback's last look and the close found the
                // output still wanted, so it did not wake us: it is waiting now.
                if (Busy(output)) nowOpen = OpenDevice(output);
            }
            lock.lock();
            output.isOpen = nowOpen;
            if (!open && nowOpen) output.wanted = true;
            if (!open || nowOpen) continue;
            // A device that would not open leaves its sound silent, not stuck retrying; one that
            // would not open beside the other's leaves the effects' output to carry both.
            output.wanted = false;
            if (!single && outputs[output.stream == kMusicStream ? kEffectStream : kMusicStream].isOpen) {
                lock.unlock();
                UseOneOutput();
                lock.lock();
            }
        }
    }

    // From now on the effects' output carries the music too, and the music's stays closed.
    void UseOneOutput() {
        Output& musicOutput = outputs[kMusicStream];
        CloseDevice(musicOutput);
        {
            std::scoped_lock both(mutex, stateLock);
            single = true;
            musicOutput.isOpen = musicOutput.wanted = false;
        }
        WakeFor(kEffectStream);
    }

    bool OpenDevice(Output& output) {
        SDL_AudioSpec asked{};
        asked.freq = static_cast<int>(AudioDevice::kOutputRate);
        asked.format = AUDIO_S16SYS;
        asked.channels = AudioDevice::kOutputChannels;
        asked.samples = static_cast<Uint16>(PeriodFrames(output.stream));
        asked.callback = &SdlMixer::Callback;
        asked.userdata = &output;
        {
            std::lock_guard lock(mutex);
            output.silentFrames = 0;
            output.closeAsked = false;
        }
        // No changes allowed: SDL converts to whatever the hardware wants.
        output.device = SDL_OpenAudioDevice(nullptr, 0, &asked, nullptr, 0);
        if (output.device == 0) {
            std::fprintf(stderr, "quillfen-solitaire: no sound: %s\n", SDL_GetError());
            return false;
        }
        SDL_PauseAudioDevice(output.device, 0);
        return true;
    }

    // Waits for the output's audio thread to end, so never with the mixer's lock held.
    static void CloseDevice(Output& output) {
        if (output.device != 0) SDL_CloseAudioDevice(output.device);
        output.device = 0;
    }

    const uint64_t closeAfterFrames;
    std::array<Output, 2> outputs;
    std::array<float, 4> musicPeaks{};  // under the mixer's lock
    size_t nextPeak = 0;
    std::mutex stateLock;  // guards wanted, isOpen, quit; never held while a device changes
    std::condition_variable changed;
    bool single = false;  // the effects' output carries the music too: written under both locks
    bool quit = false;
    std::thread keeper;
};

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(std::shared_ptr<SdlMixer> mixer) : mixer(std::move(mixer)) {}

    // The voices keep their own small lock, so this never waits for the music being rendered.
    void PlayEffect(std::shared_ptr<const EffectSound> sound) override {
        mixer->effects.Start(std::move(sound));
        mixer->WakeFor(SdlMixer::kEffectStream);
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
