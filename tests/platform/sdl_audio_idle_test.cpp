// The SDL outputs through SDL's disk driver, which writes what each plays to a file: an output
// closes after a silence, so the file stops growing, and opens again as soon as a sound is asked
// for, playing the effects asked for meanwhile in order. Music has an output of its own.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/midi_player.h"
#include "platform/sdl_audio_device.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::shared_ptr<const EffectSound> Constant(int16_t value, uint32_t ms) {
    auto sound = std::make_shared<EffectSound>();
    sound->name = std::to_string(value);
    sound->samples.assign(size_t{AudioDevice::kOutputRate} * ms / 1000 * 2, value);
    return sound;
}

class SdlAudioIdle : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
        ::setenv("SDL_DISKAUDIODELAY", "5", 1);
    }
    void TearDown() override {
        ::unsetenv("SDL_DISKAUDIOFILE");
        ::unsetenv("SDL_DISKAUDIODELAY");
        fs::remove(file);
    }
    uintmax_t Size() const {
        std::error_code error;
        const uintmax_t size = fs::file_size(file, error);
        return error ? 0 : size;
    }
    // True once the file has not grown for a while: the device is closed.
    bool WaitClosed() {
        uintmax_t last = Size();
        int still = 0;
        for (int i = 0; i < 200 && still < 8; ++i) {
            std::this_thread::sleep_for(25ms);
            const uintmax_t size = Size();
            still = size == last ? still + 1 : 0;
            last = size;
        }
        return still >= 8;
    }
    // The samples written so far.
    std::vector<int16_t> Samples() const {
        std::ifstream in(file, std::ios::binary);
        std::vector<int16_t> samples(Size() / 2);
        in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
        samples.resize(static_cast<size_t>(in.gcount() / 2));
        return samples;
    }
    // Waits until the file holds `run` samples of the value in a row; the index of the first, or -1.
    long WaitFor(int16_t value, size_t run = 1) {
        for (int i = 0; i < 200; ++i) {
            const std::vector<int16_t> samples = Samples();
            for (size_t k = 0, same = 0; k < samples.size(); ++k) {
                same = samples[k] == value ? same + 1 : 0;
                if (same == run) return static_cast<long>(k + 1 - run);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }

    const std::string file = (fs::temp_directory_path() / ("qf-audio-" + std::to_string(::getpid()))).string();
};

TEST_F(SdlAudioIdle, ClosesWhenSilentAndOpensForTheNextEffectsInOrder) {
    auto device = CreateSdlAudioDevice(100);
    ASSERT_NE(device, nullptr);
    device->PlayEffect(Constant(1000, 500));
    device.reset();  // destroyed while open, an effect sounding
    device = CreateSdlAudioDevice(100);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(WaitClosed()) << "the output kept running through a silence";

    // Two effects asked for while closed: the device opens, and the first asked sounds first.
    // The mix rounds back to the same 16-bit values.
    device->PlayEffect(Constant(1000, 60));
    device->PlayEffect(Constant(3000, 60));
    const long first = WaitFor(1000), second = WaitFor(3000);
    ASSERT_GE(first, 0) << "the effect asked for while closed never sounded";
    ASSERT_GE(second, 0);
    EXPECT_LT(first, second);
    ASSERT_TRUE(WaitClosed()) << "the output did not close again after the effects";

    // Closing and opening again many times loses nothing.
    for (int round = 0; round < 3; ++round) {
        device->PlayEffect(Constant(static_cast<int16_t>(5000 + round), 30));
        EXPECT_GE(WaitFor(static_cast<int16_t>(5000 + round)), 0);
        ASSERT_TRUE(WaitClosed());
    }
    device->PlayEffect(Constant(1000, 500));
    device.reset();  // destroyed while opening, or just opened
}

// A song plays through an output of its own, in periods four times the effects', and an effect
// asked for meanwhile sounds through the effects' output. (Each output writes the file from its
// start as it opens.)
TEST_F(SdlAudioIdle, MusicPlaysThroughItsOwnOutputInLongPeriods) {
    if (InstalledSoundFont().empty()) GTEST_SKIP() << "no soundfont installed";
    const fs::path song = audiotest::GeneratedDataFolder() / "music" / "MAIN.MID";
    ASSERT_TRUE(fs::exists(song)) << song;
    auto device = CreateSdlAudioDevice(100);
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(WaitClosed());
    std::unique_ptr<MusicPerformance> performance = device->CreateMusicPerformance();
    ASSERT_TRUE(performance->Initialise());
    ASSERT_TRUE(performance->Play(song.string()));
    constexpr uintmax_t kMusicPeriodBytes = kSdlMusicPeriodFrames * 4;
    for (int i = 0; i < 1000 && Size() < 2 * kMusicPeriodBytes; ++i) std::this_thread::sleep_for(2ms);
    ASSERT_GE(Size(), 2 * kMusicPeriodBytes) << "the music's output never played";
    // The music alone: the file grows a whole long period at a time. The driver's buffered file
    // writes a period in pieces, so now and then a look lands between two of them; periods of
    // the effects' length would leave most looks short of a whole long period.
    const uintmax_t before = Size();
    int betweenPeriods = 0;
    for (int i = 0; i < 20; ++i) {
        if (Size() % kMusicPeriodBytes != 0) ++betweenPeriods;
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_LE(betweenPeriods, 2);
    EXPECT_GT(Size(), before) << "the music stopped";
    device->PlayEffect(Constant(1000, 60));
    EXPECT_GE(WaitFor(1000, 2000), 0) << "the effect did not sound beside the music";
    performance->Stop();
    EXPECT_TRUE(WaitClosed()) << "the outputs did not close after the music and the effect";
    performance.reset();
    device.reset();
}

}  // namespace
