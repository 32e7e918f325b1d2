// The sound output the effect player and the music thread use, behind small interfaces so that
// the real program plays through SDL and the tests play on a virtual clock.
//
// An effect plays through a SoundBuffer: a ring of bytes in the effect file's own format that
// plays looping from a play position, can be locked and filled ahead of play, and tells its
// owner when play passes one of the registered offsets and when it stops. Music comes from a
// MusicPerformance that renders standard MIDI files into the same output.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The format of a wave file's "fmt " chunk. Formats other than PCM keep the extra bytes that
// follow the sixteen fixed ones.
struct WaveFormat {
    static constexpr uint16_t kPcm = 1;

    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSecond = 0;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> extra;
};

// What ended a wait on a sound buffer. When play passed an offset and the buffer stopped since
// the last wait, the passed offset is reported first.
enum class BufferEvent { kTimeout, kPassedOffset, kStopped };

class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;

    uint32_t Size() const { return size; }
    const WaveFormat& Format() const { return format; }

    // A buffer can be lost when the device goes away underneath it; Restore brings it back.
    virtual bool Lost() { return false; }
    virtual bool Restore() { return true; }
    // Play signals kPassedOffset each time the play position passes one of these byte offsets.
    // The buffer also signals kStopped whenever it stops. Offsets outside the buffer are refused.
    virtual bool SetNotificationOffsets(const std::vector<uint32_t>& offsets) = 0;
    // The region must lie inside the buffer; regions do not wrap around its end. The bytes may be
    // written until Unlock.
    virtual uint8_t* Lock(uint32_t offset, uint32_t bytes) = 0;
    virtual void Unlock() = 0;
    // Byte offset of the next byte to be played.
    virtual uint32_t PlayPosition() = 0;
    virtual void SetPlayPosition(uint32_t offset) = 0;
    virtual bool PlayLooping() = 0;
    virtual void Stop() = 0;
    virtual bool Playing() = 0;
    // Waits up to timeoutMs for play to pass a registered offset or for the buffer to stop.
    virtual BufferEvent WaitForEvent(uint32_t timeoutMs) = 0;

protected:
    SoundBuffer(const WaveFormat& format, uint32_t size) : format(format), size(size) {}

    WaveFormat format;
    uint32_t size;
};

// Plays standard MIDI files. Made on the interface thread, used only on the music thread.
class MusicPerformance {
public:
    virtual ~MusicPerformance() = default;
    // Heavy set-up (the instrument bank); called once, first thing on the music thread.
    virtual bool Initialise() = 0;
    // Loads a standard MIDI file and starts it from the beginning, replacing any song playing.
    // False when the file is missing or malformed; nothing plays then.
    virtual bool Play(const std::string& path) = 0;
    // Stops at once and forgets the song.
    virtual void Stop() = 0;
    // True once the song playing has reached its last event.
    virtual bool SongEnded() = 0;
};

class AudioDevice {
public:
    // The output format every buffer is converted to.
    static constexpr uint32_t kOutputRate = 22050;
    static constexpr uint16_t kOutputChannels = 2;

    virtual ~AudioDevice() = default;
    // A buffer of the given format and size, silent and stopped; null when the device cannot
    // play the format. Only one effect buffer is heard at a time: the newest.
    virtual std::unique_ptr<SoundBuffer> CreateSoundBuffer(const WaveFormat& format, uint32_t bytes) = 0;
    // A music performance mixed into this device's output; null when the device has none.
    virtual std::unique_ptr<MusicPerformance> CreateMusicPerformance() { return nullptr; }
};

// Asks the installed back end for its audio device. Null when there is no back end, no sound
// hardware, or only the dummy driver: the program then runs silent.
std::unique_ptr<AudioDevice> OpenAudioDevice();
