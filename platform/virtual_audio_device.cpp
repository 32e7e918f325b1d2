#include "platform/virtual_audio_device.h"

#include <algorithm>

#include "platform/backend.h"

namespace {

VirtualAudioLog audioLog;
// Mixed in pieces no longer than the real device's, so effects asked for between two mixes
// start when they were asked for.
constexpr uint64_t kMixFrames = 1024;

class VirtualAudioDevice;
VirtualAudioDevice* liveDevice = nullptr;

class VirtualAudioDevice : public AudioDevice {
public:
    VirtualAudioDevice() : originMs(GetTickCount64()) {
        liveDevice = this;
        audioLog.originMs = originMs;
        audioLog.firstFrame = 0;
        audioLog.output.clear();
    }
    ~VirtualAudioDevice() override {
        if (liveDevice == this) liveDevice = nullptr;
    }

    void PlayEffect(std::shared_ptr<const EffectSound> sound) override {
        CatchUp();
        if (sound) audioLog.requests.push_back({sound->name, GetTickCount64()});
        voices.Start(std::move(sound));
    }
    void StopEffects() override {
        CatchUp();
        ++audioLog.stops;
        voices.StopAll();
    }

    uint64_t OriginMs() const { return originMs; }
    uint64_t FramesMixed() const { return voices.FramesMixed(); }

    // Mixes every frame due by the clock.
    void CatchUp() {
        const uint64_t due = (GetTickCount64() - originMs) * kOutputRate / 1000;
        while (voices.FramesMixed() < due) {
            const int frames = static_cast<int>(std::min(kMixFrames, due - voices.FramesMixed()));
            block.assign(static_cast<size_t>(frames) * 2, 0.0f);
            voices.Mix(block.data(), frames);
            limiter.Process(block.data(), frames);
            std::vector<float>& out = audioLog.output;
            if (out.size() + block.size() <= VirtualAudioLog::kMaximumRecordedSamples)
                out.insert(out.end(), block.begin(), block.end());
        }
    }

private:
    EffectVoices voices{kOutputRate};
    PeakLimiter limiter{kOutputRate};
    uint64_t originMs;
    std::vector<float> block;
};

}  // namespace

std::unique_ptr<AudioDevice> CreateVirtualAudioDevice() { return std::make_unique<VirtualAudioDevice>(); }

VirtualAudioLog& VirtualAudio() {
    if (liveDevice) liveDevice->CatchUp();
    return audioLog;
}

void ResetVirtualAudio() {
    audioLog = VirtualAudioLog{};
    if (liveDevice) {
        liveDevice->CatchUp();
        audioLog.output.clear();
        audioLog.originMs = liveDevice->OriginMs();
        audioLog.firstFrame = liveDevice->FramesMixed();
    }
}
