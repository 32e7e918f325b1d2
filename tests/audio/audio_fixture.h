// Helpers for the audio tests: wave files made in memory, and a data folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "tests/test_support.h"

namespace audiotest {

using test_support::PutLittle;

struct WaveRecipe {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    std::vector<uint8_t> extra{};  // written after a count for formats other than PCM
    std::vector<uint8_t> data{};
    uint16_t blockAlign = 0;      // 0: channels x bits / 8
    bool junkChunkFirst = false;  // an odd-sized chunk before "fmt " (padded to even)
};

inline std::vector<uint8_t> MakeWave(const WaveRecipe& wave) {
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    if (wave.junkChunkFirst) {
        body.insert(body.end(), {'L', 'I', 'S', 'T'});
        PutLittle(body, 3, 4);
        body.insert(body.end(), {1, 2, 3, 0});  // three bytes and the pad byte
    }
    const bool pcm = wave.formatTag == 1;
    body.insert(body.end(), {'f', 'm', 't', ' '});
    PutLittle(body, static_cast<uint32_t>(16 + (pcm ? 0 : 2 + wave.extra.size())), 4);
    const uint16_t blockAlign =
        wave.blockAlign != 0 ? wave.blockAlign : static_cast<uint16_t>(wave.channels * wave.bits / 8);
    PutLittle(body, wave.formatTag, 2);
    PutLittle(body, wave.channels, 2);
    PutLittle(body, wave.rate, 4);
    PutLittle(body, wave.rate * blockAlign, 4);
    PutLittle(body, blockAlign, 2);
    PutLittle(body, wave.bits, 2);
    if (!pcm) {
        PutLittle(body, static_cast<uint32_t>(wave.extra.size()), 2);
        body.insert(body.end(), wave.extra.begin(), wave.extra.end());
    }
    body.insert(body.end(), {'d', 'a', 't', 'a'});
    PutLittle(body, static_cast<uint32_t>(wave.data.size()), 4);
    body.insert(body.end(), wave.data.begin(), wave.data.end());
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F'};
    PutLittle(file, static_cast<uint32_t>(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// Sixteen-bit mono samples of a constant value.
inline std::vector<uint8_t> Samples16(size_t count, int16_t value) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < count; ++i) PutLittle(out, static_cast<uint16_t>(value), 2);
    return out;
}

using test_support::ReadBytes;
using test_support::WriteBytes;

// Points the program's data folder at a fresh temporary folder for the life of the object.
class TemporaryDataFolder {
public:
    const std::filesystem::path& Path() const { return folder.Path(); }

private:
    test_support::TempFolder folder{"audio"};
    test_support::ScopedEnvironment variable{"QUILLFEN_DATA_DIR", folder.String()};
};

// The folder the build generated the program's data into.
inline std::filesystem::path GeneratedDataFolder() {
    const char* dir = std::getenv("QUILLFEN_DATA_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::path();
}

}  // namespace audiotest
