// The effects and songs the build generated: every name the program plays exists, parses and
// keeps to its length.

#include <algorithm>
#include <cmath>
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

// The share of the signal's energy between low and high hertz (a plain DFT over the first 2048
// samples, which hold the whole impact).
double BandShare(const std::vector<float>& samples, double low, double high) {
    constexpr size_t kSize = 2048;
    double band = 0, total = 0;
    for (size_t bin = 1; bin < kSize / 2; ++bin) {
        double re = 0, im = 0;
        for (size_t i = 0; i < std::min(kSize, samples.size()); ++i) {
            const double angle = 2 * M_PI * static_cast<double>(bin * i) / kSize;
            re += samples[i] * std::cos(angle);
            im -= samples[i] * std::sin(angle);
        }
        const double energy = re * re + im * im, hz = static_cast<double>(bin) * 44100 / kSize;
        total += energy;
        if (hz >= low && hz < high) band += energy;
    }
    return band / total;
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
            EXPECT_LE(seconds, std::string(name) == "shuffle.wav" ? 2.0 : 0.4);
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

TEST(GeneratedSound, ACardLandingHasABroadbandSnapOverALowMidBody) {
    for (const char* name : {"tableau.wav", "tableau-2.wav", "tableau-3.wav", "tableau-4.wav", "deal.wav"}) {
        SCOPED_TRACE(name);
        const std::vector<float> samples = ReadEffect(name);
        // From just before the loudest sample: the card's impact.
        const auto peak = std::max_element(samples.begin(), samples.end(),
                                           [](float a, float b) { return std::abs(a) < std::abs(b); });
        const std::vector<float> impact(std::max(samples.begin(), peak - 100), samples.end());
        // White noise puts under 4% of its energy between 150 and 1000 Hz, a tone none above 4 kHz.
        EXPECT_GT(BandShare(impact, 150, 1000), 0.2);
        EXPECT_GT(BandShare(impact, 4000, 22050), 0.1);
    }
}

}  // namespace
