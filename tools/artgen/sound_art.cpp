#include "tools/artgen/sound_art.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "audio/loudness.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = kEffectSampleRate;
// Every effect is brought to this loudness (RMS of its loudest 50 ms) with its peaks rounded off
// under kPeakCeiling, so the music's peaks and an effect add up below full scale (the mixer's
// limiter catches the rare pile of several).
constexpr double kTargetDb = -22.0;
constexpr double kPeakCeiling = 0.6;

// A small deterministic noise source (the same numbers on every machine).
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed * 2654435761u + 1u) {}
    double Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    }
    // A value in [low, high].
    double Between(double low, double high) { return low + (high - low) * (Next() + 1.0) / 2.0; }

private:
    uint32_t state;
};

// A two-pole filter (the usual audio-cookbook forms).
class Biquad {
public:
    static Biquad BandPass(double hz, double q) {
        const double w = 2 * kPi * hz / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        return Biquad(alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0);
    }
    static Biquad HighPass(double hz, double q) {
        const double w = 2 * kPi * hz / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
        return Biquad((1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
    }
    // A resonance that rings for decaySeconds (to 1/e) at hz: a mode of the card or the table.
    static Biquad Mode(double hz, double decaySeconds) { return BandPass(hz, kPi * hz * decaySeconds); }

    // Takes other's coefficients and keeps this filter's state, so a sweep is smooth.
    void Retune(const Biquad& other) {
        b0 = other.b0, b1 = other.b1, b2 = other.b2, a1 = other.a1, a2 = other.a2;
    }

    double Step(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }

private:
    Biquad(double b0, double b1, double b2, double a1, double a2) : b0(b0), b1(b1), b2(b2), a1(a1), a2(a2) {}
    double b0, b1, b2, a1, a2;
    double z1 = 0, z2 = 0;
};

using Track = std::vector<double>;

Track Silence(double seconds) { return Track(static_cast<size_t>(seconds * kRate), 0.0); }

// Adds source into track from the given time on, growing the track when needed.
void MixAt(Track& track, const Track& source, double atSeconds, double gain = 1.0) {
    const size_t start = static_cast<size_t>(atSeconds * kRate);
    if (track.size() < start + source.size()) track.resize(start + source.size(), 0.0);
    for (size_t i = 0; i < source.size(); ++i) track[start + i] += source[i] * gain;
}

// One card meeting another or the table. The impact is a burst of noise a millisecond long;
// through a high-pass it is the broadband snap of the edge, through two resonances the low-mid
// body of the stock flexing (a card is a stiff plate: its modes sit a few hundred hertz up and
// ring for ten to twenty milliseconds), through a wide band around 3 kHz the paper's rustle.
// Under it, a faint low knock of the table.
struct CardHit {
    double bodyHz = 420;      // the card's lowest mode
    double bodyDecay = 0.014;
    double snap = 1.0;        // level of the broadband edge
    double body = 1.0;
    double paper = 0.5;
    double tableHz = 150;
    double table = 0.25;
    double burstSeconds = 0.0012;
};

Track Hit(uint32_t seed, const CardHit& c) {
    Noise noise(seed);
    Track out = Silence(std::max(0.06, c.bodyDecay * 6));
    Biquad edge = Biquad::HighPass(1800, 0.7);
    Biquad mode1 = Biquad::Mode(c.bodyHz, c.bodyDecay);
    Biquad mode2 = Biquad::Mode(c.bodyHz * 1.59, c.bodyDecay * 0.6);
    Biquad rustle = Biquad::BandPass(3200, 0.9);
    // Gains that bring each path to a comparable level for a unit burst.
    const double modeGain = 16.0 / std::sqrt(kPi * c.bodyHz * c.bodyDecay);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.0003);
        const double burst = noise.Next() * attack * std::exp(-t / c.burstSeconds);
        const double grain = noise.Next() * attack * std::exp(-t / 0.007);
        // The force of the impact is a smooth pulse; the noise on it is the fibres' roughness.
        const double pulse = t < c.burstSeconds ? std::sin(kPi * t / c.burstSeconds) : 0.0;
        const double force = 0.5 * pulse + 0.5 * burst;
        const double bodyValue = (mode1.Step(force) + 0.6 * mode2.Step(force)) * modeGain;
        const double knock = std::sin(2 * kPi * c.tableHz * t) * attack * std::exp(-t / 0.018);
        out[i] = c.snap * edge.Step(burst) + c.body * bodyValue + c.paper * rustle.Step(grain) + c.table * knock;
    }
    return out;
}

// A card sliding over cloth or another card: friction noise, band-passed around a centre that
// moves from fromHz to toHz, roughened by the weave, swelling and fading over its length.
Track Slide(uint32_t seed, double seconds, double fromHz, double toHz) {
    Noise noise(seed);
    Track out = Silence(seconds);
    Biquad band = Biquad::BandPass(fromHz, 1.1);
    double weave = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double phase = static_cast<double>(i) / static_cast<double>(out.size());
        if (i % 32 == 0) {
            band.Retune(Biquad::BandPass(fromHz * std::pow(toHz / fromHz, phase), 1.1));
        }
        weave += 0.01 * (std::abs(noise.Next()) - weave);
        const double envelope = std::pow(std::sin(kPi * phase), 1.5);
        out[i] = band.Step(noise.Next()) * envelope * (0.5 + 2.0 * weave);
    }
    return out;
}

// A struck bell-like tone: a few inharmonic partials, each decaying at its own rate, ringing out
// over its whole length with a short fade at the very end.
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
            value += p.gain * std::sin(2 * kPi * frequency * p.ratio * t) * std::exp(-t / (seconds * 0.35 * p.decay));
        const double tail = std::min(1.0, (seconds - t) / 0.03);
        out[i] = value * attack * tail * level;
    }
    return out;
}

// A soft, rounded low tone for "that did not work": the pitch sags slightly, like a soft
// wooden knock, and a little second harmonic gives it body without a buzz.
Track Bump(double frequency, double seconds, double level) {
    Track out = Silence(seconds);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        const double envelope = attack * std::exp(-t / (seconds * 0.28));
        const double f = frequency * (1.0 - 0.06 * t / seconds);
        const double value = std::sin(2 * kPi * f * t) + 0.25 * std::sin(4 * kPi * f * t);
        const double tail = std::min(1.0, (seconds - t) / 0.02);
        out[i] = value * envelope * tail * level;
    }
    return out;
}

// The riffle of a shuffle: two half-decks' corners flicking past one another, fastest in the
// middle, then the bridge sliding together and the deck squared on the table.
Track Riffle(uint32_t seed) {
    Track out = Silence(0.1);
    Noise jitter(seed);
    double t = 0.02;
    constexpr int kCards = 44;
    for (int card = 0; card < kCards; ++card) {
        const double progress = static_cast<double>(card) / kCards;
        CardHit flick;
        flick.bodyHz = jitter.Between(700, 950);
        flick.bodyDecay = 0.004;
        flick.paper = 0.8;
        flick.table = 0;
        flick.burstSeconds = 0.0006;
        MixAt(out, Hit(seed + 17u * static_cast<uint32_t>(card), flick), t, 0.35 + 0.25 * std::sin(kPi * progress));
        const double gap = 0.02 - 0.011 * std::sin(kPi * progress);
        t += gap * (1.0 + 0.3 * jitter.Next());
    }
    MixAt(out, Slide(seed + 5, 0.3, 1400, 700), t + 0.02, 0.9);
    CardHit settle;
    settle.bodyHz = 260;
    settle.bodyDecay = 0.02;
    settle.table = 0.6;
    MixAt(out, Hit(seed + 99, settle), t + 0.26, 1.0);
    return out;
}

// Rounds off the few samples of an impact's first milliseconds that stand above the knee, the
// way a microphone's preamplifier would, so a snap reaches the common loudness under the ceiling.
void SoftenPeaks(Track& track) {
    constexpr double kKnee = 0.45, kRoom = kPeakCeiling - kKnee;
    for (double& v : track)
        if (std::abs(v) > kKnee) v = std::copysign(kKnee + kRoom * std::tanh((std::abs(v) - kKnee) / kRoom), v);
}

// Brings a track to the common loudness, fades its last 10 ms and converts it to 16 bits.
std::vector<int16_t> Finish(Track track) {
    const size_t fade = std::min(track.size(), static_cast<size_t>(0.01 * kRate));
    for (size_t i = 0; i < fade; ++i) track[track.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    // Softening costs a little loudness, so the gain is found again after it.
    for (int pass = 0; pass < 3; ++pass) {
        const std::vector<float> asFloat(track.begin(), track.end());
        const double gain = std::pow(10.0, (kTargetDb - loudness::EffectDb(asFloat, 1, kEffectSampleRate)) / 20.0);
        for (double& v : track) v *= gain;
        SoftenPeaks(track);
    }
    std::vector<int16_t> samples(track.size());
    for (size_t i = 0; i < track.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(track[i], -1.0, 1.0) * 32767.0));
    return samples;
}

// One event's recipe: renders variant v (0 .. kEffectVariants-1) with its own seed and a
// slightly different card.
struct EffectRecipe {
    const char* name;
    std::function<Track(uint32_t seed, Noise& vary)> render;
    int variants = kEffectVariants;
};

// A card for variant drawing: the body's pitch and decay and the balance of snap and body move
// a little between variants, as no two cards land alike.
CardHit VariedCard(Noise& vary, double bodyHz, double bodyDecay) {
    CardHit c;
    c.bodyHz = bodyHz * vary.Between(0.9, 1.1);
    c.bodyDecay = bodyDecay * vary.Between(0.85, 1.15);
    c.snap = vary.Between(0.7, 1.0);
    c.body = vary.Between(0.95, 1.25);
    c.paper = vary.Between(0.35, 0.6);
    c.tableHz = vary.Between(130, 170);
    return c;
}

std::vector<EffectRecipe> Recipes() {
    return {
        // A card dealt: it slides off the deck and lands flat.
        {"deal.wav",
         [](uint32_t seed, Noise& vary) {
             Track t = Slide(seed, 0.05, vary.Between(2500, 3200), 1600);
             for (double& v : t) v *= 0.5;  // the slide is soft; the landing is what is heard
             MixAt(t, Hit(seed + 1, VariedCard(vary, 380, 0.016)), 0.04);
             return t;
         }},
        // A card turned over: a flick of the edge, a short whoosh of air, and the face landing.
        {"flip.wav",
         [](uint32_t seed, Noise& vary) {
             CardHit flick = VariedCard(vary, 900, 0.005);
             flick.table = 0;
             Track t = Hit(seed, flick);
             MixAt(t, Slide(seed + 1, 0.06, 900, 2400), 0.01, 0.6);
             MixAt(t, Hit(seed + 2, VariedCard(vary, 450, 0.012)), 0.065);
             return t;
         }},
        // A card put on a foundation, and a chime that rings out.
        {"foundation.wav",
         [](uint32_t seed, Noise& vary) {
             Track t = Hit(seed, VariedCard(vary, 420, 0.014));
             MixAt(t, Chime(1318.5, 0.36, 0.05), 0.012);  // E6
             MixAt(t, Chime(1975.5, 0.33, 0.02), 0.02);   // B6, a fifth above, faint
             return t;
         }},
        // A card put on a tableau pile: a plain, solid landing.
        {"tableau.wav", [](uint32_t seed, Noise& vary) { return Hit(seed, VariedCard(vary, 360, 0.018)); }},
        // A card slid onto a reserve: a short slide and a lighter landing.
        {"reserve.wav",
         [](uint32_t seed, Noise& vary) {
             Track t = Slide(seed, 0.05, 2200, 1300);
             CardHit land = VariedCard(vary, 480, 0.012);
             land.table = 0.15;
             MixAt(t, Hit(seed + 1, land), 0.035, 0.8);
             return t;
         }},
        {"shuffle.wav", [](uint32_t seed, Noise&) { return Riffle(seed); }, 3},
        // A move taken back: the card slides back the other way and settles.
        {"undo.wav",
         [](uint32_t seed, Noise& vary) {
             Track t = Slide(seed, 0.09, 1200, 2600);
             MixAt(t, Hit(seed + 1, VariedCard(vary, 400, 0.012)), 0.075, 0.7);
             return t;
         }},
        {"invalid.wav",
         [](uint32_t seed, Noise& vary) {
             Track t = Bump(196.0, 0.17, 0.5);  // G3
             CardHit tap = VariedCard(vary, 300, 0.01);
             tap.snap = 0.3;
             MixAt(t, Hit(seed, tap), 0.0, 0.3);
             return t;
         }},
        // Two cards paired away: a rising fifth that rings out.
        {"pair.wav",
         [](uint32_t seed, Noise& vary) {
             Track t = Hit(seed, VariedCard(vary, 500, 0.01));
             MixAt(t, Chime(1046.5, 0.32, 0.09), 0.0);  // C6, then G6
             MixAt(t, Chime(1568.0, 0.32, 0.08), 0.065);
             return t;
         }},
        {"nomatch1.wav",
         [](uint32_t, Noise& vary) {
             Track t = Bump(220.0 * vary.Between(0.995, 1.005), 0.08, 0.45);  // A3 falling to F3
             MixAt(t, Bump(174.6, 0.1, 0.45), 0.075);
             return t;
         }},
        // A button: a small, dry click.
        {"button.wav",
         [](uint32_t seed, Noise& vary) {
             CardHit click = VariedCard(vary, 1400, 0.004);
             click.table = 0;
             click.burstSeconds = 0.0005;
             return Hit(seed, click);
         }},
    };
}

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::string VariantName(const std::string& name, int variant) {
    if (variant == 0) return name;
    const size_t dot = name.rfind('.');
    return name.substr(0, dot) + "-" + std::to_string(variant + 1) + name.substr(dot);
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
    uint32_t seed = 11;
    for (const EffectRecipe& recipe : Recipes()) {
        for (int variant = 0; variant < recipe.variants; ++variant, seed += 101) {
            Noise vary(seed * 7 + 3);
            files.emplace_back(std::string(kEffectFolder) + "/" + VariantName(recipe.name, variant),
                               EncodeWave(Finish(recipe.render(seed, vary)), kEffectSampleRate));
        }
    }
    return files;
}
