#include "audio/music.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "audio/audio_preferences.h"
#include "audio/sound_effects.h"
#include "platform/crt.h"
#include "platform/paths.h"

namespace {

// Between passes the thread sleeps this long. Everything it acts on wakes it at once: a change
// of what should play (Nudge), quit, and the end of a song (the performance's end notice); the
// wait only bounds how late a change nobody announced is seen, and an idle table wakes the
// thread once a second.
constexpr uint32_t kPassWaitMs = 1000;
// Far more draws than a real choice needs (with one song of six, 1000 draws all miss it with
// a chance of about 10^-79).
constexpr int kMaximumDraws = 1000;
constexpr char kTitleSong[] = "music\\MAIN.MID";
constexpr char kWonSong[] = "music\\WIN.MID";
constexpr char kLostSong[] = "music\\LOSE.MID";

MusicControl sharedControl;

struct MusicThread {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;  // lets a quit request or a change of song cut a wait short
    bool nudged = false;
};
MusicThread musicThread;

// Something the thread acts on changed: its next pass comes now.
void Nudge() {
    {
        std::lock_guard lock(musicThread.mutex);
        musicThread.nudged = true;
    }
    musicThread.wake.notify_all();
}

void SetState(int32_t state, bool wanted) {
    if (!SoundReady()) return;
    sharedControl.state.store(state);
    sharedControl.wanted.store(wanted ? 1 : 0);
    Nudge();
}

void RunMusicThread(std::unique_ptr<MusicPerformance> performance) {
    MusicPlayer player(performance.get(), sharedControl);
    player.Initialise(static_cast<unsigned>(std::time(nullptr)));
    performance->SetEndNotice(Nudge);
    while (player.Pass()) {
        std::unique_lock lock(musicThread.mutex);
        musicThread.wake.wait_for(lock, std::chrono::milliseconds(kPassWaitMs), [] {
            return sharedControl.quit.load() != 0 || musicThread.nudged;
        });
        musicThread.nudged = false;
    }
    performance->SetEndNotice(nullptr);
    // The performance goes with the thread that used it.
}

}  // namespace

MusicControl& SharedMusicControl() { return sharedControl; }

void SetTitleMusic() { SetState(kMusicTitle, CurrentMusicMode() == kMusicEnabled); }

void SetGameMusic() { SetState(kMusicGame, CurrentMusicMode() == kMusicEnabled); }

void SetEndMusic(bool won) {
    const uint32_t mode = CurrentMusicMode();
    SetState(won ? kMusicWon : kMusicLost, mode == kMusicEnabled || mode == kEventMusicOnly);
}

void SetMusicApplicationActive(bool active) {
    sharedControl.applicationActive.store(active ? 1 : 0);
    Nudge();
}

void StartMusicThread(std::unique_ptr<MusicPerformance> performance) {
    if (!performance || musicThread.thread.joinable()) return;
    sharedControl.quit.store(0);
    musicThread.thread = std::thread(RunMusicThread, std::move(performance));
}

void StopMusicThread() {
    if (!musicThread.thread.joinable()) return;
    {
        std::lock_guard lock(musicThread.mutex);
        sharedControl.quit.store(1);
    }
    musicThread.wake.notify_all();
    musicThread.thread.join();
}

bool MusicThreadRunning() { return musicThread.thread.joinable(); }

// --- MusicPlayer ---

MusicPlayer::MusicPlayer(MusicPerformance* performance, const MusicControl& control)
    : performance(performance), control(control) {}

bool MusicPlayer::Initialise(unsigned seed) {
    // The thread's own generator: the interface thread's deals never see these draws.
    crt::srand(seed);
    return performance != nullptr;
}

void MusicPlayer::StopSong() {
    if (playing) performance->Stop();
    playing = false;
}

bool MusicPlayer::Pass() {
    if (control.quit.load()) {
        if (ready) StopSong();
        return false;
    }
    if (!control.wanted.load()) {
        StopSong();
        return true;
    }
    if (!ready && performance && !setUpTried) {
        setUpTried = true;
        ready = performance->Initialise();
    }
    // Without a performance there is nothing to do but follow the quit request.
    if (!ready) return true;
    const int32_t state = control.state.load();
    const bool active = control.applicationActive.load() != 0;
    if (playing) {
        const bool keep = !performance->SongEnded() && state == stateActedOn && active &&
                          (state != kMusicGame || GameSongEnabled(lastSong));
        if (keep) return true;
        StopSong();
    }
    stateActedOn = state;
    const uint32_t mode = CurrentMusicMode();
    const bool endState = state == kMusicWon || state == kMusicLost;
    if (!active || !(mode == kMusicEnabled || (endState && mode == kEventMusicOnly))) return true;
    const std::string file = ChooseFile(state);
    // A missing or damaged file plays nothing; the next pass tries again.
    if (!file.empty() && performance->Play(DataPath(file.c_str()))) playing = true;
    return true;
}

std::string MusicPlayer::ChooseFile(int32_t state) {
    switch (state) {
        case kMusicTitle:
            return kTitleSong;
        case kMusicWon:
            return kWonSong;
        case kMusicLost:
            return kLostSong;
        case kMusicGame:
            break;
        default:
            return {};
    }
    int enabled = 0;
    for (int i = 0; i < kGameSongCount; ++i) enabled += GameSongEnabled(i);
    // With no song enabled (the dialog and the preferences never leave it so) nothing plays.
    if (enabled == 0) return {};
    // The flags may change under the thread while it draws, so the drawing is bounded.
    int song = -1;
    for (int draw = 0; draw < kMaximumDraws; ++draw) {
        const int r = crt::rand() % kGameSongCount;
        if (GameSongEnabled(r) && (enabled == 1 || r != lastSong)) {
            song = r;
            break;
        }
    }
    if (song < 0) return {};
    lastSong = song;
    char name[32];
    std::snprintf(name, sizeof name, "music\\SONG%d.MID", song + 1);
    return name;
}
