#include "audio/sound_effects.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "audio/audio_preferences.h"
#include "audio/music.h"
#include "platform/backend.h"
#include "platform/paths.h"

namespace {

constexpr uint8_t kEightBitSilence = 128;
constexpr uint8_t kSilence = 0;
// The folder name is put in front of the effect's name in a buffer of this size; longer names
// are not effects of ours.
constexpr size_t kPathBufferBytes = 256;
constexpr char kEffectFolder[] = "SFX\\";
// A lost buffer is given this many chances to come back before the effect is dropped.
constexpr int kRestoreAttempts = 100;
// A ring of this many bytes per segment would be minutes of sound: no effect of ours.
constexpr uint64_t kMaximumSegmentBytes = 4u << 20;
// When a device stops reporting play altogether (unplugged), an effect gives up after the time
// the whole ring takes to play plus this much, instead of blocking the interface for ever.
constexpr uint64_t kSilentDeviceGraceMs = 1000;

std::atomic<bool> soundReady{false};
std::unique_ptr<AudioDevice> audioDevice;
std::unique_ptr<EffectStream> effectStream;

}  // namespace

// --- EffectStream ---

EffectStream::EffectStream(AudioDevice* device) : device(device) {}

EffectStream::~EffectStream() { Stop(); }

bool EffectStream::Open(const std::string& path) {
    reader = std::make_unique<WaveReader>();
    if (!reader->OpenFile(path)) return false;
    buffer.reset();
    const WaveFormat& format = reader->Format();
    const uint64_t blockAlign = format.blockAlign;
    uint64_t segment = uint64_t{format.samplesPerSecond} * blockAlign * kSegmentSecondsNumerator / kSegments;
    segment -= segment % blockAlign;
    if (segment == 0 || segment > kMaximumSegmentBytes) return false;
    segmentSize = static_cast<uint32_t>(segment);
    bufferSize = kSegments * segmentSize;
    buffer = device ? device->CreateSoundBuffer(format, bufferSize) : nullptr;
    if (!buffer) return false;
    // Play signals at the last byte of every segment; the stop is signalled by the buffer itself.
    std::vector<uint32_t> offsets;
    for (uint32_t i = 1; i <= kSegments; ++i) offsets.push_back(segmentSize * i - 1);
    if (!buffer->SetNotificationOffsets(offsets)) {
        buffer.reset();
        return false;
    }
    return true;
}

bool EffectStream::Start() {
    if (!buffer || !reader) return false;
    for (int attempt = 0; buffer->Lost(); ++attempt) {
        if (attempt == kRestoreAttempts) return false;
        if (!buffer->Restore()) SleepMs(kWaitMs);
    }
    nextWriteOffset = 0;
    progress = 0;
    lastPlayPosition = 0;
    endOfFile = false;
    reader->Rewind();
    buffer->SetPlayPosition(0);
    uint8_t* region = buffer->Lock(0, bufferSize);
    if (!region) return false;
    Fill(region, bufferSize);
    buffer->Unlock();
    nextWriteOffset = 0;  // the whole ring was written: bufferSize modulo bufferSize
    return buffer->PlayLooping();
}

void EffectStream::Fill(uint8_t* region, uint32_t bytes) {
    const uint8_t silence = reader->Format().bitsPerSample == 8 ? kEightBitSilence : kSilence;
    size_t got = 0;
    if (!endOfFile) {
        got = reader->Read(region, bytes);
        if (got < bytes) endOfFile = true;
    }
    std::memset(region + got, silence, bytes - got);
}

bool EffectStream::Refill() {
    if (!buffer) return false;
    const uint32_t position = buffer->PlayPosition();
    progress += position >= lastPlayPosition ? position - lastPlayPosition : position + bufferSize - lastPlayPosition;
    lastPlayPosition = position;

    uint8_t* region = buffer->Lock(nextWriteOffset, segmentSize);
    if (!region) return false;
    Fill(region, segmentSize);
    buffer->Unlock();

    if (endOfFile) {
        // The file's last bytes were written at least a segment ahead of play, so play has
        // reached them once progress is within a segment of the file's size.
        const uint64_t riffSize = reader->RiffSize();
        const uint64_t stopAt = riffSize > segmentSize ? riffSize - segmentSize : riffSize;
        if (progress >= stopAt) buffer->Stop();
    }
    nextWriteOffset = (nextWriteOffset + segmentSize) % bufferSize;
    return true;
}

void EffectStream::PlayToEnd() {
    if (!buffer) return;
    const uint64_t ringMs = uint64_t{bufferSize} * 1000 / reader->Format().samplesPerSecond /
                            std::max<uint32_t>(reader->Format().blockAlign, 1);
    const uint64_t quietLimitMs = ringMs + kSilentDeviceGraceMs;
    uint64_t quietMs = 0;
    for (;;) {
        const BufferEvent event = buffer->WaitForEvent(kWaitMs);
        if (event == BufferEvent::kStopped) return;
        if (event == BufferEvent::kTimeout) {
            quietMs += kWaitMs;
            if (quietMs >= quietLimitMs) {
                Stop();
                return;
            }
            continue;
        }
        quietMs = 0;
        if (Refill()) continue;
        for (int retry = 1; retry <= kRefillRetries; ++retry) {
            SleepMs(kWaitMs);
            const bool refilled = Refill();
            if (retry == kRefillRetries) {
                Stop();
                return;
            }
            if (refilled) break;
        }
    }
}

void EffectStream::Stop() {
    if (buffer) buffer->Stop();
}

// --- The program's operations ---

int InitSound(HWND) {
    if (soundReady) return 0;
    audioDevice = OpenAudioDevice();
    if (!audioDevice) return -1;
    effectStream = std::make_unique<EffectStream>(audioDevice.get());
    StartMusicThread(audioDevice->CreateMusicPerformance());
    soundReady = true;
    return 0;
}

bool SoundReady() { return soundReady; }

void PlaySoundEffect(const char* name) {
    if (!name || !*name || !soundReady || !effectStream) return;
    if (std::strlen(kEffectFolder) + std::strlen(name) >= kPathBufferBytes) return;
    if (!SoundEffectsEnabled()) return;
    const std::string path = DataPath((std::string(kEffectFolder) + name).c_str());
    if (!effectStream->Open(path)) return;
    if (!effectStream->Start()) return;
    effectStream->PlayToEnd();
}

void ShutdownSound() {
    soundReady = false;
    effectStream.reset();
    StopMusicThread();
    audioDevice.reset();
}
