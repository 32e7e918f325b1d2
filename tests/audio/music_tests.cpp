// The music thread's decisions, one pass (100 ms) at a time, observed through what it asks of
// a fake performance; then the real thread and the real synthesiser briefly; and the music
// dialog driven through its modal loop with scripted clicks.

#include <array>
#include <chrono>
#include <cmath>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "audio/audio_preferences.h"
#include "audio/loudness.h"
#include "audio/music.h"
#include "audio/music_dialog.h"
#include "audio/sound_effects.h"
#include "platform/midi_player.h"
#include "platform/scripted_backend.h"
#include "store/settings_store.h"
#include "tests/audio/audio_fixture.h"
#include "tests/ui/ui_fixture.h"

namespace {

using namespace audiotest;

class FakePerformance : public MusicPerformance {
public:
    bool Initialise() override { return true; }
    bool Play(const std::string& path) override {
        std::lock_guard lock(mutex);
        const std::string name = path.substr(path.find_last_of('/') + 1);
        requests.push_back(name);
        if (name == missing) return false;
        playing = name;
        ended = false;
        return true;
    }
    void Stop() override {
        std::lock_guard lock(mutex);
        ++stops;
        playing.clear();
    }
    bool SongEnded() override {
        std::lock_guard lock(mutex);
        return ended;
    }
    std::string Playing() {
        std::lock_guard lock(mutex);
        return playing;
    }
    size_t RequestCount() {
        std::lock_guard lock(mutex);
        return requests.size();
    }

    std::mutex mutex;
    std::vector<std::string> requests;
    std::string playing;
    std::string missing;
    bool ended = false;
    int stops = 0;
};

class Music : public ::testing::Test {
protected:
    void SetUp() override {
        backend = std::make_unique<ScriptedBackend>();
        SetBackend(backend.get());
        userPreferences.CurrentPlayer = -1;  // nothing is saved to the settings file
        ASSERT_EQ(InitSound(nullptr), 0);    // the virtual device has no music: no thread
        ASSERT_FALSE(MusicThreadRunning());
        SetMusicApplicationActive(true);
        SharedMusicControl().quit = 0;
        SharedMusicControl().wanted = 0;
        SetChoice(kMusicEnabled, {1, 1, 1, 1, 1, 1});
        player = std::make_unique<MusicPlayer>(&fake, SharedMusicControl());
        ASSERT_TRUE(player->Initialise(12345));
    }
    void TearDown() override {
        ShutdownSound();
        SetBackend(nullptr);
    }
    static void SetChoice(uint32_t mode, std::array<bool, kGameSongCount> songs) {
        MusicChoice choice;
        choice.mode = mode;
        choice.songs = songs;
        StoreMusicChoice(choice);
    }
    void Passes(int count) {
        for (int i = 0; i < count; ++i) ASSERT_TRUE(player->Pass());
    }
    void EndSong() {
        fake.ended = true;
        Passes(1);
    }

    std::unique_ptr<ScriptedBackend> backend;
    FakePerformance fake;
    std::unique_ptr<MusicPlayer> player;
};

TEST_F(Music, EventMusicOnlyPlaysJustTheWinAndLoseTunes) {
    SetChoice(kEventMusicOnly, {1, 0, 0, 0, 0, 0});
    SetTitleMusic();
    Passes(3);
    SetGameMusic();
    Passes(3);
    EXPECT_TRUE(fake.requests.empty());
    SetEndMusic(true);
    Passes(1);
    EXPECT_EQ(fake.Playing(), "WIN.MID");
    SetEndMusic(false);
    Passes(1);
    EXPECT_EQ(fake.Playing(), "LOSE.MID");
    EXPECT_EQ(fake.requests, (std::vector<std::string>{"WIN.MID", "LOSE.MID"}));
}

TEST_F(Music, TitleAndEndTunesStartAgainWhenTheyEnd) {
    SetTitleMusic();
    Passes(1);
    EndSong();
    EndSong();
    EXPECT_EQ(fake.requests, (std::vector<std::string>{"MAIN.MID", "MAIN.MID", "MAIN.MID"}));
    SetEndMusic(false);
    Passes(1);
    EndSong();
    EXPECT_EQ(fake.requests.back(), "LOSE.MID");
    EXPECT_EQ(fake.requests.size(), 5u);
}

TEST_F(Music, GameSongsFollowEachOtherAtRandomNeverTwiceInARow) {
    SetChoice(kMusicEnabled, {1, 0, 1, 0, 1, 0});
    SetGameMusic();
    Passes(1);
    for (int i = 0; i < 60; ++i) EndSong();
    std::set<std::string> heard(fake.requests.begin(), fake.requests.end());
    EXPECT_EQ(heard, (std::set<std::string>{"SONG1.MID", "SONG3.MID", "SONG5.MID"}));
    for (size_t i = 1; i < fake.requests.size(); ++i) EXPECT_NE(fake.requests[i], fake.requests[i - 1]);
}

TEST_F(Music, UncheckingThePlayingSongSwitchesWithinAPass) {
    SetGameMusic();
    Passes(1);
    const std::string first = fake.Playing();
    ASSERT_EQ(first.rfind("SONG", 0), 0u);
    std::array<bool, kGameSongCount> songs{1, 1, 1, 1, 1, 1};
    songs[static_cast<size_t>(first[4] - '1')] = false;
    SetChoice(kMusicEnabled, songs);
    SetGameMusic();
    Passes(1);
    EXPECT_EQ(fake.stops, 1);
    EXPECT_NE(fake.Playing(), first);
    EXPECT_EQ(fake.Playing().rfind("SONG", 0), 0u);
}

TEST_F(Music, NewDealKeepsTheSongButAWinThenADealSwitches) {
    SetGameMusic();
    Passes(2);
    SetGameMusic();  // the next deal
    Passes(3);
    EXPECT_EQ(fake.requests.size(), 1u);
    SetEndMusic(true);
    Passes(1);
    EXPECT_EQ(fake.Playing(), "WIN.MID");
    SetGameMusic();
    Passes(1);
    EXPECT_EQ(fake.Playing().rfind("SONG", 0), 0u);
}

TEST_F(Music, DeactivationStopsAndActivationStartsAfresh) {
    SetTitleMusic();
    Passes(1);
    SetMusicApplicationActive(false);
    Passes(1);
    EXPECT_EQ(fake.Playing(), "");
    Passes(5);
    EXPECT_EQ(fake.requests.size(), 1u);
    SetMusicApplicationActive(true);
    Passes(1);
    EXPECT_EQ(fake.requests, (std::vector<std::string>{"MAIN.MID", "MAIN.MID"}));
}

TEST_F(Music, SwitchingMusicOffStopsItAndQuitEndsTheLoop) {
    SetTitleMusic();
    Passes(1);
    SetChoice(kMusicDisabled, {1, 0, 0, 0, 0, 0});
    SetGameMusic();
    Passes(1);
    EXPECT_EQ(fake.Playing(), "");
    SetChoice(kMusicEnabled, {1, 0, 0, 0, 0, 0});
    SetGameMusic();
    Passes(1);
    EXPECT_EQ(fake.Playing(), "SONG1.MID");
    SharedMusicControl().quit = 1;
    EXPECT_FALSE(player->Pass());
    EXPECT_EQ(fake.Playing(), "");
    SharedMusicControl().quit = 0;
}

TEST(MusicThread, RunsTheLoopAndJoinsAtShutdown) {
    ScriptedBackend backend;
    SetBackend(&backend);
    userPreferences.CurrentPlayer = -1;
    ASSERT_EQ(InitSound(nullptr), 0);
    userPreferences.MusicEnabled = kMusicEnabled;
    SetTitleMusic();
    auto performance = std::make_unique<FakePerformance>();
    FakePerformance* fake = performance.get();
    StartMusicThread(std::move(performance));
    ASSERT_TRUE(MusicThreadRunning());
    for (int i = 0; i < 200 && fake->RequestCount() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fake->Playing(), "MAIN.MID");
    ShutdownSound();  // joins the thread, which releases the performance
    EXPECT_FALSE(MusicThreadRunning());
    SetBackend(nullptr);
}

constexpr const char* kSongFiles[] = {"MAIN.MID",  "SONG1.MID", "SONG2.MID", "SONG3.MID", "SONG4.MID",
                                      "SONG5.MID", "SONG6.MID", "WIN.MID",   "LOSE.MID"};

// A fourth-order Butterworth high-pass at 4 kHz (two biquad sections) at the output rate.
class HighPass4k {
public:
    HighPass4k() {
        const double w = 2 * M_PI * 4000.0 / AudioDevice::kOutputRate, c = std::cos(w);
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

// The synthesiser behind the real performance, without a sound device.
TEST(MidiPerformance, PlaysOurSongsAndRefusesDamagedOnes) {
    if (InstalledSoundFont().empty()) GTEST_SKIP() << "no soundfont installed";
    const std::filesystem::path song = GeneratedDataFolder() / "music" / "MAIN.MID";
    ASSERT_TRUE(std::filesystem::exists(song)) << song;
    auto mixer = std::make_shared<AudioMixer>();
    // A damaged soundfont ahead of the good one is named and passed over, as is a missing one.
    TemporaryDataFolder scratch;
    WriteBytes(scratch.Path() / "damaged.sf2", std::vector<uint8_t>(4096, 0x5A));
    std::unique_ptr<MusicPerformance> performance = CreateMidiPerformance(
        mixer, {(scratch.Path() / "missing.sf2").string(), (scratch.Path() / "damaged.sf2").string(), InstalledSoundFont()});
    testing::internal::CaptureStderr();
    ASSERT_TRUE(performance->Initialise());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("damaged.sf2 is damaged"), std::string::npos) << said;
    EXPECT_EQ(said.find("missing.sf2"), std::string::npos) << said;
    std::vector<uint8_t> damaged = ReadBytes(song);
    damaged.resize(damaged.size() / 2);
    WriteBytes(scratch.Path() / "bad.mid", damaged);
    EXPECT_FALSE(performance->Play((scratch.Path() / "bad.mid").string()));
    EXPECT_FALSE(performance->Play((scratch.Path() / "none.mid").string()));

    ASSERT_TRUE(performance->Play(song.string()));
    std::vector<float> block(2 * 1024);
    double energy = 0;
    for (int i = 0; i < 40; ++i) {  // about two seconds
        mixer->RenderMusicOnly(block.data(), 1024);
        for (float v : block) energy += static_cast<double>(v) * v;
    }
    EXPECT_GT(energy, 1.0);
    EXPECT_FALSE(performance->SongEnded());
    performance->Stop();
    EXPECT_TRUE(performance->SongEnded());

    // A bright mix: over each song's first 20 seconds the energy above 4 kHz is no more than
    // 23 dB under the whole (it was 24 to 33 dB under for four songs, from dull voicings and
    // programs). Balanced for the preferred soundfont.
    if (InstalledSoundFont() != kSoundFontPaths[0]) return;
    for (const char* name : kSongFiles) {
        ASSERT_TRUE(performance->Play((song.parent_path() / name).string()));
        double all = 0, high = 0;
        HighPass4k left, right;
        for (int i = 0; i < 20 * static_cast<int>(AudioDevice::kOutputRate) / 1024; ++i) {
            mixer->RenderMusicOnly(block.data(), 1024);
            for (size_t j = 0; j < block.size(); j += 2) {
                all += static_cast<double>(block[j]) * block[j] + static_cast<double>(block[j + 1]) * block[j + 1];
                const double l = left.Filter(block[j]), r = right.Filter(block[j + 1]);
                high += l * l + r * r;
            }
        }
        EXPECT_GT(10 * std::log10(high / all), -23.0) << name;
    }
}

// --- The songs' arrangement, read back from the generated files ---

struct SongNotes {
    int barTicks = 0;
    uint64_t endTick = 0;
    std::vector<uint32_t> tempos;  // microseconds per quarter note, in order
    struct Note {
        uint64_t tick;
        int channel, key;
    };
    std::vector<Note> notes;
    int Bars() const { return static_cast<int>((endTick + barTicks - 1) / barTicks); }
    // The onsets of each bar's notes on the channels, as (channel, tick within the bar).
    std::vector<std::set<std::pair<int, uint64_t>>> Onsets(std::set<int> channels) const {
        std::vector<std::set<std::pair<int, uint64_t>>> bars(static_cast<size_t>(Bars()));
        for (const Note& n : notes)
            if (channels.count(n.channel)) bars[n.tick / barTicks].emplace(n.channel, n.tick % barTicks);
        return bars;
    }
};

SongNotes ReadSongNotes(const char* name) {
    const std::vector<uint8_t> bytes = ReadBytes(GeneratedDataFolder() / "music" / name);
    SongNotes song;
    const int division = bytes[12] << 8 | bytes[13];
    size_t at = 22;  // a format 0 file: the one track's events
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
        song.endTick += quantity();
        const uint8_t status = bytes[at++];
        if (status == 0xFF) {
            const uint8_t type = bytes[at++];
            const uint32_t length = quantity();
            if (type == 0x58) song.barTicks = bytes[at] * division * 4 / (1 << bytes[at + 1]);
            if (type == 0x51) song.tempos.push_back(uint32_t{bytes[at]} << 16 | bytes[at + 1] << 8 | bytes[at + 2]);
            at += length;
        } else {
            if ((status & 0xF0) == 0x90 && bytes[at + 1] > 0) song.notes.push_back({song.endTick, status & 0x0F, bytes[at]});
            at += (status & 0xF0) == 0xC0 ? 1 : 2;
        }
    }
    return song;
}

// Each song opens with an intro of accompaniment alone, changes its accompaniment's rhythm from
// bar to bar (two- to four-bar patterns), fills on the toms at phrase ends and ends on a held
// tonic under a cymbal, slowing down; the two slow songs move in rhythms of their own.
TEST(SongArrangement, IntroVaryingAccompanimentFillsAndAnEnding) {
    constexpr int kLead = 0, kAltLead = 1, kHarmony = 2, kBass = 4, kDrums = 9;
    constexpr int kCrash = 49, kLowTom = 45, kLowMidTom = 47, kHighMidTom = 48;
    std::map<std::string, std::vector<std::set<uint64_t>>> melodies;  // each bar's onsets in the lead
    for (const char* name : kSongFiles) {
        SCOPED_TRACE(name);
        const SongNotes song = ReadSongNotes(name);
        ASSERT_GT(song.barTicks, 0);
        const int bars = song.Bars();
        const auto lead = song.Onsets({kLead, kAltLead}), chords = song.Onsets({kHarmony}), bass = song.Onsets({kBass});
        EXPECT_TRUE(lead[0].empty() && !chords[0].empty() && !bass[0].empty()) << "no intro";
        int repeats = 0;
        for (size_t bar = 1; bar < chords.size(); ++bar) repeats += chords[bar] == chords[bar - 1];
        EXPECT_LT(repeats * 4, bars) << repeats << " of " << bars << " bars repeat the chords' rhythm before them";
        std::set<uint64_t> fillBars;
        bool lastCymbal = false;
        for (const SongNotes::Note& n : song.notes) {
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

// --- The music dialog ---

class MusicDialogTest : public UiTest {
protected:
    void Click(const Window& control) {
        // Just inside the top-left corner: a check box's own box, or any button.
        const int x = control.GetX() + 6, y = control.GetY() + 6;
        MouseDown(10, x, y);
        MouseUp(10, x, y);
    }
};

TEST_F(MusicDialogTest, ShowsTheChoiceAndAcceptingMusicWithNoSongMeansEventMusicOnly) {
    MusicChoice initial;
    initial.mode = kMusicEnabled;
    initial.songs = {true, false, false, false, false, false};
    MusicDialog dialog(initial);
    bool shown = false;
    backend->At(1, [&] {
        shown = dialog.EnabledOption()->IsChecked() && !dialog.DisabledOption()->IsChecked() &&
                dialog.SongBox(0)->IsChecked() && !dialog.SongBox(3)->IsChecked();
    });
    Click(*dialog.SongBox(0));
    Click(*dialog.OkButton());
    EXPECT_EQ(dialog.RunModal(), MusicDialog::kAccepted);
    EXPECT_TRUE(shown);
    EXPECT_EQ(dialog.Choice().mode, kEventMusicOnly);
    for (bool song : dialog.Choice().songs) EXPECT_FALSE(song);
}

TEST_F(MusicDialogTest, AcceptingStoresTheChoiceAndAsksForGameMusicCancelChangesNothing) {
    userPreferences.CurrentPlayer = -1;  // nothing reaches the settings file
    userPreferences.MusicEnabled = kMusicDisabled;
    for (auto& flag : userPreferences.SongEnabled) flag = 0;
    userPreferences.SongEnabled[0] = 1;
    ASSERT_EQ(InitSound(nullptr), 0);
    SharedMusicControl().state = kMusicTitle;

    MusicDialog probe(CurrentMusicChoice());  // for the controls' places only
    Click(*probe.EventOnlyOption());
    Click(*probe.CancelButton());
    EXPECT_EQ(RunMusicDialog(), MusicDialog::kCancelled);
    EXPECT_EQ(CurrentMusicMode(), kMusicDisabled);
    EXPECT_EQ(SharedMusicControl().state.load(), kMusicTitle);

    Click(*probe.EnabledOption());
    Click(*probe.SongBox(3));
    Click(*probe.OkButton());
    EXPECT_EQ(RunMusicDialog(), MusicDialog::kAccepted);
    EXPECT_EQ(CurrentMusicMode(), kMusicEnabled);
    EXPECT_TRUE(GameSongEnabled(0));
    EXPECT_TRUE(GameSongEnabled(3));
    EXPECT_EQ(SharedMusicControl().state.load(), kMusicGame);
    EXPECT_EQ(SharedMusicControl().wanted.load(), 1);
    ShutdownSound();
}

}  // namespace
