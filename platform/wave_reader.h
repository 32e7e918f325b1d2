// Reads the samples of a RIFF/WAVE file a piece at a time, from disk or from bytes in memory
// (tests, fuzzing), and converts an effect into the format the effect voices mix.
//
// Layout accepted: a "RIFF" chunk of form type "WAVE" holding a "fmt " chunk of at least 16
// bytes and a "data" chunk, other chunks skipped, every chunk padded to an even length. Chunk
// sizes that reach past the end of the file are cut to the bytes actually there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_device.h"

class WaveReader {
public:
    WaveReader() = default;
    ~WaveReader();
    WaveReader(const WaveReader&) = delete;
    WaveReader& operator=(const WaveReader&) = delete;

    // Each open closes what was open before. False (and closed) when the file is missing or
    // not a wave file as above.
    bool OpenFile(const std::string& path);
    bool OpenMemory(const uint8_t* bytes, size_t size);
    void Close();
    bool IsOpen() const { return open; }

    const WaveFormat& Format() const { return format; }
    // The RIFF chunk's size as the file states it (the bytes after its 8-byte header).
    uint32_t RiffSize() const { return riffSize; }
    // The size of the sample data that can be read.
    uint32_t DataSize() const { return dataSize; }
    uint32_t DataLeft() const { return dataSize - dataRead; }

    // Back to the first sample.
    bool Rewind();
    // Copies up to bytes of sample data; returns how many came (0 at the end of the data).
    size_t Read(uint8_t* out, size_t bytes);

private:
    bool Parse();
    bool ReadAt(uint64_t offset, void* out, size_t bytes);

    bool open = false;
    std::FILE* file = nullptr;
    std::vector<uint8_t> memory;
    uint64_t fileSize = 0;
    WaveFormat format;
    uint32_t riffSize = 0;
    uint64_t dataOffset = 0;
    uint32_t dataSize = 0;
    uint32_t dataRead = 0;
};

// The longest effect kept: longer files are cut here, so a stray large file costs little memory.
inline constexpr uint32_t kMaximumEffectSeconds = 10;

// Converts an opened wave file into the output format of the effect voices: 8-bit unsigned or
// 16-bit signed PCM with any number of channels (the first two are used; mono is heard on both
// sides) at any rate (nearest sample). Null for other formats and for files without a whole
// frame of data.
std::shared_ptr<const EffectSound> DecodeEffect(WaveReader& reader, const std::string& name);
