// Sound effects: short wave files from the "SFX" folder, played one at a time and
// synchronously. PlaySoundEffect returns only when the effect has ended, so the animation and
// input that follow wait for it.
//
// Every effect streams through one ring buffer of 16 segments of 3/16 second each. Each time
// play passes the end of a segment, the segment just played is filled with the next part of
// the file; once the file has run out the ring is padded with silence and stopped about one
// segment later.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_device.h"
#include "platform/messages.h"
#include "platform/wave_reader.h"

// Sets up the audio device, the effect stream and the music thread. Returns 0, or -1 when there
// is no sound device: the program then runs silent and without music.
int InitSound(HWND window);
// True from a successful InitSound until ShutdownSound.
bool SoundReady();
// Plays "SFX\<name>" and returns when it has ended. Does nothing when the name is empty or null,
// sound is not ready, or the player has switched effects off. Interface thread only.
void PlaySoundEffect(const char* name);
// Stops the effect, ends the music thread (waiting for it) and closes the device.
void ShutdownSound();

// The one streaming buffer every effect plays through.
class EffectStream {
public:
    static constexpr uint32_t kSegments = 16;
    // A segment holds 3/16 second of sound, so the ring holds three seconds.
    static constexpr uint32_t kSegmentSecondsNumerator = 3;
    static constexpr uint32_t kWaitMs = 10;
    static constexpr int kRefillRetries = 5;

    explicit EffectStream(AudioDevice* device);
    ~EffectStream();
    EffectStream(const EffectStream&) = delete;
    EffectStream& operator=(const EffectStream&) = delete;

    // Opens the file and makes a buffer for its format. False when the file cannot be read as a
    // wave file or the device refuses its format.
    bool Open(const std::string& path);
    // Fills the whole ring from the start of the data and starts looping play.
    bool Start();
    // Waits for the segment notifications, refilling on each, until the buffer stops.
    void PlayToEnd();
    // One notification's work: counts the bytes played, fills the segment just played and
    // stops the buffer once the end has been heard. False when the segment cannot be locked.
    bool Refill();
    void Stop();

    uint32_t SegmentSize() const { return segmentSize; }
    uint32_t BufferSize() const { return bufferSize; }
    uint64_t Progress() const { return progress; }
    bool EndOfFile() const { return endOfFile; }
    const WaveReader& Reader() const { return *reader; }
    SoundBuffer* Buffer() const { return buffer.get(); }

private:
    // Fills a locked region from the file, padding with silence once the data has run out.
    void Fill(uint8_t* region, uint32_t bytes);

    AudioDevice* device;
    std::unique_ptr<WaveReader> reader;
    std::unique_ptr<SoundBuffer> buffer;
    uint32_t bufferSize = 0;
    uint32_t segmentSize = 0;
    uint32_t nextWriteOffset = 0;
    uint64_t progress = 0;
    uint32_t lastPlayPosition = 0;
    bool endOfFile = false;
};
