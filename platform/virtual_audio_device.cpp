#include "platform/virtual_audio_device.h"

#include <algorithm>

#include "platform/backend.h"

namespace {

VirtualAudioLog audioLog;

// Waits are served in steps this long, so an event is seen within a millisecond of virtual
// time of its offset being played.
constexpr uint32_t kWaitStepMs = 1;

class VirtualSoundBuffer : public SoundBuffer {
public:
    VirtualSoundBuffer(const WaveFormat& format, uint32_t bytes) : SoundBuffer(format, bytes), data(bytes, 0) {}

    bool SetNotificationOffsets(const std::vector<uint32_t>& values) override {
        for (uint32_t offset : values)
            if (offset >= size) return false;
        offsets = values;
        return true;
    }

    uint8_t* Lock(uint32_t offset, uint32_t bytes) override {
        CatchUp();
        if (offset > size || bytes > size - offset || bytes == 0) return nullptr;
        return data.data() + offset;
    }
    void Unlock() override {}

    uint32_t PlayPosition() override {
        CatchUp();
        return position;
    }
    void SetPlayPosition(uint32_t offset) override {
        CatchUp();
        if (offset < size) position = offset - offset % format.blockAlign;
    }

    bool PlayLooping() override {
        CatchUp();
        if (!playing) {
            playing = true;
            originMs = GetTickCount64();
            framesSinceOrigin = 0;
        }
        return true;
    }

    void Stop() override {
        CatchUp();
        if (!playing) return;
        playing = false;
        stopPending = true;
        ++audioLog.stops;
    }

    bool Playing() override {
        CatchUp();
        return playing;
    }

    BufferEvent WaitForEvent(uint32_t timeoutMs) override {
        for (uint32_t waited = 0;; waited += kWaitStepMs) {
            CatchUp();
            if (notifyPending) {
                notifyPending = false;
                return BufferEvent::kPassedOffset;
            }
            if (stopPending) {
                stopPending = false;
                return BufferEvent::kStopped;
            }
            if (waited >= timeoutMs) return BufferEvent::kTimeout;
            SleepMs(kWaitStepMs);
        }
    }

private:
    // Plays every frame due by the clock: the frames since play started, at the format's rate.
    void CatchUp() {
        if (!playing) return;
        const uint64_t elapsed = GetTickCount64() - originMs;
        const uint64_t due = elapsed * format.samplesPerSecond / 1000;
        while (framesSinceOrigin < due && playing) {
            PlayFrame();
            ++framesSinceOrigin;
        }
    }

    void PlayFrame() {
        const uint32_t frame = format.blockAlign;
        if (audioLog.played.size() + frame <= VirtualAudioLog::kMaximumRecordedBytes)
            audioLog.played.insert(audioLog.played.end(), data.begin() + position, data.begin() + position + frame);
        for (uint32_t offset : offsets)
            if (offset >= position && offset < position + frame) notifyPending = true;
        position += frame;
        if (position + frame > size) position = 0;
    }

    std::vector<uint8_t> data;
    std::vector<uint32_t> offsets;
    uint32_t position = 0;
    bool playing = false;
    bool notifyPending = false;
    bool stopPending = false;
    uint64_t originMs = 0;
    uint64_t framesSinceOrigin = 0;
};

class VirtualAudioDevice : public AudioDevice {
public:
    std::unique_ptr<SoundBuffer> CreateSoundBuffer(const WaveFormat& format, uint32_t bytes) override {
        // Any format is accepted, as long as frames and time can be counted in it.
        if (format.blockAlign == 0 || format.samplesPerSecond == 0 || bytes < format.blockAlign) return nullptr;
        ++audioLog.buffersCreated;
        audioLog.lastFormat = format;
        audioLog.lastBufferSize = bytes;
        return std::make_unique<VirtualSoundBuffer>(format, bytes);
    }
};

}  // namespace

std::unique_ptr<AudioDevice> CreateVirtualAudioDevice() { return std::make_unique<VirtualAudioDevice>(); }

VirtualAudioLog& VirtualAudio() { return audioLog; }

void ResetVirtualAudio() { audioLog = VirtualAudioLog{}; }
