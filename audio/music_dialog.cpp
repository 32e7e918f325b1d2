#include "audio/music_dialog.h"

#include "audio/music.h"
#include "platform/translation.h"
#include "ui/toolkit.h"

namespace {

constexpr int kDialogX = 230;
constexpr int kDialogY = 160;
constexpr int kDialogWidth = 340;
constexpr int kDialogHeight = 280;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;
constexpr int kButtonTop = kDialogHeight - 50;

struct Placement {
    int x, y;
    const char* caption;
};

// Song check boxes in file order, in two columns of three.
constexpr Placement kSongPlaces[kGameSongCount] = {
    {50, 100, TranslateLater("song", "Fast 1")},  {50, 120, TranslateLater("song", "Slow 1")},
    {50, 140, TranslateLater("song", "Fast 2")},  {180, 100, TranslateLater("song", "Rock")},
    {180, 120, TranslateLater("song", "Slow 2")}, {180, 140, TranslateLater("song", "Fast 3")},
};

}  // namespace

MusicDialog::MusicDialog(const MusicChoice& initial)
    : Dialog(kDialogX, kDialogY, kDialogWidth, kDialogHeight, Translate("Choose a music option")), choice(initial) {
    group = Create<OptionGroup>(10, 45);
    enabledOption = group->Create<OptionButton>(10, 15, Translate("Music Enabled"));
    eventOnlyOption = group->Create<OptionButton>(10, 135, Translate("Event Music Only"));
    disabledOption = group->Create<OptionButton>(10, 155, Translate("Music Disabled"));
    Create<GroupBox>(40, 85, 260, 80, "");
    for (int i = 0; i < kGameSongCount; ++i) {
        const Placement& place = kSongPlaces[i];
        songBoxes[static_cast<size_t>(i)] = Create<CheckBox>(place.x, place.y, Translate("song", place.caption));
    }
    const int art = ThemeDialogArt();
    ok = Create<Button>((kDialogWidth - 2 * kButtonWidth) / 3, kButtonTop, kButtonWidth, kButtonHeight, art,
                        Translate("OK"));
    cancel = Create<Button>((2 * kDialogWidth - 4 * kButtonWidth) / 3 + kButtonWidth, kButtonTop, kButtonWidth,
                            kButtonHeight, art, Translate("Cancel"));
    SetDefaultButton(ok);
}

void MusicDialog::Open() {
    for (int i = 0; i < kGameSongCount; ++i)
        songBoxes[static_cast<size_t>(i)]->SetChecked(choice.songs[static_cast<size_t>(i)] ? 1 : 0);
    switch (choice.mode) {
        case kMusicDisabled:
            group->Check(disabledOption);
            break;
        case kMusicEnabled:
            group->Check(enabledOption);
            break;
        default:
            group->Check(eventOnlyOption);
            break;
    }
    Dialog::Open();
}

void MusicDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand && e.sourceId == ok->GetId()) {
        Accept();
        result = kAccepted;
    } else if ((e.type == kEventCommand && e.sourceId == cancel->GetId()) ||
               (e.keyKind == kKeyDown && e.keyChar == kKeyEscape)) {
        result = kCancelled;
    }
}

void MusicDialog::Accept() {
    if (disabledOption->IsChecked()) choice.mode = kMusicDisabled;
    else if (enabledOption->IsChecked()) choice.mode = kMusicEnabled;
    else choice.mode = kEventMusicOnly;
    bool any = false;
    for (int i = 0; i < kGameSongCount; ++i) {
        choice.songs[static_cast<size_t>(i)] = songBoxes[static_cast<size_t>(i)]->IsChecked();
        any = any || choice.songs[static_cast<size_t>(i)];
    }
    // Music without a song to play would be silence in a game: only the event tunes remain.
    if (!any && choice.mode == kMusicEnabled) choice.mode = kEventMusicOnly;
}

int RunMusicDialog() {
    MusicDialog dialog(CurrentMusicChoice());
    const int result = dialog.RunModal();
    if (result == MusicDialog::kAccepted) {
        StoreMusicChoice(dialog.Choice());
        SetGameMusic();
    }
    return result;
}
