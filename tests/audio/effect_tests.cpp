// The effect player on the scripted back end's virtual clock: a call never takes time, effects
// are converted to the output format, start in the order asked for, and share a few voices.

#include <algorithm>
#include <cmath>
#include <set>

#include "audio/music.h"
#include "audio/sound_effects.h"
#include "platform/backend.h"
#include "platform/crt.h"
#include "platform/scripted_backend.h"
#include "platform/virtual_audio_device.h"
#include "store/settings_store.h"
#include "tests/audio/audio_fixture.h"

namespace {

using namespace audiotest;

constexpr float kUnit = 1.0f / 32768.0f;
constexpr size_t kRate = AudioDevice::kOutputRate;

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
    // A mono 16-bit effect of constant value, lasting ms at the output rate.
    void AddConstant(const char* name, int16_t value, uint32_t ms) {
        WaveRecipe wave;
        wave.rate = kRate;
        wave.data = Samples16(kRate * ms / 1000, value);
        WriteBytes(data.Path() / "SFX" / name, MakeWave(wave));
    }
    // The left channel of the mixed output, in sample units.
    static std::vector<int> Left() {
        const std::vector<float>& out = VirtualAudio().output;
        std::vector<int> left;
        for (size_t i = 0; i < out.size(); i += 2) left.push_back(static_cast<int>(std::lround(out[i] / kUnit)));
        return left;
    }
    static size_t Count(const std::vector<int>& samples, int value) {
        return static_cast<size_t>(std::count(samples.begin(), samples.end(), value));
    }

    TemporaryDataFolder data;
    std::unique_ptr<ScriptedBackend> backend;
};

TEST_F(Effects, NothingPlaysWhenSoundIsOffTheFileIsMissingOrTheNameIsEmpty) {
    AddConstant("deal.wav", 1000, 100);
    userPreferences.SoundEnabled = 0;
    PlaySoundEffect("deal.wav");
    userPreferences.SoundEnabled = 1;
    PlaySoundEffect("missing.wav");
    PlaySoundEffect("");
    PlaySoundEffect(nullptr);
    EXPECT_TRUE(VirtualAudio().requests.empty());
    EXPECT_EQ(GetTickCount64(), 0u);
}

TEST_F(Effects, CallReturnsAtOnceAndTheEffectSoundsFromThatMoment) {
    AddConstant("shuffle.wav", 1234, 1000);
    SleepMs(100);
    PlaySoundEffect("shuffle.wav");
    EXPECT_EQ(GetTickCount64(), 100u);
    SleepMs(1500);
    const std::vector<int> left = Left();
    const size_t start = VirtualAudio().FrameAt(100);
    ASSERT_EQ(VirtualAudio().requests.size(), 1u);
    EXPECT_EQ(VirtualAudio().requests[0].atMs, 100u);
    EXPECT_TRUE(std::all_of(left.begin(), left.begin() + static_cast<ptrdiff_t>(start), [](int v) { return v == 0; }));
    EXPECT_EQ(left[start], 1234);
    // All of it, once, then silence.
    EXPECT_EQ(Count(left, 1234), kRate);
    EXPECT_EQ(left[start + kRate], 0);
}

TEST_F(Effects, EffectsAskedTogetherStartInOrderThirtyMillisecondsApart) {
    AddConstant("foundation.wav", 1000, 200);
    AddConstant("flip.wav", 2000, 200);
    PlaySoundEffect("foundation.wav");
    PlaySoundEffect("flip.wav");
    SleepMs(500);
    const std::vector<int> left = Left();
    const size_t spacing = kRate * EffectVoices::kSpacingMs / 1000;
    EXPECT_EQ(left[0], 1000);
    EXPECT_EQ(left[spacing - 1], 1000);
    EXPECT_EQ(left[spacing], 3000);  // both sound together from there
    EXPECT_EQ(Count(left, 1000) + Count(left, 3000), kRate / 5);
    EXPECT_EQ(Count(left, 3000) + Count(left, 2000), kRate / 5);
}

TEST_F(Effects, TheSameEffectStartsOverInsteadOfPilingUp) {
    AddConstant("deal.wav", 1000, 200);
    PlaySoundEffect("deal.wav");
    SleepMs(50);
    PlaySoundEffect("deal.wav");
    // A whole deal asked for at once (slides off) is heard as one sound.
    SleepMs(400);
    for (int card = 0; card < 28; ++card) PlaySoundEffect("deal.wav");
    SleepMs(400);
    const std::vector<int> left = Left();
    EXPECT_EQ(*std::max_element(left.begin(), left.end()), 1000);
    // 50 ms of the first, all of the restarted one, all of the one for the deal.
    EXPECT_NEAR(static_cast<double>(Count(left, 1000)), kRate * 0.05 + 2 * kRate / 5, 2);
    EXPECT_EQ(VirtualAudio().requests.size(), 30u);
}

TEST_F(Effects, WhenEveryVoiceIsBusyTheOldestEffectGivesWay) {
    const char* names[] = {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav"};
    for (int i = 0; i < 5; ++i) AddConstant(names[i], static_cast<int16_t>(100 << i), 1000);
    for (const char* name : names) {
        PlaySoundEffect(name);
        SleepMs(50);
    }
    SleepMs(50);
    // The first was silenced when the fifth started; the other four sound together.
    EXPECT_EQ(Left().back(), 200 + 400 + 800 + 1600);
}

TEST_F(Effects, AnEffectWithVariantsVariesEachTimeButKeepsItsNameAndTheDealsGenerator) {
    // Four takes of a decaying click, as the generator writes them.
    for (int v = 0; v < 4; ++v) {
        WaveRecipe wave;
        wave.rate = kRate;
        for (int i = 0; i < 2000; ++i) {
            const auto value = static_cast<int16_t>((i % 40 < 20 ? 8000 : -8000) * (2000 - i) / 2000 * (4 - v) / 4);
            PutLittle(wave.data, static_cast<uint16_t>(value), 2);
        }
        WriteBytes(data.Path() / "SFX" / (v == 0 ? std::string("deal.wav") : "deal-" + std::to_string(v + 1) + ".wav"),
                  MakeWave(wave));
    }
    crt::srand(7);
    const int expected = (crt::rand(), crt::rand());
    crt::srand(7);
    crt::rand();
    std::set<std::vector<int>> takes;
    for (int card = 0; card < 28; ++card) {
        const size_t start = VirtualAudio().FrameAt(GetTickCount64());
        PlaySoundEffect("deal.wav");
        SleepMs(100);
        const std::vector<int> left = Left();
        takes.emplace(left.begin() + static_cast<ptrdiff_t>(start), left.begin() + static_cast<ptrdiff_t>(start + 2000));
    }
    EXPECT_EQ(crt::rand(), expected) << "playing a sound moved the deals' generator";
    EXPECT_GE(takes.size(), 20u) << "a deal sounds like one sample repeated";
    for (const auto& request : VirtualAudio().requests) EXPECT_EQ(request.name, "deal.wav");
}

// --- Conversion into the output format ---

std::shared_ptr<const EffectSound> Decode(const WaveRecipe& wave) {
    const std::vector<uint8_t> file = MakeWave(wave);
    WaveReader reader;
    if (!reader.OpenMemory(file.data(), file.size())) return nullptr;
    return DecodeEffect(reader, "test.wav");
}

TEST(EffectDecoding, EightBitStereoAndOtherRatesBecomeSixteenBitStereoAtTheOutputRate) {
    std::vector<uint8_t> stereo = Samples16(4, 0);
    stereo[0] = 10;  // left of the first frame
    stereo[6] = 20;  // right of the second
    const struct {
        const char* what;
        WaveRecipe wave;
        std::vector<int16_t> samples;
    } cases[] = {
        {"8-bit", {.rate = kRate, .bits = 8, .data = {128, 200, 0, 255}},
         {0, 0, 72 * 256, 72 * 256, -128 * 256, -128 * 256, 127 * 256, 127 * 256}},
        {"stereo at half the rate, every frame twice", {.channels = 2, .rate = 22050, .data = stereo},
         {10, 0, 10, 0, 0, 20, 0, 20}},
        {"twice the rate", {.rate = 88200, .data = Samples16(441, 7)}, std::vector<int16_t>(440, 7)},
    };
    for (const auto& c : cases) {
        const auto sound = Decode(c.wave);
        ASSERT_TRUE(sound) << c.what;
        EXPECT_EQ(sound->samples, c.samples) << c.what;
    }
}

TEST(EffectDecoding, FormatsWeCannotMixAndEmptyDataGiveNothing) {
    const WaveRecipe refused[] = {
        {.formatTag = 0x11, .bits = 4, .extra = {0xF9, 0x01}, .data = std::vector<uint8_t>(512, 0x33), .blockAlign = 256},
        {.bits = 24, .data = std::vector<uint8_t>(30, 1)},
        {},             // no data
        {.data = {1}},  // less than one frame
    };
    for (const WaveRecipe& wave : refused)
        EXPECT_FALSE(Decode(wave)) << "format " << wave.formatTag << ", " << wave.bits << " bits, " << wave.data.size();
}

TEST(EffectsWithoutSound, SilentWhenSoundCouldNotStart) {
    // No back end: no device, so InitSound fails and every effect is silent and immediate.
    SetBackend(nullptr);
    EXPECT_EQ(InitSound(nullptr), -1);
    EXPECT_FALSE(SoundReady());
    ResetVirtualAudio();
    PlaySoundEffect("deal.wav");
    EXPECT_TRUE(VirtualAudio().requests.empty());
    SetTitleMusic();
    EXPECT_EQ(SharedMusicControl().wanted.load(), 0);
}

}  // namespace
