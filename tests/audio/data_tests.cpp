// The effects and songs the build generated: every name the program plays exists, parses and
// keeps to its length.

#include "platform/midi_file.h"
#include "platform/wave_reader.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace audiotest;

TEST(GeneratedSound, EveryEffectIsShortSixteenBitPcm) {
    const char* const kEffects[] = {"deal.wav",  "flip.wav",    "foundation.wav", "tableau.wav",
                                    "reserve.wav", "shuffle.wav", "undo.wav",       "invalid.wav",
                                    "pair.wav",  "nomatch1.wav", "button.wav"};
    for (const char* name : kEffects) {
        SCOPED_TRACE(name);
        WaveReader reader;
        ASSERT_TRUE(reader.OpenFile((GeneratedDataFolder() / "SFX" / name).string()));
        EXPECT_EQ(reader.Format().formatTag, WaveFormat::kPcm);
        EXPECT_EQ(reader.Format().samplesPerSecond, 22050u);
        EXPECT_EQ(reader.Format().bitsPerSample, 16);
        const double seconds = reader.DataSize() / static_cast<double>(reader.Format().averageBytesPerSecond);
        EXPECT_GT(seconds, 0.02);
        // The player stops an effect at the first 3/16-second boundary within a segment of its
        // end, so anything longer than one segment would be cut off.
        EXPECT_LE(seconds, std::string(name) == "shuffle.wav" ? 2.0 : 3.0 / 16);
        // Not silent, not clipped.
        std::vector<uint8_t> samples(reader.DataSize());
        reader.Read(samples.data(), samples.size());
        int peak = 0;
        for (size_t i = 0; i + 1 < samples.size(); i += 2)
            peak = std::max(peak, std::abs(static_cast<int16_t>(samples[i] | (samples[i + 1] << 8))));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32000);
    }
}

TEST(GeneratedSound, EverySongIsAOneToThreeMinuteStandardMidiFile) {
    const char* const kSongs[] = {"MAIN.MID",  "SONG1.MID", "SONG2.MID", "SONG3.MID", "SONG4.MID",
                                  "SONG5.MID", "SONG6.MID", "WIN.MID",   "LOSE.MID"};
    for (const char* name : kSongs) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = ReadFile(GeneratedDataFolder() / "music" / name);
        MidiFileSummary summary;
        ASSERT_TRUE(ParseMidiFile(bytes.data(), bytes.size(), &summary));
        const double seconds = static_cast<double>(summary.lastTick) / summary.division * summary.tempo / 1e6;
        EXPECT_GE(seconds, 60.0);
        EXPECT_LE(seconds, 180.0);
        EXPECT_GT(summary.notes, 200);
        // Melody, harmony and bass at least.
        EXPECT_GE(__builtin_popcount(static_cast<unsigned>(summary.channelsUsed)), 3);
    }
    // The fast songs and "Rock" have drums (channel 10); the slow ones do not.
    for (const char* name : {"SONG1.MID", "SONG3.MID", "SONG4.MID", "SONG6.MID"}) {
        const std::vector<uint8_t> bytes = ReadFile(GeneratedDataFolder() / "music" / name);
        MidiFileSummary summary;
        ASSERT_TRUE(ParseMidiFile(bytes.data(), bytes.size(), &summary));
        EXPECT_TRUE(summary.channelsUsed & (1 << 9)) << name;
    }
}

}  // namespace
