#include "platform/sdl_audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/midi_player.h"

namespace {

// About 23 ms of sound per callback: short enough that an effect starts promptly and that the
// segment notifications arrive close to their offsets.
constexpr int kCallbackFrames = 512;
constexpr int kBytesPerOutputFrame = 4;
constexpr uint32_t kEightBitSilence = 128;

class SdlSoundBuffer;

class SdlMixer : public AudioMixer {
public:
    ~SdlMixer() override {
        if (device != 0) SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    static void Callback(void* user, Uint8* stream, int length) {
        static_cast<SdlMixer*>(user)->Fill(reinterpret_cast<int16_t*>(stream), length / kBytesPerOutputFrame);
    }
    void Fill(int16_t* out, int frames);

    SDL_AudioDeviceID device = 0;
    SdlSoundBuffer* effect = nullptr;  // the buffer heard, guarded by the lock
    std::vector<float> mix;
};

class SdlSoundBuffer : public SoundBuffer {
public:
    SdlSoundBuffer(std::shared_ptr<SdlMixer> mixer, const WaveFormat& format, uint32_t bytes)
        : SoundBuffer(format, bytes), mixer(std::move(mixer)), data(bytes, 0) {
        frames = bytes / format.blockAlign;
        step = (uint64_t{format.samplesPerSecond} << 32) / AudioDevice::kOutputRate;
    }
    ~SdlSoundBuffer() override {
        std::lock_guard lock(mixer->Lock());
        if (mixer->effect == this) mixer->effect = nullptr;
    }

    bool SetNotificationOffsets(const std::vector<uint32_t>& values) override {
        for (uint32_t offset : values)
            if (offset >= size) return false;
        std::lock_guard lock(mixer->Lock());
        offsets = values;
        return true;
    }

    // Play never touches the region the caller fills (it lies ahead of the play position),
    // so the caller writes without holding the mixer's lock.
    uint8_t* Lock(uint32_t offset, uint32_t bytes) override {
        if (offset > size || bytes > size - offset || bytes == 0) return nullptr;
        return data.data() + offset;
    }
    void Unlock() override {}

    uint32_t PlayPosition() override {
        std::lock_guard lock(mixer->Lock());
        return frame * format.blockAlign;
    }
    void SetPlayPosition(uint32_t offset) override {
        std::lock_guard lock(mixer->Lock());
        if (offset >= size) return;
        frame = offset / format.blockAlign;
        fraction = 0;
    }
    bool PlayLooping() override {
        std::lock_guard lock(mixer->Lock());
        playing = true;
        mixer->effect = this;
        return true;
    }
    void Stop() override {
        std::lock_guard lock(mixer->Lock());
        if (!playing) return;
        playing = false;
        stopPending = true;
        signal.notify_all();
    }
    bool Playing() override {
        std::lock_guard lock(mixer->Lock());
        return playing;
    }
    BufferEvent WaitForEvent(uint32_t timeoutMs) override {
        std::unique_lock lock(mixer->Lock());
        signal.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return notifyPending || stopPending; });
        if (notifyPending) {
            notifyPending = false;
            return BufferEvent::kPassedOffset;
        }
        if (stopPending) {
            stopPending = false;
            return BufferEvent::kStopped;
        }
        return BufferEvent::kTimeout;
    }

    // Adds the buffer's sound to interleaved stereo output, stepping through the buffer at its
    // own rate (nearest sample). Runs on the audio thread with the lock held.
    void MixInto(float* out, int outputFrames) {
        if (!playing) return;
        const bool wasNotified = notifyPending;
        for (int i = 0; i < outputFrames; ++i) {
            float left, right;
            Sample(frame, &left, &right);
            out[2 * i] += left;
            out[2 * i + 1] += right;
            fraction += step;
            for (uint64_t passed = fraction >> 32; passed > 0; --passed) PassFrame();
            fraction &= 0xFFFFFFFFu;
        }
        if (notifyPending && !wasNotified) signal.notify_all();
    }

private:
    float Value(const uint8_t* p) const {
        if (format.bitsPerSample == 8) return (static_cast<float>(p[0]) - kEightBitSilence) / 128.0f;
        return static_cast<float>(static_cast<int16_t>(p[0] | (p[1] << 8))) / 32768.0f;
    }
    void Sample(uint32_t index, float* left, float* right) const {
        const uint8_t* p = data.data() + static_cast<size_t>(index) * format.blockAlign;
        *left = Value(p);
        *right = format.channels > 1 ? Value(p + format.bitsPerSample / 8) : *left;
    }
    void PassFrame() {
        const uint32_t first = frame * format.blockAlign;
        for (uint32_t offset : offsets)
            if (offset >= first && offset < first + format.blockAlign) notifyPending = true;
        if (++frame >= frames) frame = 0;
    }

    std::shared_ptr<SdlMixer> mixer;
    std::vector<uint8_t> data;
    std::vector<uint32_t> offsets;
    std::condition_variable signal;
    uint32_t frames = 0;
    uint32_t frame = 0;
    uint64_t fraction = 0;  // position between frames, 32.32 fixed point
    uint64_t step = 0;      // buffer frames per output frame, 32.32 fixed point
    bool playing = false;
    bool notifyPending = false;
    bool stopPending = false;
};

void SdlMixer::Fill(int16_t* out, int frames) {
    std::lock_guard lock(mutex);
    const size_t samples = static_cast<size_t>(frames) * 2;
    if (mix.size() < samples) mix.resize(samples);
    std::fill(mix.begin(), mix.begin() + static_cast<ptrdiff_t>(samples), 0.0f);
    if (music) music->RenderMusic(mix.data(), frames);
    if (effect) effect->MixInto(mix.data(), frames);
    for (size_t i = 0; i < samples; ++i) {
        const float value = std::clamp(mix[i], -1.0f, 1.0f);
        out[i] = static_cast<int16_t>(value * 32767.0f);
    }
}

class SdlAudioDevice : public AudioDevice {
public:
    explicit SdlAudioDevice(std::shared_ptr<SdlMixer> mixer) : mixer(std::move(mixer)) {}

    std::unique_ptr<SoundBuffer> CreateSoundBuffer(const WaveFormat& format, uint32_t bytes) override {
        // The mixer reads 8-bit unsigned and 16-bit signed samples; other formats are refused,
        // so such an effect is simply not heard.
        const bool pcm = format.formatTag == WaveFormat::kPcm &&
                         (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.channels > 0 &&
                         format.blockAlign >= format.channels * (format.bitsPerSample / 8) &&
                         format.samplesPerSecond > 0 && format.samplesPerSecond <= 4 * 48000;
        if (!pcm || bytes < format.blockAlign) return nullptr;
        return std::make_unique<SdlSoundBuffer>(mixer, format, bytes);
    }

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
