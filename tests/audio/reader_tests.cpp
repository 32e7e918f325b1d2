// The wave reader and the MIDI file checker on good and malformed input.

#include <cstring>

#include "platform/midi_file.h"
#include "platform/wave_reader.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace audiotest;

TEST(WaveReader, ReadsPcmPastOtherChunksAndStopsAtTheDataEnd) {
    WaveRecipe wave;
    wave.junkChunkFirst = true;
    wave.channels = 2;
    wave.data = {1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<uint8_t> file = MakeWave(wave);
    // A chunk after the data must never be read as samples.
    file.insert(file.end(), {'c', 'u', 'e', ' ', 2, 0, 0, 0, 99, 99});
    WaveReader reader;
    ASSERT_TRUE(reader.OpenMemory(file.data(), file.size()));
    EXPECT_EQ(reader.Format().channels, 2);
    EXPECT_EQ(reader.Format().blockAlign, 4);
    EXPECT_TRUE(reader.Format().extra.empty());
    EXPECT_EQ(reader.DataSize(), 8u);
    uint8_t out[16];
    EXPECT_EQ(reader.Read(out, 5), 5u);
    EXPECT_EQ(reader.Read(out + 5, 11), 3u);
    EXPECT_EQ(std::memcmp(out, wave.data.data(), 8), 0);
    EXPECT_EQ(reader.Read(out, 4), 0u);
    ASSERT_TRUE(reader.Rewind());
    EXPECT_EQ(reader.Read(out, 2), 2u);
    EXPECT_EQ(out[0], 1);
}

TEST(WaveReader, CutsADataChunkThatClaimsMoreThanTheFileHolds) {
    WaveRecipe wave;
    wave.data = Samples16(10, 7);
    std::vector<uint8_t> file = MakeWave(wave);
    file.resize(file.size() - 6);
    WaveReader reader;
    ASSERT_TRUE(reader.OpenMemory(file.data(), file.size()));
    EXPECT_EQ(reader.DataSize(), 14u);
    uint8_t out[32];
    EXPECT_EQ(reader.Read(out, sizeof out), 14u);
}

// --- MIDI ---

// A file of the given header whose track chunks hold the given bodies; numbers are big-endian.
std::vector<uint8_t> MakeMidi(uint16_t format, uint16_t tracks, uint16_t division,
                              const std::vector<std::vector<uint8_t>>& trackBodies) {
    const auto putBig = [](std::vector<uint8_t>& out, uint32_t value, int bytes) {
        while (bytes-- > 0) out.push_back(static_cast<uint8_t>(value >> (8 * bytes)));
    };
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    for (const uint16_t field : {format, tracks, division}) putBig(file, field, 2);
    for (const auto& body : trackBodies) {
        file.insert(file.end(), {'M', 'T', 'r', 'k'});
        putBig(file, static_cast<uint32_t>(body.size()), 4);
        file.insert(file.end(), body.begin(), body.end());
    }
    return file;
}

// A note with running status for its note-off (a note-on of velocity 0), a tempo, the end.
const std::vector<uint8_t> kTrack = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,  // 120 bpm
                                     0x00, 0x90, 60, 100, 0x83, 0x60, 60, 0,     // 480 ticks later, off
                                     0x00, 0xFF, 0x2F, 0x00};

TEST(MidiFile, RefusesMalformedFiles) {
    auto parses = [](const std::vector<uint8_t>& bytes) { return ParseMidiFile(bytes.data(), bytes.size(), nullptr); };
    EXPECT_FALSE(parses({}));
    EXPECT_FALSE(parses(MakeMidi(2, 1, 480, {kTrack})));        // format 2
    EXPECT_FALSE(parses(MakeMidi(0, 2, 480, {kTrack, kTrack})));  // format 0 with two tracks
    EXPECT_FALSE(parses(MakeMidi(1, 1, 0xE728, {kTrack})));      // frames per second
    EXPECT_FALSE(parses(MakeMidi(1, 2, 480, {kTrack})));         // a promised track missing
    std::vector<uint8_t> noEnd(kTrack.begin(), kTrack.end() - 4);
    EXPECT_FALSE(parses(MakeMidi(0, 1, 480, {noEnd})));
    EXPECT_FALSE(parses(MakeMidi(0, 1, 480, {{0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00}})));  // data without status
    EXPECT_FALSE(parses(MakeMidi(0, 1, 480, {{0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00}})));  // 5-byte delta
    EXPECT_FALSE(parses(MakeMidi(0, 1, 480, {{0x00, 0xFF, 0x01, 0x40, 'a'}})));  // text past the track
    EXPECT_FALSE(parses(MakeMidi(0, 1, 480, {{0x00, 0xF8, 0x00, 0xFF, 0x2F, 0x00}})));  // real-time byte
    std::vector<uint8_t> truncated = MakeMidi(0, 1, 480, {kTrack});
    truncated.resize(truncated.size() - 1);
    EXPECT_FALSE(parses(truncated));
    // Other chunks are skipped; a track after them is still found.
    std::vector<uint8_t> withOther = MakeMidi(1, 1, 480, {});
    withOther.insert(withOther.end(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 9, 9});
    const std::vector<uint8_t> track = MakeMidi(0, 1, 480, {kTrack});
    withOther.insert(withOther.end(), track.begin() + 14, track.end());
    EXPECT_TRUE(parses(withOther));
}

}  // namespace
