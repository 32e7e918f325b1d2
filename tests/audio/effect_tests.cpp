// The effect player on the scripted back end's virtual clock: what is opened, what is played,
// how long the call blocks, and how the stream recovers from a buffer it cannot fill.

#include <algorithm>

#include "audio/music.h"
#include "audio/sound_effects.h"
#include "platform/backend.h"
#include "platform/scripted_backend.h"
#include "platform/sdl_audio_device.h"
#include "platform/virtual_audio_device.h"
#include "store/settings_store.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace audiotest;

class Effects : public ::testing::Test {
protected:
    void SetUp() override {
        backend = std::make_unique<ScriptedBackend>();
        SetBackend(backend.get());
        userPreferences.CurrentPlayer = -1;
        userPreferences.SoundEnabled = 1;
        ASSERT_EQ(InitSound(nullptr), 0);
        ResetVirtualAudio();
    }
    void TearDown() override {
        ShutdownSound();
        SetBackend(nullptr);
    }
    void AddEffect(const char* name, const WaveRecipe& wave) { WriteFile(data.Path() / "SFX" / name, MakeWave(wave)); }

    TemporaryDataFolder data;
    std::unique_ptr<ScriptedBackend> backend;
};

TEST_F(Effects, NothingOpensWhenSoundIsOffTheFileIsMissingOrTheNameIsEmpty) {
    WaveRecipe wave;
    wave.data = Samples16(22050, 1000);
    AddEffect("deal.wav", wave);
    userPreferences.SoundEnabled = 0;
    PlaySoundEffect("deal.wav");
    userPreferences.SoundEnabled = 1;
    PlaySoundEffect("missing.wav");
    PlaySoundEffect("");
    PlaySoundEffect(nullptr);
    EXPECT_EQ(VirtualAudio().buffersCreated, 0);
    EXPECT_EQ(GetTickCount64(), 0u);
}

TEST_F(Effects, ShortEightBitEffectEndsInSilenceAndStopsAfterOneSegment) {
    WaveRecipe wave;
    wave.bits = 8;
    wave.data.assign(1000, 200);
    AddEffect("flip.wav", wave);
    PlaySoundEffect("flip.wav");
    const VirtualAudioLog& log = VirtualAudio();
    ASSERT_EQ(log.buffersCreated, 1);
    // 22050 x 1 x 3 / 16 bytes per segment, sixteen of them.
    EXPECT_EQ(log.lastBufferSize, 16u * 4134u);
    EXPECT_EQ(log.stops, 1);
    // The file is shorter than a segment: play stops at the first segment boundary, by when
    // the data and then silence of value 128 were heard.
    ASSERT_GE(log.played.size(), 4134u);
    EXPECT_LT(log.played.size(), 4134u + 30u);
    EXPECT_TRUE(std::all_of(log.played.begin(), log.played.begin() + 1000, [](uint8_t b) { return b == 200; }));
    EXPECT_TRUE(std::all_of(log.played.begin() + 1000, log.played.end(), [](uint8_t b) { return b == 128; }));
    EXPECT_NEAR(static_cast<double>(GetTickCount64()), 4134 * 1000.0 / 22050, 3);
}

TEST_F(Effects, CallBlocksUntilTheEffectHasPlayed) {
    // One second of 16-bit sound: the ring holds it all, so the end of the file is known at
    // the start; play stops at the first boundary within a segment of the file's size.
    WaveRecipe wave;
    wave.data = Samples16(22050, 1234);
    AddEffect("shuffle.wav", wave);
    PlaySoundEffect("shuffle.wav");
    const uint32_t segment = 8268;
    const uint32_t riffSize = 36 + 44100;
    const uint32_t stopSegment = (riffSize - segment + segment - 1) / segment;  // first boundary past it
    EXPECT_NEAR(static_cast<double>(GetTickCount64()), stopSegment * segment * 1000.0 / 44100, 3);
    EXPECT_EQ(VirtualAudio().stops, 1);
    // Everything played was the file's samples: the stop came before the silence.
    const std::vector<uint8_t> expected = Samples16(VirtualAudio().played.size() / 2, 1234);
    EXPECT_EQ(VirtualAudio().played, expected);
}

TEST_F(Effects, LongEffectStreamsThroughTheRing) {
    // Five seconds do not fit the three-second ring: segments are refilled as play passes them.
    WaveRecipe wave;
    wave.data.resize(5 * 44100);
    for (size_t i = 0; i < wave.data.size(); ++i) wave.data[i] = static_cast<uint8_t>(i * 7 / 2);
    AddEffect("long.wav", wave);
    PlaySoundEffect("long.wav");
    const std::vector<uint8_t>& played = VirtualAudio().played;
    ASSERT_GT(played.size(), 4u * 44100u);
    EXPECT_TRUE(std::equal(played.begin(), played.begin() + static_cast<ptrdiff_t>(std::min(played.size(), wave.data.size())),
                           wave.data.begin()));
    EXPECT_GT(GetTickCount64(), 4700u);
    EXPECT_LT(GetTickCount64(), 5200u);
}

TEST_F(Effects, NonPcmFormatIsOfferedToTheDeviceWithItsExtraBytes) {
    WaveRecipe wave;
    wave.formatTag = 0x11;
    wave.bits = 4;
    wave.blockAlign = 256;  // compressed formats code whole blocks
    wave.extra = {0xF9, 0x01};
    wave.data.assign(512, 0x33);
    AddEffect("odd.wav", wave);
    PlaySoundEffect("odd.wav");
    EXPECT_EQ(VirtualAudio().lastFormat.formatTag, 0x11);
    EXPECT_EQ(VirtualAudio().lastFormat.extra, wave.extra);
}

TEST(EffectsWithoutSound, SilentWhenSoundCouldNotStart) {
    // No back end: no device, so InitSound fails and every effect is silent and immediate.
    SetBackend(nullptr);
    EXPECT_EQ(InitSound(nullptr), -1);
    EXPECT_FALSE(SoundReady());
    ResetVirtualAudio();
    PlaySoundEffect("deal.wav");
    EXPECT_EQ(VirtualAudio().buffersCreated, 0);
    SetTitleMusic();
    EXPECT_EQ(SharedMusicControl().wanted.load(), 0);
}

TEST(EffectsWithoutSound, DummyDriverGivesNoDevice) {
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(CreateSdlAudioDevice(), nullptr);
}

// --- The stream itself, on a device whose buffers can be made to refuse locking ---

class FlakyDevice : public AudioDevice {
public:
    // Wraps a virtual buffer; Lock fails while failuresLeft > 0 (after the first, whole-ring lock).
    class Buffer : public SoundBuffer {
    public:
        Buffer(std::unique_ptr<SoundBuffer> inner, FlakyDevice& device)
            : SoundBuffer(inner->Format(), inner->Size()), inner(std::move(inner)), device(device) {}
        bool SetNotificationOffsets(const std::vector<uint32_t>& offsets) override {
            device.offsets = offsets;
            return inner->SetNotificationOffsets(offsets);
        }
        uint8_t* Lock(uint32_t offset, uint32_t bytes) override {
            ++device.locks;
            if (device.locks > 1 && device.failuresLeft > 0) {
                --device.failuresLeft;
                return nullptr;
            }
            return inner->Lock(offset, bytes);
        }
        void Unlock() override { inner->Unlock(); }
        uint32_t PlayPosition() override { return inner->PlayPosition(); }
        void SetPlayPosition(uint32_t offset) override { inner->SetPlayPosition(offset); }
        bool PlayLooping() override { return inner->PlayLooping(); }
        void Stop() override { inner->Stop(); }
        bool Playing() override { return inner->Playing(); }
        BufferEvent WaitForEvent(uint32_t timeoutMs) override { return inner->WaitForEvent(timeoutMs); }

    private:
        std::unique_ptr<SoundBuffer> inner;
        FlakyDevice& device;
    };

    std::unique_ptr<SoundBuffer> CreateSoundBuffer(const WaveFormat& format, uint32_t bytes) override {
        return std::make_unique<Buffer>(virtualDevice->CreateSoundBuffer(format, bytes), *this);
    }

    std::unique_ptr<AudioDevice> virtualDevice = CreateVirtualAudioDevice();
    std::vector<uint32_t> offsets;
    int locks = 0;
    int failuresLeft = 0;
};

class Stream : public ::testing::Test {
protected:
    void SetUp() override {
        backend = std::make_unique<ScriptedBackend>();
        SetBackend(backend.get());
        ResetVirtualAudio();
    }
    void TearDown() override { SetBackend(nullptr); }
    std::string Write(const WaveRecipe& wave) {
        const auto path = data.Path() / "effect.wav";
        WriteFile(path, MakeWave(wave));
        return path.string();
    }

    TemporaryDataFolder data;
    std::unique_ptr<ScriptedBackend> backend;
    FlakyDevice device;
};

TEST_F(Stream, SegmentsAreThreeSixteenthsOfASecondInWholeFrames) {
    EffectStream stream(&device);
    WaveRecipe stereo;
    stereo.channels = 2;
    stereo.rate = 44100;
    stereo.data = Samples16(8, 0);
    ASSERT_TRUE(stream.Open(Write(stereo)));
    // 44100 x 4 x 3 / 16 = 33075, rounded down to whole four-byte frames.
    EXPECT_EQ(stream.SegmentSize(), 33072u);
    EXPECT_EQ(stream.BufferSize(), 16u * 33072u);
    ASSERT_EQ(device.offsets.size(), 16u);
    EXPECT_EQ(device.offsets.front(), 33071u);
    EXPECT_EQ(device.offsets.back(), 16u * 33072u - 1);
    WaveRecipe low;
    low.bits = 8;
    low.rate = 11025;
    low.data.assign(8, 0);
    ASSERT_TRUE(stream.Open(Write(low)));
    EXPECT_EQ(stream.SegmentSize(), 2067u);
}

TEST_F(Stream, RefillRetriesFiveTimesThenGivesUp) {
    WaveRecipe wave;
    wave.data = Samples16(5 * 22050, 5);  // longer than the ring, so refills matter
    EffectStream stream(&device);
    ASSERT_TRUE(stream.Open(Write(wave)));
    ASSERT_TRUE(stream.Start());
    device.failuresLeft = 100;
    stream.PlayToEnd();
    // The whole ring, the failed refill and its five retries, 10 ms apart.
    EXPECT_EQ(device.locks, 1 + 1 + 5);
    EXPECT_FALSE(stream.Buffer()->Playing());
    EXPECT_NEAR(static_cast<double>(GetTickCount64()), 8268 * 1000.0 / 44100 + 50, 3);
}

TEST_F(Stream, RefillThatSucceedsOnARetryPlaysOn) {
    WaveRecipe wave;
    wave.data = Samples16(5 * 22050, 5);
    EffectStream stream(&device);
    ASSERT_TRUE(stream.Open(Write(wave)));
    ASSERT_TRUE(stream.Start());
    device.failuresLeft = 3;
    stream.PlayToEnd();
    EXPECT_GT(GetTickCount64(), 4700u);
    EXPECT_GE(stream.Progress(), 5u * 44100u - stream.SegmentSize());
}

}  // namespace
