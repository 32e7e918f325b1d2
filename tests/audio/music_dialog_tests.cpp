// The music dialog driven through its modal loop with scripted clicks.

#include "audio/music.h"
#include "audio/music_dialog.h"
#include "audio/sound_effects.h"
#include "store/settings_store.h"
#include "tests/ui/ui_fixture.h"

namespace {

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
