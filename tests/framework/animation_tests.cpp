// Card slides at the three animation speeds, on the virtual clock: how long a Klondike deal and a
// card sliding back take, that sound never adds to them, that a slow display does not stretch a
// slide, and that the speed is the player's saved choice in the Options menu.
#include "audio/sound_effects.h"
#include "games/klondike.h"
#include "platform/virtual_audio_device.h"
#include "tests/framework/game_fixture.h"

namespace {

// Every present costs this much virtual time, as on a slow display.
class SlowDisplay : public ScriptedBackend {
public:
    static constexpr uint32_t kPresentMs = 4;
    void Present(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width, int height, int destX,
                 int destY) override {
        ScriptedBackend::Present(pixels, pitchPixels, sourceX, sourceY, width, height, destX, destY);
        if (slow) SleepMs(kPresentMs);
    }
    bool slow = false;
};

class AnimationTest : public GameTest {
protected:
    void SetUp() override {
        animate = true;
        GameTest::SetUp();
        userPreferences.AutoGameOver = 0;
        // The real effect player, on the scripted back end's virtual device.
        ASSERT_EQ(InitSound(nullptr), 0);
        Services().playSound = [](const char* name) { PlaySoundEffect(name); };
    }
    void TearDown() override {
        ShutdownSound();
        GameTest::TearDown();
    }
    std::unique_ptr<ScriptedBackend> MakeBackend() override {
        auto made = std::make_unique<SlowDisplay>();
        display = made.get();
        return made;
    }
    // Virtual milliseconds of a new deal (the "New Game" command's work).
    uint64_t DealMs() {
        const uint64_t start = GetTickCount64();
        game->ClearHotspots();
        game->NewGame(true);
        return GetTickCount64() - start;
    }

    SlowDisplay* display = nullptr;
};

// At each speed a deal keeps to its limit with or without sound, and a card dragged away slides
// back in the speed's time while the drag itself takes none.
TEST_F(AnimationTest, DealsAndSlidesBackKeepToEachSpeedAndSoundAddsNoTime) {
    Start<KlondikeGame>();
    const uint64_t limits[] = {1200, 400, 0}, slideBack[] = {Game::kNormalMoveSlideMs, Game::kFastMoveSlideMs, 0};
    const int x = KlondikeGame::PileX(6) + 26, y = KlondikeGame::CardY(6) + 40;
    for (uint32_t speed : {kAnimationNormal, kAnimationFast, kAnimationOff}) {
        SCOPED_TRACE(speed);
        userPreferences.AnimationSpeed = speed;
        userPreferences.SoundEnabled = 0;
        const uint64_t silent = DealMs();
        userPreferences.SoundEnabled = 1;
        ResetVirtualAudio();
        const uint64_t withSound = DealMs();
        EXPECT_EQ(withSound, silent);
        EXPECT_LE(withSound, limits[speed]);
        // One card snap per card, asked for as each card lands.
        const auto& requests = VirtualAudio().requests;
        ASSERT_EQ(requests.size(), 28u);
        for (size_t i = 1; i < requests.size(); ++i) {
            EXPECT_EQ(requests[i].name, "deal.wav");
            if (speed != kAnimationOff) {
                EXPECT_GT(requests[i].atMs, requests[i - 1].atMs);
            }
        }

        const uint64_t start = GetTickCount64();
        Move(x, y, false);
        Press(x, y);
        for (int step = 1; step <= 100; ++step) Move(x - 3 * step, y + 2 * step);
        EXPECT_EQ(GetTickCount64(), start);
        Release(x - 300, y + 200);
        EXPECT_EQ(GetTickCount64() - start, slideBack[speed]);
        EXPECT_FALSE(game->dragging);
    }
    // Still a visible deal at the normal speed: each card travels for a moment.
    userPreferences.AnimationSpeed = kAnimationNormal;
    EXPECT_GE(DealMs(), 28u * 30u);
    userPreferences.AnimationSpeed = kAnimationFast;
    EXPECT_GE(DealMs(), 28u * 8u);
}

TEST_F(AnimationTest, ASlowDisplaySkipsStepsInsteadOfStretchingTheDeal) {
    Start<KlondikeGame>();
    display->slow = true;
    const int before = display->PresentCount();
    const uint64_t ms = DealMs();
    // The slides keep one schedule: the presents' time is taken out of the next slide, so the
    // deal lasts its slides' time and little more (the table's redraw, the last present).
    EXPECT_LE(ms, 28u * Game::kNormalDealSlideMs + 3 * SlowDisplay::kPresentMs);
    // Each slide has 13 or more steps, but only about one present fits in every 4 ms of it.
    EXPECT_LT(display->PresentCount() - before, 28 * 13);
    // The cards still land where they belong.
    auto& klondike = static_cast<KlondikeGame&>(*game);
    EXPECT_EQ(klondike.position.pileCount[6], 7);
}

TEST_F(AnimationTest, SpeedItemsActAsOneChoiceSavedForThePlayer) {
    Game& table = Start<KlondikeGame>();
    userPreferences.CurrentPlayer = FindOrAddPlayer("Tester");
    EXPECT_TRUE(table.AnimationItem(kAnimationNormal)->IsChecked());
    ASSERT_TRUE(Choose(kCommandAnimationFast));
    EXPECT_EQ(userPreferences.AnimationSpeed, kAnimationFast);
    EXPECT_FALSE(table.AnimationItem(kAnimationNormal)->IsChecked());
    EXPECT_TRUE(table.AnimationItem(kAnimationFast)->IsChecked());
    ASSERT_TRUE(Choose(kCommandAnimationOff));
    EXPECT_TRUE(table.AnimationItem(kAnimationOff)->IsChecked());
    EXPECT_FALSE(table.AnimationItem(kAnimationFast)->IsChecked());
    {
        SettingsKey key(PlayerPreferencesPath(userPreferences.CurrentPlayer));
        EXPECT_EQ(ReadDwordValue(key, "AnimationSpeed", 9), static_cast<int32_t>(kAnimationOff));
        // A hand-edited value out of range reads as the normal speed.
        WriteDwordValue(key, "AnimationSpeed", 7);
    }
    LoadPreferences();
    EXPECT_EQ(userPreferences.AnimationSpeed, kAnimationNormal);
}

}  // namespace
