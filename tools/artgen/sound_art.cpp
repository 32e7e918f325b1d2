#include "tools/artgen/sound_art.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kEffectSampleRate;
// Peak level of the loudest effect; the effects sit well below full scale beside the music.
constexpr double kPeakLevel = 0.55;
// The player streams effects in segments of 3/16 second and stops at the first segment
// boundary within a segment of the file's end, so a short effect is heard in full only when it
// fits in one segment. Every effect but the shuffle is kept that short.
constexpr double kEffectLength = 0.18;

// A small deterministic noise source (the same numbers on every machine).
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    double Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    }

private:
    uint32_t state;
};

using Track = std::vector<double>;

Track Silence(double seconds) { return Track(static_cast<size_t>(seconds * kRate), 0.0); }

// Adds source into track from the given time on, growing the track when needed.
void MixAt(Track& track, const Track& source, double atSeconds, double gain = 1.0) {
    const size_t start = static_cast<size_t>(atSeconds * kRate);
    if (track.size() < start + source.size()) track.resize(start + source.size(), 0.0);
    for (size_t i = 0; i < source.size(); ++i) track[start + i] += source[i] * gain;
}

// A card landing on a card: a click of band-limited noise with a fast attack and a short
// decay, over a faint low knock from the table. brightness 0..1 opens the noise filter.
Track Snap(uint32_t seed, double decaySeconds, double brightness, double knockHz) {
    Noise noise(seed);
    const double length = decaySeconds * 6;
    Track out = Silence(length);
    double low = 0, lowSlow = 0;
    const double cutoff = 0.15 + 0.6 * brightness;  // one-pole low-pass coefficient
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.0008);
        const double envelope = attack * std::exp(-t / decaySeconds);
        // Band-pass: a fast low-pass less a slow one leaves the papery middle of the noise.
        const double n = noise.Next();
        low += cutoff * (n - low);
        lowSlow += 0.04 * (n - lowSlow);
        const double papery = (low - lowSlow) * envelope;
        const double knock = std::sin(2 * kPi * knockHz * t) * std::exp(-t / (decaySeconds * 0.7)) * attack;
        out[i] = papery * 1.6 + knock * 0.35;
    }
    return out;
}

// Card sliding over cloth: noise whose filter opens (rising) or closes (falling) over its length.
Track Swish(uint32_t seed, double seconds, bool rising) {
    Noise noise(seed);
    Track out = Silence(seconds);
    double low = 0, lowSlow = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double phase = static_cast<double>(i) / static_cast<double>(out.size());
        const double sweep = rising ? phase : 1.0 - phase;
        const double cutoff = 0.05 + 0.35 * sweep;
        const double n = noise.Next();
        low += cutoff * (n - low);
        lowSlow += 0.02 * (n - lowSlow);
        const double envelope = std::sin(kPi * phase);  // swells and fades
        out[i] = (low - lowSlow) * envelope * envelope * 0.9;
    }
    return out;
}

// A struck bell-like tone: a few inharmonic partials, each decaying at its own rate.
Track Chime(double frequency, double seconds, double level) {
    struct Partial {
        double ratio, gain, decay;
    };
    constexpr Partial kPartials[] = {{1.0, 1.0, 1.0}, {2.0, 0.35, 0.55}, {2.76, 0.18, 0.35}, {5.4, 0.06, 0.18}};
    Track out = Silence(seconds);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.002);
        double value = 0;
        for (const Partial& p : kPartials)
            value += p.gain * std::sin(2 * kPi * frequency * p.ratio * t) * std::exp(-t / (seconds * 0.3 * p.decay));
        // A short fade at the very end keeps the cut inaudible.
        const double tail = std::min(1.0, (seconds - t) / 0.02);
        out[i] = value * attack * tail * level;
    }
    return out;
}

// A soft, rounded low tone for "that did not work".
Track Bump(double frequency, double seconds, double level) {
    Track out = Silence(seconds);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        const double envelope = attack * std::exp(-t / (seconds * 0.28));
        // A little second harmonic gives the tone body without making it buzz; the pitch sags
        // slightly, like a soft wooden knock.
        const double f = frequency * (1.0 - 0.06 * t / seconds);
        const double value = std::sin(2 * kPi * f * t) + 0.25 * std::sin(4 * kPi * f * t);
        const double tail = std::min(1.0, (seconds - t) / 0.02);
        out[i] = value * envelope * tail * level;
    }
    return out;
}

// The riffle of a shuffle: a run of tiny snaps, quick in the middle, then the bridge settling.
Track Riffle(uint32_t seed) {
    Track out = Silence(0.1);
    Noise jitter(seed);
    double t = 0.02;
    constexpr int kCards = 40;
    for (int card = 0; card < kCards; ++card) {
        const double progress = static_cast<double>(card) / kCards;
        MixAt(out, Snap(seed + 17u * static_cast<uint32_t>(card), 0.004, 0.7, 900), t, 0.45 + 0.2 * progress);
        // Cards fall fastest in the middle of the riffle.
        const double gap = 0.022 - 0.012 * std::sin(kPi * progress);
        t += gap * (1.0 + 0.25 * jitter.Next());
    }
    MixAt(out, Swish(seed + 5, 0.35, false), t + 0.02, 0.8);
    MixAt(out, Snap(seed + 99, 0.02, 0.4, 140), t + 0.28, 1.0);
    return out;
}

std::vector<int16_t> Finish(const Track& track) {
    double peak = 1e-9;
    for (double v : track) peak = std::max(peak, std::abs(v));
    // Every effect is brought to the same peak, so none jumps out.
    const double scale = kPeakLevel / peak;
    std::vector<int16_t> samples(track.size());
    for (size_t i = 0; i < track.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(track[i] * scale, -1.0, 1.0) * 32767.0));
    return samples;
}

Track Trim(Track track, double seconds) {
    track.resize(static_cast<size_t>(seconds * kRate), 0.0);
    // Fade the last 10 ms so a cut never clicks.
    const size_t fade = static_cast<size_t>(0.01 * kRate);
    for (size_t i = 0; i < fade && i < track.size(); ++i) track[track.size() - 1 - i] *= static_cast<double>(i) / fade;
    return track;
}

struct EffectRecipe {
    const char* name;
    std::function<Track()> render;
};

std::vector<EffectRecipe> Recipes() {
    return {
        {"deal.wav",
         [] {
             Track t = Silence(0.05);
             MixAt(t, Snap(11, 0.01, 0.65, 220), 0.00, 0.8);
             MixAt(t, Snap(12, 0.01, 0.6, 210), 0.05, 0.9);
             MixAt(t, Snap(13, 0.012, 0.55, 200), 0.10, 1.0);
             return Trim(t, kEffectLength);
         }},
        {"flip.wav",
         [] {
             Track t = Swish(21, 0.07, true);
             MixAt(t, Snap(22, 0.01, 0.75, 260), 0.06);
             return Trim(t, 0.16);
         }},
        {"foundation.wav",
         [] {
             Track t = Snap(31, 0.012, 0.6, 200);
             MixAt(t, Chime(1318.5, 0.16, 0.18), 0.015);  // E6
             MixAt(t, Chime(1975.5, 0.14, 0.07), 0.025);  // B6, a fifth above, faint
             return Trim(t, kEffectLength);
         }},
        {"tableau.wav", [] { return Trim(Snap(41, 0.015, 0.5, 170), 0.14); }},
        {"reserve.wav",
         [] {
             Track t = Swish(51, 0.05, false);
             MixAt(t, Snap(52, 0.013, 0.4, 150), 0.035);
             return Trim(t, 0.15);
         }},
        {"shuffle.wav", [] { return Trim(Riffle(61), 1.12); }},
        {"undo.wav",
         [] {
             Track t = Swish(71, 0.1, false);
             MixAt(t, Snap(72, 0.01, 0.35, 140), 0.08, 0.8);
             return Trim(t, kEffectLength);
         }},
        {"invalid.wav",
         [] {
             Track t = Bump(196.0, 0.17, 0.5);  // G3
             MixAt(t, Snap(81, 0.008, 0.3, 120), 0.0, 0.4);
             return Trim(t, kEffectLength);
         }},
        {"pair.wav",
         [] {
             Track t = Chime(1046.5, 0.1, 0.5);  // C6, then G6
             MixAt(t, Chime(1568.0, 0.11, 0.45), 0.065);
             return Trim(t, kEffectLength);
         }},
        {"nomatch1.wav",
         [] {
             Track t = Bump(220.0, 0.08, 0.45);  // A3 falling to F3
             MixAt(t, Bump(174.6, 0.1, 0.45), 0.075);
             return Trim(t, kEffectLength);
         }},
        {"button.wav",
         [] {
             Track t = Snap(91, 0.003, 0.9, 1200);
             MixAt(t, Chime(2093.0, 0.04, 0.12), 0.0);  // C7 tick
             return Trim(t, 0.05);
         }},
    };
}

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int sampleRate) {
    constexpr uint32_t kFormatBytes = 16;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutLittle(out, 4 + (8 + kFormatBytes) + (8 + dataBytes), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLittle(out, kFormatBytes, 4);
    PutLittle(out, 1, 2);  // PCM
    PutLittle(out, 1, 2);  // mono
    PutLittle(out, static_cast<uint32_t>(sampleRate), 4);
    PutLittle(out, static_cast<uint32_t>(sampleRate) * 2, 4);
    PutLittle(out, 2, 2);   // block alignment
    PutLittle(out, 16, 2);  // bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    PutLittle(out, dataBytes, 4);
    for (int16_t s : samples) PutLittle(out, static_cast<uint16_t>(s), 2);
    return out;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> RenderSoundEffects() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (const EffectRecipe& recipe : Recipes())
        files.emplace_back(std::string(kEffectFolder) + "/" + recipe.name,
                           EncodeWave(Finish(recipe.render()), kEffectSampleRate));
    return files;
}
