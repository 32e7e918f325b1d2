// The generated songs as music: every song has its own patterns and a dynamic arc, the songs
// played through the synthesiser are equally loud, and music under a pile of effects never clips.

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "audio/loudness.h"
#include "platform/effect_voices.h"
#include "platform/midi_file.h"
#include "platform/midi_player.h"
#include "platform/wave_reader.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace audiotest;

constexpr const char* kSongs[] = {"MAIN.MID", "SONG1.MID", "SONG2.MID", "SONG3.MID", "SONG4.MID",
                                  "SONG5.MID", "SONG6.MID", "WIN.MID",   "LOSE.MID"};
constexpr int kLead = 0, kAltLead = 1, kHarmony = 2, kBass = 4, kDrums = 9;

struct NoteOn {
    uint64_t tick;
    int channel, key, velocity;
};

struct Song {
    int division = 0;
    int barTicks = 0;
    uint64_t endTick = 0;
    std::vector<uint32_t> tempos;  // microseconds per quarter note, in order
    std::vector<NoteOn> notes;
};

// The note-ons of one of our format 0 files (the file checker has passed them already).
Song ReadSong(const char* name) {
    const std::vector<uint8_t> bytes = ReadBytes(GeneratedDataFolder() / "music" / name);
    Song song;
    EXPECT_TRUE(ParseMidiFile(bytes.data(), bytes.size(), nullptr)) << name;
    song.division = bytes[12] << 8 | bytes[13];
    size_t at = 22;
    uint64_t tick = 0;
    auto quantity = [&] {
        uint32_t value = 0;
        while (at < bytes.size()) {
            const uint8_t b = bytes[at++];
            value = value << 7 | (b & 0x7F);
            if (!(b & 0x80)) break;
        }
        return value;
    };
    while (at < bytes.size()) {
        tick += quantity();
        const uint8_t status = bytes[at++];
        if (status == 0xFF) {
            const uint8_t type = bytes[at++];
            const uint32_t length = quantity();
            if (type == 0x58) song.barTicks = bytes[at] * song.division * 4 / (1 << bytes[at + 1]);
            if (type == 0x51) song.tempos.push_back(uint32_t{bytes[at]} << 16 | bytes[at + 1] << 8 | bytes[at + 2]);
            at += length;
        } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
            at += 1;
        } else {
            if ((status & 0xF0) == 0x90 && bytes[at + 1] > 0)
                song.notes.push_back({tick, status & 0x0F, bytes[at], bytes[at + 1]});
            at += 2;
        }
    }
    song.endTick = tick;
    return song;
}

// Each bar's note onsets on the channels, as (channel, tick within the bar).
std::vector<std::set<std::pair<int, uint64_t>>> Onsets(const Song& song, std::set<int> channels) {
    std::vector<std::set<std::pair<int, uint64_t>>> bars(static_cast<size_t>((song.endTick + song.barTicks - 1) / song.barTicks));
    for (const NoteOn& n : song.notes)
        if (channels.count(n.channel)) bars[n.tick / song.barTicks].emplace(n.channel, n.tick % song.barTicks);
    return bars;
}

// The onsets within the bar (as fractions of it) that most of the song's bars play on the channel.
std::set<double> UsualBar(const Song& song, int channel) {
    std::map<uint64_t, std::set<double>> bars;
    for (const NoteOn& n : song.notes)
        if (n.channel == channel) bars[n.tick / song.barTicks].insert(static_cast<double>(n.tick % song.barTicks) / song.barTicks);
    std::map<std::set<double>, int> counts;
    for (const auto& [bar, onsets] : bars) ++counts[onsets];
    std::set<double> usual;
    int best = 0;
    for (const auto& [onsets, count] : counts)
        if (count > best) best = count, usual = onsets;
    return usual;
}

// The opening of a song through the synthesiser at the output rate. The whole songs, whose
// climaxes come a minute or more in, are measured by music_render (make music-wav).
constexpr size_t kOpeningSeconds = 20;
std::vector<float> RenderOpening(MusicPerformance& performance, AudioMixer& mixer, const char* name) {
    EXPECT_TRUE(performance.Play((GeneratedDataFolder() / "music" / name).string())) << name;
    std::vector<float> out, block(2 * 1024);
    while (!performance.SongEnded() && out.size() < kOpeningSeconds * AudioDevice::kOutputRate * 2) {
        mixer.RenderMusicOnly(block.data(), 1024);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

// The songs' levels and brightness are balanced for the preferred soundfont.
TEST(Songs, PlayedTheyAreEquallyLoudAndBrightAndUnderEffectsTheMixNeverClips) {
    if (InstalledSoundFont().empty()) GTEST_SKIP() << "no soundfont installed";
    auto mixer = std::make_shared<AudioMixer>();
    std::unique_ptr<MusicPerformance> performance = CreateMidiPerformance(mixer);
    ASSERT_TRUE(performance->Initialise());
    const bool preferred = InstalledSoundFont() == kSoundFontPaths[0];
    double quietest = 0, loudest = -100, loudestPeak = 0;
    std::vector<float> loudestSong;
    for (const char* name : kSongs) {
        const std::vector<float> music = RenderOpening(*performance, *mixer, name);
        const double db = loudness::SongDb(music, 2, AudioDevice::kOutputRate);
        quietest = std::min(quietest, db);
        loudest = std::max(loudest, db);
        if (loudness::PeakOf(music) > loudestPeak) loudestPeak = loudness::PeakOf(music), loudestSong = music;
        // A bright mix: the energy above 4 kHz is no more than 23 dB under the whole (it was 24 to
        // 33 dB under for four songs, from dull voicings and programs).
        double all = 0, high = 0;
        loudness::HighPass left(4000, AudioDevice::kOutputRate), right(4000, AudioDevice::kOutputRate);
        for (size_t i = 0; i + 1 < music.size(); i += 2) {
            all += static_cast<double>(music[i]) * music[i] + static_cast<double>(music[i + 1]) * music[i + 1];
            const double l = left.Filter(music[i]), r = right.Filter(music[i + 1]);
            high += l * l + r * r;
        }
        if (preferred) {
            EXPECT_GT(10 * std::log10(high / all), -23.0) << name;
        }
    }
    if (preferred) {
        EXPECT_LE(loudest - quietest, 3.0) << "loudness spread of the songs' openings";
    }
    // The gain budget: the music's peaks leave room for an effect on top without the limiter.
    EXPECT_LT(loudestPeak, 0.45);

    // The worst case: four effects, one on each voice, with their peaks on the loudest moment of
    // the loudest song.
    std::vector<float> mix = loudestSong;
    const auto loudestAt = [](const std::vector<float>& samples) {
        return static_cast<size_t>(
            std::max_element(samples.begin(), samples.end(), [](float a, float b) { return std::abs(a) < std::abs(b); }) -
            samples.begin());
    };
    const size_t musicPeak = loudestAt(mix) / 2;
    for (const char* name : {"shuffle.wav", "foundation.wav", "pair.wav", "tableau.wav"}) {
        WaveReader reader;
        ASSERT_TRUE(reader.OpenFile((GeneratedDataFolder() / "SFX" / name).string()));
        const auto effect = DecodeEffect(reader, name);
        ASSERT_TRUE(effect);
        std::vector<float> samples(effect->samples.begin(), effect->samples.end());
        for (float& v : samples) v /= 32768.0f;
        const size_t effectPeak = loudestAt(samples) / 2;
        ASSERT_GE(musicPeak, effectPeak);
        for (size_t i = 0; i < samples.size() && 2 * (musicPeak - effectPeak) + i < mix.size(); ++i)
            mix[2 * (musicPeak - effectPeak) + i] += samples[i];
    }
    EXPECT_GT(loudness::PeakOf(mix), 1.0) << "the case is not a worst case";
    PeakLimiter limiter(AudioDevice::kOutputRate);
    double limitedPeak = 0;
    std::vector<int16_t> out(2 * 1024);
    for (size_t at = 0; at + 2048 <= mix.size(); at += 2048) {
        limiter.ProcessTo(mix.data() + at, 1024, out.data());
        for (int16_t v : out) limitedPeak = std::max(limitedPeak, std::abs(v) / 32767.0);
    }
    EXPECT_LE(limitedPeak, PeakLimiter::kCeiling + 1e-4);
    EXPECT_GT(limitedPeak, 0.5);
}

// Each song has accompaniment, bass and drum patterns of its own and a dynamic arc; it opens with
// an intro of accompaniment alone, changes its accompaniment's rhythm from bar to bar (two- to
// four-bar patterns), fills on the toms at phrase ends and ends on a held tonic under a cymbal,
// slowing down; the two slow songs move in rhythms of their own.
TEST(Songs, OwnPatternsAnArcAnIntroFillsAndAnEnding) {
    constexpr int kCrash = 49, kLowTom = 45, kLowMidTom = 47, kHighMidTom = 48;
    std::map<int, std::map<std::set<double>, std::string>> seen;  // channel -> pattern -> song
    std::map<std::string, std::vector<std::set<uint64_t>>> melodies;  // each bar's onsets in the lead
    for (const char* name : kSongs) {
        SCOPED_TRACE(name);
        const Song song = ReadSong(name);
        ASSERT_GT(song.barTicks, 0);
        for (int channel : {kHarmony, kBass, kDrums}) {
            const std::set<double> pattern = UsualBar(song, channel);
            EXPECT_GE(pattern.size(), 2u) << "channel " << channel;
            const auto [where, fresh] = seen[channel].emplace(pattern, name);
            EXPECT_TRUE(fresh) << "channel " << channel << " plays the same onsets as " << where->second;
        }
        // The dynamic arc: the harmony's loudest quarter of the song clearly above its first,
        // and the last quarter below the loudest.
        double sums[4] = {}, counts[4] = {};
        const uint64_t end = song.notes.back().tick + 1;
        for (const NoteOn& n : song.notes) {
            if (n.channel != kHarmony) continue;
            const size_t quarter = static_cast<size_t>(n.tick * 4 / end);
            sums[quarter] += n.velocity;
            counts[quarter] += 1;
        }
        double mean[4];
        for (int q = 0; q < 4; ++q) mean[q] = sums[q] / std::max(counts[q], 1.0);
        const double peak = *std::max_element(mean, mean + 4);
        EXPECT_GT(peak, mean[0] * 1.1);
        EXPECT_LT(mean[3], peak);
        // Harmonic movement: the bass meets at least five different chord roots.
        std::set<int> roots;
        for (const NoteOn& n : song.notes)
            if (n.channel == kBass && n.tick % song.barTicks == 0) roots.insert(n.key % 12);
        EXPECT_GE(roots.size(), 5u);

        const int bars = static_cast<int>((song.endTick + song.barTicks - 1) / song.barTicks);
        const auto lead = Onsets(song, {kLead, kAltLead}), chords = Onsets(song, {kHarmony}), bass = Onsets(song, {kBass});
        EXPECT_TRUE(lead[0].empty() && !chords[0].empty() && !bass[0].empty()) << "no intro";
        int repeats = 0;
        for (size_t bar = 1; bar < chords.size(); ++bar) repeats += chords[bar] == chords[bar - 1];
        EXPECT_LT(repeats * 4, bars) << repeats << " of " << bars << " bars repeat the chords' rhythm before them";
        std::set<uint64_t> fillBars;
        bool lastCymbal = false;
        for (const NoteOn& n : song.notes) {
            if (n.channel != kDrums) continue;
            if (n.key == kLowTom || n.key == kLowMidTom || n.key == kHighMidTom) fillBars.insert(n.tick / song.barTicks);
            lastCymbal |= n.key == kCrash && n.tick == static_cast<uint64_t>(bars - 1) * song.barTicks;
        }
        EXPECT_GE(fillBars.size() * 8, static_cast<size_t>(bars)) << "fills";  // one every eight bars at least
        EXPECT_TRUE(lastCymbal);
        EXPECT_TRUE(lead.back().count({kLead, 0})) << "the last bar holds the melody's last note";
        ASSERT_GE(song.tempos.size(), 2u);
        EXPECT_GT(song.tempos.back(), song.tempos.front()) << "no slowing at the end";
        for (const auto& bar : lead) {
            melodies[name].emplace_back();
            for (const auto& [channel, onset] : bar) melodies[name].back().insert(onset);
        }
    }
    // Slow songs: under a quarter of either's bars play a rhythm the other has (all did).
    const auto& first = melodies["SONG2.MID"];
    const auto& second = melodies["SONG5.MID"];
    const std::set<std::set<uint64_t>> firstRhythms(first.begin(), first.end()), secondRhythms(second.begin(), second.end());
    int shared = 0;
    for (const auto& bar : first) shared += !bar.empty() && secondRhythms.count(bar);
    for (const auto& bar : second) shared += !bar.empty() && firstRhythms.count(bar);
    EXPECT_LT(shared * 4, static_cast<int>(first.size() + second.size())) << shared << " bars share a rhythm";
}

TEST(Limiter, LeavesQuietMixesAloneRecoversAfterALoudOneAndKeepsALowerCeiling) {
    PeakLimiter limiter(44100);
    std::vector<float> quiet(2 * 512, 0.5f), loud(2 * 512, 1.9f);
    std::vector<float> copy = quiet;
    limiter.Process(copy.data(), 512);
    EXPECT_EQ(copy, quiet);
    limiter.Process(loud.data(), 512);
    EXPECT_LE(loudness::PeakOf(loud), PeakLimiter::kCeiling);
    EXPECT_NEAR(limiter.Gain(), PeakLimiter::kCeiling / 1.9f, 1e-6);
    // Back to full gain within half a second, never overshooting on the way.
    for (int block = 0; block < 43; ++block) {
        copy = quiet;
        limiter.Process(copy.data(), 512);
        EXPECT_LE(loudness::PeakOf(copy), 0.5);
    }
    EXPECT_EQ(limiter.Gain(), 1.0f);
    // Under a lower ceiling (the effects' output, leaving room for the music added after it) the
    // same quiet mix is limited at once.
    limiter.SetCeiling(0.4f);
    copy = quiet;
    limiter.Process(copy.data(), 512);
    EXPECT_LE(loudness::PeakOf(copy), 0.4f);
}

}  // namespace
