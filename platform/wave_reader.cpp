#include "platform/wave_reader.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kChunkHeaderBytes = 8;
constexpr uint32_t kFixedFormatBytes = 16;
// No effect file comes near this; a larger file is refused rather than streamed.
constexpr uint64_t kMaximumFileBytes = 1ull << 30;

uint16_t Little16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Little32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

constexpr int32_t kEightBitSilence = 128;

int16_t SampleAt(const uint8_t* p, uint16_t bits) {
    if (bits == 8) return static_cast<int16_t>((static_cast<int32_t>(p[0]) - kEightBitSilence) * 256);
    return static_cast<int16_t>(Little16(p));
}

}  // namespace

WaveReader::~WaveReader() { Close(); }

void WaveReader::Close() {
    if (file) std::fclose(file);
    file = nullptr;
    memory.clear();
    open = false;
    fileSize = 0;
    format = WaveFormat{};
    riffSize = dataSize = dataRead = 0;
    dataOffset = 0;
}

bool WaveReader::OpenFile(const std::string& path) {
    Close();
    file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    if (std::fseek(file, 0, SEEK_END) != 0) {
        Close();
        return false;
    }
    const long end = std::ftell(file);
    if (end < 0 || static_cast<uint64_t>(end) > kMaximumFileBytes) {
        Close();
        return false;
    }
    fileSize = static_cast<uint64_t>(end);
    if (!Parse()) {
        Close();
        return false;
    }
    return true;
}

bool WaveReader::OpenMemory(const uint8_t* bytes, size_t size) {
    Close();
    if (!bytes || size > kMaximumFileBytes) return false;
    memory.assign(bytes, bytes + size);
    fileSize = size;
    if (!Parse()) {
        Close();
        return false;
    }
    return true;
}

bool WaveReader::ReadAt(uint64_t offset, void* out, size_t bytes) {
    if (offset > fileSize || bytes > fileSize - offset) return false;
    if (!file) {
        std::memcpy(out, memory.data() + offset, bytes);
        return true;
    }
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, bytes, file) == bytes;
}

bool WaveReader::Parse() {
    uint8_t header[12];
    if (!ReadAt(0, header, sizeof header)) return false;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return false;
    riffSize = Little32(header + 4);
    // The subchunks lie between the form type and the end of the RIFF chunk (or of the file).
    const uint64_t riffEnd = std::min<uint64_t>(uint64_t{kChunkHeaderBytes} + riffSize, fileSize);

    bool haveFormat = false, haveData = false;
    uint64_t position = 12;
    while (position + kChunkHeaderBytes <= riffEnd && !(haveFormat && haveData)) {
        uint8_t chunk[kChunkHeaderBytes];
        if (!ReadAt(position, chunk, sizeof chunk)) return false;
        const uint32_t declared = Little32(chunk + 4);
        const uint64_t body = position + kChunkHeaderBytes;
        const uint64_t available = std::min<uint64_t>(declared, riffEnd - body);
        if (!haveFormat && std::memcmp(chunk, "fmt ", 4) == 0) {
            if (available < kFixedFormatBytes) return false;
            uint8_t fixed[kFixedFormatBytes];
            if (!ReadAt(body, fixed, sizeof fixed)) return false;
            format.formatTag = Little16(fixed);
            format.channels = Little16(fixed + 2);
            format.samplesPerSecond = Little32(fixed + 4);
            format.averageBytesPerSecond = Little32(fixed + 8);
            format.blockAlign = Little16(fixed + 12);
            format.bitsPerSample = Little16(fixed + 14);
            if (format.formatTag != WaveFormat::kPcm) {
                // Other formats carry a count of extra bytes and the bytes themselves.
                uint8_t count[2];
                if (available < kFixedFormatBytes + 2 || !ReadAt(body + kFixedFormatBytes, count, 2)) return false;
                const uint16_t extraBytes = Little16(count);
                if (available < kFixedFormatBytes + 2u + extraBytes) return false;
                format.extra.resize(extraBytes);
                if (extraBytes > 0 && !ReadAt(body + kFixedFormatBytes + 2, format.extra.data(), extraBytes))
                    return false;
            }
            haveFormat = true;
        } else if (!haveData && std::memcmp(chunk, "data", 4) == 0) {
            dataOffset = body;
            dataSize = static_cast<uint32_t>(available);
            haveData = true;
        }
        position = body + declared + (declared & 1);
    }
    if (!haveFormat || !haveData) return false;
    // Without whole sample frames nothing can be played or timed.
    if (format.blockAlign == 0 || format.samplesPerSecond == 0 || format.channels == 0) return false;
    dataRead = 0;
    open = true;
    return true;
}

bool WaveReader::Rewind() {
    if (!open) return false;
    dataRead = 0;
    return true;
}

size_t WaveReader::Read(uint8_t* out, size_t bytes) {
    if (!open || !out) return 0;
    const size_t count = std::min<size_t>(bytes, DataLeft());
    if (count == 0) return 0;
    if (!ReadAt(dataOffset + dataRead, out, count)) return 0;
    dataRead += static_cast<uint32_t>(count);
    return count;
}

std::shared_ptr<const EffectSound> DecodeEffect(WaveReader& reader, const std::string& name) {
    const WaveFormat& format = reader.Format();
    const uint16_t bits = format.bitsPerSample;
    const uint32_t sampleBytes = bits / 8u;
    const bool playable = format.formatTag == WaveFormat::kPcm && (bits == 8 || bits == 16) &&
                          format.channels > 0 && format.blockAlign >= format.channels * sampleBytes &&
                          format.samplesPerSecond > 0;
    if (!playable) return nullptr;
    const uint64_t inputFrames = reader.DataSize() / format.blockAlign;
    const uint64_t maximumInput = uint64_t{format.samplesPerSecond} * kMaximumEffectSeconds;
    std::vector<uint8_t> data(static_cast<size_t>(std::min(inputFrames, maximumInput)) * format.blockAlign);
    data.resize(reader.Read(data.data(), data.size()));
    const uint64_t frames = data.size() / format.blockAlign;
    if (frames == 0) return nullptr;

    auto sound = std::make_shared<EffectSound>();
    sound->name = name;
    const uint64_t outputFrames = frames * AudioDevice::kOutputRate / format.samplesPerSecond;
    sound->samples.resize(static_cast<size_t>(outputFrames) * 2);
    for (uint64_t i = 0; i < outputFrames; ++i) {
        const uint64_t source = i * format.samplesPerSecond / AudioDevice::kOutputRate;
        const uint8_t* p = data.data() + source * format.blockAlign;
        const int16_t left = SampleAt(p, bits);
        const int16_t right = format.channels > 1 ? SampleAt(p + sampleBytes, bits) : left;
        sound->samples[2 * i] = left;
        sound->samples[2 * i + 1] = right;
    }
    return sound;
}
