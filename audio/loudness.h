// Loudness measures shared by the sound generator, the tests and the loudness table: plain RMS in
// dB below full scale, over the loudest short window for an effect (a card snap is over in a few
// tens of milliseconds, so a long window would mostly measure silence) and gated over 400 ms
// blocks for a song (the silent lead-in and ring-out do not count).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace loudness {

inline constexpr double kEffectWindowSeconds = 0.05;
inline constexpr double kSongBlockSeconds = 0.4;
inline constexpr double kSongGateDb = -50.0;

inline double ToDb(double rms) { return 20.0 * std::log10(std::max(rms, 1e-9)); }

// samples: interleaved, values in -1..1.
inline double EffectDb(const std::vector<float>& samples, int channels, int rate) {
    const size_t window = static_cast<size_t>(kEffectWindowSeconds * rate) * static_cast<size_t>(channels);
    if (samples.empty()) return ToDb(0);
    double sum = 0, best = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
        if (i >= window) sum -= static_cast<double>(samples[i - window]) * samples[i - window];
        best = std::max(best, sum);
    }
    return ToDb(std::sqrt(best / static_cast<double>(std::min(window, samples.size()))));
}

inline double SongDb(const std::vector<float>& samples, int channels, int rate) {
    const size_t block = static_cast<size_t>(kSongBlockSeconds * rate) * static_cast<size_t>(channels);
    double kept = 0;
    size_t keptBlocks = 0;
    for (size_t start = 0; start + block <= samples.size(); start += block) {
        double sum = 0;
        for (size_t i = start; i < start + block; ++i) sum += static_cast<double>(samples[i]) * samples[i];
        const double mean = sum / static_cast<double>(block);
        if (ToDb(std::sqrt(mean)) < kSongGateDb) continue;
        kept += mean;
        ++keptBlocks;
    }
    return ToDb(keptBlocks ? std::sqrt(kept / static_cast<double>(keptBlocks)) : 0);
}

inline double PeakOf(const std::vector<float>& samples) {
    double peak = 0;
    for (float v : samples) peak = std::max(peak, static_cast<double>(std::abs(v)));
    return peak;
}

// A fourth-order Butterworth high-pass (two biquad sections): what of a sound lies above the
// cutoff, for the brightness of a song.
class HighPass {
public:
    HighPass(double cutoffHz, int rate) {
        const double w = 2 * M_PI * cutoffHz / rate, c = std::cos(w);
        for (int i = 0; i < 2; ++i) {
            const double alpha = std::sin(w) / (2 * (i == 0 ? 0.5412 : 1.3066)), a0 = 1 + alpha;
            stages[i] = {(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
        }
    }
    double Filter(double x) {
        for (Stage& s : stages) {
            const double y = s.b0 * x + s.z1;
            s.z1 = s.b1 * x - s.a1 * y + s.z2;
            s.z2 = s.b2 * x - s.a2 * y;
            x = y;
        }
        return x;
    }

private:
    struct Stage {
        double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
    };
    Stage stages[2];
};

}  // namespace loudness
