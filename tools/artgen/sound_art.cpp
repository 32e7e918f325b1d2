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
    static Biquad LowPass(double hz, double q) {
        const double w = 2 * kPi * hz / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
        return Biquad((1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
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
// through a high-pass it is the snap of the edge, through two resonances the low-mid body of the
// stock flexing (a card is a stiff plate: its modes sit a few hundred hertz up and ring for ten
// to twenty milliseconds), through a wide band around 3 kHz the paper's rustle. Under it, a
// faint low knock of the table.
struct CardHit {
    double bodyHz = 420;      // the card's lowest mode
    double bodyDecay = 0.014;
    double snap = 1.0;        // level of the edge
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
// moves from fromHz to toHz and roughened by the weave, with the stock ringing under it at
// stockHz. It swells and fades over its length, or, with swell, only grows and stops short, as a
// sound played backwards does (the undo).
Track Slide(uint32_t seed, double seconds, double fromHz, double toHz, double stockHz = 600, bool swell = false) {
    Noise noise(seed);
    Track out = Silence(seconds);
    Biquad band = Biquad::BandPass(fromHz, 1.1);
    Biquad stock = Biquad::Mode(stockHz, 0.006);
    double weave = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double phase = static_cast<double>(i) / static_cast<double>(out.size());
        if (i % 32 == 0) {
            band.Retune(Biquad::BandPass(fromHz * std::pow(toHz / fromHz, phase), 1.1));
        }
        weave += 0.01 * (std::abs(noise.Next()) - weave);
        const double envelope = swell ? phase * phase * std::min(1.0, (1.0 - phase) / 0.1)
                                      : std::pow(std::sin(kPi * phase), 1.5);
        const double friction = noise.Next();
        out[i] = (band.Step(friction) + 1.5 * stock.Step(friction)) * envelope * (0.5 + 2.0 * weave);
    }
    return out;
}

// The air pushed out from under a card landing flat: a soft low puff around hz.
Track Puff(uint32_t seed, double hz) {
    Noise noise(seed);
    Track out = Silence(0.05);
    Biquad band = Biquad::BandPass(hz, 0.8);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        out[i] = band.Step(noise.Next()) * std::min(1.0, t / 0.001) * std::exp(-t / 0.01);
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
            value += p.gain * std::sin(2 * kPi * frequency * p.ratio * t) * std::exp(-t / (seconds * 0.45 * p.decay));
        const double tail = std::min(1.0, (seconds - t) / 0.03);
        out[i] = value * attack * tail * level;
    }
    return out;
}

// A soft, rounded knock for "that did not work": a low note whose pitch sags slightly, like a
// wooden block. Its fundamental alone would vanish on a laptop's small speakers, so its harmonics
// reach up to 4 kHz, lifted around formantHz as a hollow body would; the upper ones die first.
Track Knock(double frequency, double seconds, double level, double formantHz) {
    constexpr double kHighest = 4000;
    Track out = Silence(seconds);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.004);
        // The phase of the sagging pitch f * (1 - 0.06 t / seconds), integrated.
        const double phase = 2 * kPi * frequency * (t - 0.03 * t * t / seconds);
        double value = 0;
        for (int k = 1; k * frequency < kHighest; ++k) {
            const double octaves = std::log2(k * frequency / formantHz);
            const double gain = (1.0 + 4.0 * std::exp(-octaves * octaves / 0.5)) / k;
            value += gain * std::sin(k * phase) * std::exp(-t * (1.0 + 0.15 * (k - 1)) / (seconds * 0.28));
        }
        const double tail = std::min(1.0, (seconds - t) / 0.02);
        out[i] = value * attack * tail * level;
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

// Effects are rolled off above kRollOffHz (a fourth-order low-pass, down 10 dB at 12 kHz): a card
// heard across a table has little up there, and the raw snap's hiss sounds like a digital click.
constexpr double kRollOffHz = 9000;

void RollOff(Track& track) {
    Biquad first = Biquad::LowPass(kRollOffHz, 0.5412), second = Biquad::LowPass(kRollOffHz, 1.3066);
    for (double& v : track) v = second.Step(first.Step(v));
}

// Rounds off the few samples of an impact's first milliseconds that stand above the knee, the
// way a microphone's preamplifier would, so a snap reaches the common loudness under the ceiling.
void SoftenPeaks(Track& track) {
    constexpr double kKnee = 0.45, kRoom = kPeakCeiling - kKnee;
    for (double& v : track)
        if (std::abs(v) > kKnee) v = std::copysign(kKnee + kRoom * std::tanh((std::abs(v) - kKnee) / kRoom), v);
}

// Brings a track to the common loudness, fades its last 10 ms and converts it to 16 bits. A track
// is rolled off after its peaks are softened, since rounding a peak sprays a little energy
// up the whole spectrum; the filter's slight overshoot is then taken back under the ceiling.
std::vector<int16_t> Finish(Track track, bool rollOff) {
    const size_t fade = std::min(track.size(), static_cast<size_t>(0.01 * kRate));
    for (size_t i = 0; i < fade; ++i) track[track.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fade);
    const auto bringToTarget = [&track] {
        const std::vector<float> asFloat(track.begin(), track.end());
        const double gain = std::pow(10.0, (kTargetDb - loudness::EffectDb(asFloat, 1, kEffectSampleRate)) / 20.0);
        for (double& v : track) v *= gain;
    };
    // Softening costs a little loudness, so the gain is found again after it.
    for (int pass = 0; pass < 3; ++pass) {
        bringToTarget();
        SoftenPeaks(track);
    }
    if (rollOff) {
        RollOff(track);
        bringToTarget();
        double peak = 0;
        for (double v : track) peak = std::max(peak, std::abs(v));
        if (peak > kPeakCeiling)
            for (double& v : track) v *= kPeakCeiling / peak;
    }
    std::vector<int16_t> samples(track.size());
    for (size_t i = 0; i < track.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(track[i], -1.0, 1.0) * 32767.0));
    return samples;
}

// One event's recipe: renders variant (0 .. variants-1) with its own seed and its own draws
// from vary. All but the button's click are rolled off above kRollOffHz.
struct EffectRecipe {
    const char* name;
    std::function<Track(uint32_t seed, int variant, Noise& vary)> render;
    int variants = kEffectVariants;
    bool rollOff = true;
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

// The falling figures of "these two do not pair": each variant its own interval, pace and
// colour, so that a run of failed pairings does not sound like one sample repeated.
struct NoMatchFigure {
    double first, second;  // hertz
    double gap;            // seconds from the first note to the second
    double formantHz;
};
constexpr NoMatchFigure kNoMatchFigures[kEffectVariants] = {
    {220.0, 174.6, 0.075, 1100},  // A3 to F3, a major third
    {293.7, 220.0, 0.06, 1600},   // D4 to A3, a fourth, brighter and quicker
    {196.0, 164.8, 0.095, 850},   // G3 to E3, a minor third, darker and slower
    {261.6, 185.0, 0.07, 1300},   // C4 to F#3, a tritone
};

std::vector<EffectRecipe> Recipes() {
    return {
        // A card dealt: it skims off the deck and lands flat on the cloth, a soft, low landing
        // with the air pushed out from under it.
        {"deal.wav",
         [](uint32_t seed, int, Noise& vary) {
             const double skim = vary.Between(0.03, 0.045);
             Track t = Slide(seed, skim, vary.Between(2400, 3000), 1500, 700);
             for (double& v : t) v *= 0.45;
             CardHit land = VariedCard(vary, 300, 0.02);
             land.snap *= 0.8;
             land.table = 0.4;
             MixAt(t, Hit(seed + 1, land), skim - 0.008);
             MixAt(t, Puff(seed + 2, vary.Between(180, 240)), skim - 0.008, 0.8);
             return t;
         }},
        // A card turned over: the edge lifted with a light tick, the card turning through the
        // air, and the face slapping down, brighter than a card put down.
        {"flip.wav",
         [](uint32_t seed, int, Noise& vary) {
             CardHit lift = VariedCard(vary, 1100, 0.004);
             lift.table = 0;
             lift.body = 0.6;
             Track t = Hit(seed, lift);
             for (double& v : t) v *= 0.6;
             const double turn = vary.Between(0.045, 0.065);
             MixAt(t, Slide(seed + 1, turn, 700, 2200, 900), 0.008, 0.5);
             CardHit face = VariedCard(vary, 560, 0.01);
             face.paper = 0.8;
             face.snap = 1.0;
             face.table = 0.15;
             MixAt(t, Hit(seed + 2, face), turn);
             return t;
         }},
        // A card put on a foundation, and a short chime.
        {"foundation.wav",
         [](uint32_t seed, int, Noise& vary) {
             Track t = Hit(seed, VariedCard(vary, 420, 0.014));
             MixAt(t, Chime(1318.5, 0.19, 0.05), 0.012);  // E6
             MixAt(t, Chime(1975.5, 0.17, 0.02), 0.02);   // B6, a fifth above, faint
             return t;
         }},
        // A card put on a pile: a firm landing on another card, the near edge first and the
        // card falling flat a few milliseconds later.
        {"tableau.wav",
         [](uint32_t seed, int, Noise& vary) {
             CardHit edge = VariedCard(vary, 400, 0.018);
             edge.table = 0.2;
             Track t = Hit(seed, edge);
             CardHit flat = VariedCard(vary, 620, 0.01);
             flat.snap *= 0.6;
             flat.table = 0;
             MixAt(t, Hit(seed + 1, flat), vary.Between(0.008, 0.018), 0.55);
             return t;
         }},
        // A card slid onto a reserve: a longer slide over the cloth and a lighter landing.
        {"reserve.wav",
         [](uint32_t seed, int, Noise& vary) {
             const double slide = vary.Between(0.06, 0.085);
             Track t = Slide(seed, slide, vary.Between(2000, 2400), 1100, 550);
             CardHit land = VariedCard(vary, 520, 0.012);
             land.table = 0.15;
             MixAt(t, Hit(seed + 1, land), slide - 0.015, 0.8);
             return t;
         }},
        {"shuffle.wav", [](uint32_t seed, int, Noise&) { return Riffle(seed); }, 3},
        // A move taken back: a slide that swells and stops short, as if played backwards, and
        // the card settling softly where it was.
        {"undo.wav",
         [](uint32_t seed, int, Noise& vary) {
             const double swell = vary.Between(0.07, 0.1);
             Track t = Slide(seed, swell, 900, vary.Between(2200, 2800), 500, true);
             CardHit settle = VariedCard(vary, 280, 0.016);
             settle.snap *= 0.5;
             MixAt(t, Hit(seed + 1, settle), swell - 0.005, 0.8);
             return t;
         }},
        {"invalid.wav",
         [](uint32_t seed, int, Noise& vary) {
             Track t = Knock(196.0 * vary.Between(0.98, 1.02), 0.17, 0.3, vary.Between(1000, 1400));  // G3
             CardHit tap = VariedCard(vary, 300, 0.01);
             tap.snap = 0.3;
             MixAt(t, Hit(seed, tap), 0.0, 0.3);
             return t;
         }},
        // Two cards paired away: a short rising fifth.
        {"pair.wav",
         [](uint32_t seed, int, Noise& vary) {
             Track t = Hit(seed, VariedCard(vary, 500, 0.01));
             MixAt(t, Chime(1046.5, 0.17, 0.09), 0.0);  // C6, then G6
             MixAt(t, Chime(1568.0, 0.16, 0.08), 0.045);
             return t;
         }},
        {"nomatch1.wav",
         [](uint32_t, int variant, Noise&) {
             const NoMatchFigure& figure = kNoMatchFigures[variant];
             Track t = Knock(figure.first, figure.gap + 0.01, 0.3, figure.formantHz);
             MixAt(t, Knock(figure.second, 0.1, 0.3, figure.formantHz), figure.gap);
             return t;
         }},
        // A button: a small, dry click.
        {"button.wav",
         [](uint32_t seed, int, Noise& vary) {
             CardHit click = VariedCard(vary, 1400, 0.004);
             click.table = 0;
             click.burstSeconds = 0.0005;
             return Hit(seed, click);
         },
         kEffectVariants, false},
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
            const std::vector<int16_t> samples = Finish(recipe.render(seed, variant, vary), recipe.rollOff);
            files.emplace_back(std::string(kEffectFolder) + "/" + VariantName(recipe.name, variant),
                               EncodeWave(samples, kEffectSampleRate));
        }
    }
    return files;
}
