// Prints the loudness table of the generated effects (every variant) as Markdown rows: the RMS
// of the loudest 50 ms and the peak, in dB below full scale.
//
// Usage: effect_loudness <data folder>

#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

#include "audio/loudness.h"
#include "platform/wave_reader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(argv[1]) / "SFX"))
        if (entry.path().extension() == ".wav") files.insert(entry.path());
    double quietest = 0, loudest = -100;
    std::printf("| effect | length | loudness (loudest 50 ms) | peak |\n|---|---|---|---|\n");
    for (const auto& path : files) {
        WaveReader reader;
        if (!reader.OpenFile(path.string()) || reader.Format().bitsPerSample != 16 || reader.Format().channels != 1) {
            std::fprintf(stderr, "%s: not 16-bit mono\n", path.c_str());
            return 1;
        }
        std::vector<uint8_t> bytes(reader.DataSize());
        bytes.resize(reader.Read(bytes.data(), bytes.size()));
        std::vector<float> samples;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2)
            samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)) / 32768.0f);
        const int rate = static_cast<int>(reader.Format().samplesPerSecond);
        const double db = loudness::EffectDb(samples, 1, rate);
        quietest = std::min(quietest, db);
        loudest = std::max(loudest, db);
        std::printf("| %s | %.0f ms | %.1f dB | %.1f dB |\n", path.filename().c_str(), 1000.0 * samples.size() / rate, db,
                    loudness::ToDb(loudness::PeakOf(samples)));
    }
    std::printf("\nSpread: %.1f dB over %zu files.\n", loudest - quietest, files.size());
    return 0;
}
