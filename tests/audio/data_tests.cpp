// The effects and songs the build generated: every name the program plays exists, parses and
// keeps to its length, and the effects keep to their bands.

#include <algorithm>
#include <cmath>
#include <complex>
#include <filesystem>

#include "audio/loudness.h"
#include "platform/midi_file.h"
#include "platform/wave_reader.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace audiotest;

constexpr const char* kEffects[] = {"deal.wav", "flip.wav", "foundation.wav", "tableau.wav", "reserve.wav", "shuffle.wav",
                                    "undo.wav", "invalid.wav", "pair.wav",       "nomatch1.wav", "button.wav"};

std::string Variant(const std::string& name, int variant) {
    return variant == 0 ? name : name.substr(0, name.rfind('.')) + "-" + std::to_string(variant + 1) + ".wav";
}

// The file's samples in -1..1; fails the test when it is not 44.1 kHz 16-bit mono PCM.
std::vector<float> ReadEffect(const std::string& file) {
    WaveReader reader;
    EXPECT_TRUE(reader.OpenFile((GeneratedDataFolder() / "SFX" / file).string())) << file;
    EXPECT_EQ(reader.Format().formatTag, WaveFormat::kPcm);
    EXPECT_EQ(reader.Format().samplesPerSecond, 44100u);
    EXPECT_EQ(reader.Format().bitsPerSample, 16);
    EXPECT_EQ(reader.Format().channels, 1);
    std::vector<uint8_t> bytes(reader.DataSize());
    bytes.resize(reader.Read(bytes.data(), bytes.size()));
    std::vector<float> samples;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        samples.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)) / 32768.0f);
    return samples;
}

// The energy spectrum of the first size samples (a plain DFT; bin i is at i * 44100 / size Hz).
std::vector<double> Spectrum(const std::vector<float>& samples, size_t size) {
    std::vector<double> energy(size / 2, 0.0);
    for (size_t bin = 1; bin < size / 2; ++bin) {
        const double angle = -2 * M_PI * static_cast<double>(bin) / static_cast<double>(size);
        const std::complex<double> step = std::polar(1.0, angle);
        std::complex<double> turn = 1, sum = 0;
        for (size_t i = 0; i < std::min(size, samples.size()); ++i, turn *= step)
            sum += static_cast<double>(samples[i]) * turn;
        energy[bin] = std::norm(sum);
    }
    return energy;
}

// The share of the spectrum's energy between low and high hertz.
double BandShare(const std::vector<double>& spectrum, double low, double high) {
    double band = 0, total = 0;
    for (size_t bin = 1; bin < spectrum.size(); ++bin) {
        const double hz = static_cast<double>(bin) * 44100 / static_cast<double>(2 * spectrum.size());
        total += spectrum[bin];
        if (hz >= low && hz < high) band += spectrum[bin];
    }
    return band / total;
}

// How alike two spectra are: the cosine between their magnitudes (1 for the same sound).
double Likeness(const std::vector<double>& a, const std::vector<double>& b) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t bin = 0; bin < a.size(); ++bin) {
        ab += std::sqrt(a[bin] * b[bin]);
        aa += a[bin];
        bb += b[bin];
    }
    return ab / std::sqrt(aa * bb);
}

TEST(GeneratedSound, EveryEffectHasVariantsAtTheSameLoudnessNeitherSilentNorClipped) {
    double quietest = 0, loudest = -100;
    for (const char* name : kEffects) {
        std::vector<std::vector<float>> variants;
        for (int v = 0; std::filesystem::exists(GeneratedDataFolder() / "SFX" / Variant(name, v)); ++v) {
            SCOPED_TRACE(Variant(name, v));
            variants.push_back(ReadEffect(Variant(name, v)));
            const std::vector<float>& samples = variants.back();
            const double seconds = static_cast<double>(samples.size()) / 44100;
            EXPECT_GT(seconds, 0.02);
            // A chime that rings on is tiring when many cards go home in a row.
            const bool chime = std::string(name) == "foundation.wav" || std::string(name) == "pair.wav";
            EXPECT_LE(seconds, std::string(name) == "shuffle.wav" ? 2.0 : chime ? 0.25 : 0.4);
            EXPECT_LT(loudness::PeakOf(samples), 0.62);
            const double db = loudness::EffectDb(samples, 1, 44100);
            quietest = std::min(quietest, db);
            loudest = std::max(loudest, db);
        }
        EXPECT_GE(variants.size(), 3u) << name;
        EXPECT_LE(variants.size(), 4u) << name;
        for (size_t v = 1; v < variants.size(); ++v) EXPECT_NE(variants[v], variants[0]) << name;
    }
    EXPECT_GT(quietest, -30.0);
    EXPECT_LE(loudest - quietest, 3.0) << "loudness spread of the effects";
}

TEST(GeneratedSound, CardSoundsHaveALowMidBodyAndACrispEdgeButLittleAbove12kHz) {
    for (const char* name : {"deal.wav", "flip.wav", "tableau.wav", "reserve.wav", "undo.wav", "shuffle.wav"}) {
        for (int v = 0; std::filesystem::exists(GeneratedDataFolder() / "SFX" / Variant(name, v)); ++v) {
            SCOPED_TRACE(Variant(name, v));
            const std::vector<float> samples = ReadEffect(Variant(name, v));
            // From just before the loudest sample: the card's impact.
            const auto peak = std::max_element(samples.begin(), samples.end(),
                                               [](float a, float b) { return std::abs(a) < std::abs(b); });
            const std::vector<double> impact = Spectrum({std::max(samples.begin(), peak - 100), samples.end()}, 2048);
            // White noise puts under 4% of its energy between 150 and 1000 Hz, a tone none above 4 kHz;
            // an unfiltered snap puts several percent above 12 kHz.
            EXPECT_GT(BandShare(impact, 150, 1000), 0.15);
            EXPECT_GT(BandShare(impact, 4000, 12000), 0.02);
            EXPECT_LT(BandShare(impact, 12000, 22050), 0.005);
        }
    }
}

// A refusal is a low note; laptop speakers play little under 500 Hz, so its harmonics must carry
// it. The failed pairing's variants are different figures, not one figure retuned.
TEST(GeneratedSound, RefusalsSoundBetween500HzAnd4kHzAndNoTwoFailedPairingsAlike) {
    std::vector<std::vector<double>> noMatch;
    for (const char* name : {"invalid.wav", "nomatch1.wav"}) {
        for (int v = 0; std::filesystem::exists(GeneratedDataFolder() / "SFX" / Variant(name, v)); ++v) {
            SCOPED_TRACE(Variant(name, v));
            const std::vector<double> spectrum = Spectrum(ReadEffect(Variant(name, v)), 4096);
            EXPECT_GT(BandShare(spectrum, 500, 4000), 0.4);
            if (std::string(name) == "nomatch1.wav") noMatch.push_back(spectrum);
        }
    }
    ASSERT_EQ(noMatch.size(), 4u);
    for (size_t a = 0; a < noMatch.size(); ++a)
        for (size_t b = a + 1; b < noMatch.size(); ++b)
            EXPECT_LT(Likeness(noMatch[a], noMatch[b]), 0.85) << "variants " << a << " and " << b;
}

}  // namespace
