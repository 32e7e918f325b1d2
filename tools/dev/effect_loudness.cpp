// Prints the loudness and spectrum table of the generated effects (every variant) as Markdown
// rows: the RMS of the loudest 50 ms and the peak, in dB below full scale, and the share of the
// file's energy in four bands (under 500 Hz, 500 Hz to 4 kHz, 4 to 12 kHz, above 12 kHz).
//
// Usage: effect_loudness <data folder>

#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <set>
#include <vector>

#include "audio/loudness.h"
#include "platform/wave_reader.h"

namespace {

constexpr double kBandEdges[] = {0, 500, 4000, 12000, 1e9};
constexpr int kBands = 4;

// In-place radix-2 FFT; the size is a power of two.
void Transform(std::vector<std::complex<double>>& x) {
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * M_PI / static_cast<double>(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < length / 2; ++k, w *= step) {
                const std::complex<double> a = x[start + k], b = x[start + k + length / 2] * w;
                x[start + k] = a + b;
                x[start + k + length / 2] = a - b;
            }
        }
    }
}

// The share of the whole file's energy (DC left out) in each band, in percent.
std::vector<double> BandShares(const std::vector<float>& samples, int rate) {
    size_t size = 1;
    while (size < samples.size()) size <<= 1;
    std::vector<std::complex<double>> spectrum(samples.begin(), samples.end());
    spectrum.resize(size);
    Transform(spectrum);
    std::vector<double> bands(kBands, 0.0);
    double total = 0;
    for (size_t bin = 1; bin <= size / 2; ++bin) {
        const double hz = static_cast<double>(bin) * rate / static_cast<double>(size);
        const double energy = std::norm(spectrum[bin]);
        total += energy;
        for (int b = 0; b < kBands; ++b)
            if (hz >= kBandEdges[b] && hz < kBandEdges[b + 1]) bands[b] += energy;
    }
    for (double& share : bands) share = 100.0 * share / std::max(total, 1e-30);
    return bands;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(argv[1]) / "SFX"))
        if (entry.path().extension() == ".wav") files.insert(entry.path());
    double quietest = 0, loudest = -100;
    std::printf("| effect | length | loudness (loudest 50 ms) | peak | < 500 Hz | 0.5-4 kHz | 4-12 kHz | > 12 kHz |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
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
        const std::vector<double> bands = BandShares(samples, rate);
        std::printf("| %s | %.0f ms | %.1f dB | %.1f dB | %.1f%% | %.1f%% | %.1f%% | %.2f%% |\n",
                    path.filename().c_str(), 1000.0 * samples.size() / rate, db,
                    loudness::ToDb(loudness::PeakOf(samples)), bands[0], bands[1], bands[2], bands[3]);
    }
    std::printf("\nSpread: %.1f dB over %zu files.\n", loudest - quietest, files.size());
    return 0;
}
