// Background music. A thread of its own follows a few shared words: which kind of music is due
// (title, game, won, lost), whether music should sound at all, whether the program is the
// active application, and the player's music mode and song choices. The interface thread only
// writes those words; the thread polls them at least every 100 ms, so a change is heard within
// about that long.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio_device.h"

enum MusicState : int32_t {
    kMusicTitle = 0,
    kMusicGame = 1,
    kMusicWon = 2,
    kMusicLost = 3,
};

// The words the interface thread shares with the music thread, each read and written whole.
struct MusicControl {
    std::atomic<int32_t> state{kMusicTitle};
    std::atomic<uint8_t> wanted{0};
    std::atomic<uint8_t> quit{0};
    // Nonzero while the program is the active application.
    std::atomic<int32_t> applicationActive{1};
};
MusicControl& SharedMusicControl();

// What is due now. Each does nothing while sound is not ready, and none waits for the thread.
void SetTitleMusic();            // title and menu screens; heard in mode 1
void SetGameMusic();             // every new deal and after the music dialog; heard in mode 1
void SetEndMusic(bool won);      // after the game ends; heard in modes 1 and 2
// The shell reports activation changes here: music stops while another program is active and
// starts again from the beginning when the player comes back.
void SetMusicApplicationActive(bool active);

// Started by InitSound with the device's performance (nothing starts without one); stopped by
// ShutdownSound, which waits for the thread and releases the performance on it.
void StartMusicThread(std::unique_ptr<MusicPerformance> performance);
void StopMusicThread();
bool MusicThreadRunning();

// The thread's work, one pass at a time, so tests can drive it on their own clock.
class MusicPlayer {
public:
    MusicPlayer(MusicPerformance* performance, const MusicControl& control);

    // Seeds the thread's random generator. The performance is set up when music is first wanted:
    // the synthesiser and its soundfont take tens of megabytes that a player with music off
    // never needs.
    bool Initialise(unsigned seed);
    // One pass of the loop: stops what must stop and starts what is due. False once quit is
    // set, after stopping the music.
    bool Pass();
    bool Playing() const { return playing; }
    int LastSong() const { return lastSong; }  // 0..5, -1 before the first game song

private:
    // The file for a state; for a game song a new random choice. Empty when nothing can play.
    std::string ChooseFile(int32_t state);
    void StopSong();

    MusicPerformance* performance;
    const MusicControl& control;
    bool ready = false;
    bool setUpTried = false;
    bool playing = false;
    int32_t stateActedOn = -1;
    int lastSong = -1;
};
