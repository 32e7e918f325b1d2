// The music thread's decisions, one pass (100 ms) at a time, observed through what it asks of
// a fake performance; then the real thread and the real synthesiser briefly; and the music
// dialog driven through its modal loop with scripted clicks.

#include <array>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "audio/audio_preferences.h"
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
    bool Initialise() override {
        ++setUps;
        return true;
    }
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

    std::mutex mutex;
    std::vector<std::string> requests;
    std::string playing;
    std::string missing;
    bool ended = false;
    int stops = 0;
    int setUps = 0;
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
    EXPECT_EQ(fake.setUps, 0);  // the synthesiser is set up only once something is to play
    SetEndMusic(true);
    Passes(1);
    EXPECT_EQ(fake.Playing(), "WIN.MID");
    SetEndMusic(false);
    Passes(1);
    EXPECT_EQ(fake.Playing(), "LOSE.MID");
    EXPECT_EQ(fake.requests, (std::vector<std::string>{"WIN.MID", "LOSE.MID"}));
    EXPECT_EQ(fake.setUps, 1);
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

TEST_F(Music, TheThreadRunsTheLoopAndJoinsAtShutdown) {
    SetTitleMusic();
    auto performance = std::make_unique<FakePerformance>();
    FakePerformance* threadFake = performance.get();
    StartMusicThread(std::move(performance));
    ASSERT_TRUE(MusicThreadRunning());
    for (int i = 0; i < 200 && threadFake->Playing().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(threadFake->Playing(), "MAIN.MID");
    ShutdownSound();  // joins the thread, which releases the performance
    EXPECT_FALSE(MusicThreadRunning());
}

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

    // The end of a song is announced once, from the rendering, as soon as it is reached: the
    // music thread waits for that rather than asking. Half a second at 96 ticks a beat and 120
    // beats a minute, a key struck twice.
    const std::vector<uint8_t> shortSong = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k',
                                            0, 0, 0, 20, 0, 0x90, 60, 100, 24, 0x80, 60, 0, 0, 0x90, 60, 100,
                                            24, 0x80, 60, 0, 48, 0xFF, 0x2F, 0};
    WriteBytes(scratch.Path() / "short.mid", shortSong);
    int notices = 0;
    performance->SetEndNotice([&notices] { ++notices; });
    ASSERT_TRUE(performance->Play((scratch.Path() / "short.mid").string()));
    int blocks = 0;
    for (; notices == 0 && blocks < 40; ++blocks) mixer->RenderMusicOnly(block.data(), 1024);
    EXPECT_EQ(notices, 1);
    EXPECT_NEAR(blocks * 1024.0 / AudioDevice::kOutputRate, 0.5, 0.05);
    EXPECT_TRUE(performance->SongEnded());
    for (int i = 0; i < 5; ++i) mixer->RenderMusicOnly(block.data(), 1024);
    EXPECT_EQ(notices, 1);
    performance->SetEndNotice(nullptr);
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
