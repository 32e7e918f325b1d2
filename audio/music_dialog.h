// "Choose a music option": the player's music mode (enabled, event music only, disabled) and
// which of the six game songs may play.
#pragma once

#include <array>

#include "audio/audio_preferences.h"
#include "ui/controls.h"
#include "ui/dialog.h"

class MusicDialog : public Dialog {
public:
    static constexpr int kAccepted = 2000;
    static constexpr int kCancelled = 2004;

    // Copies the choice it starts from; the controls show it when the dialog opens.
    explicit MusicDialog(const MusicChoice& initial);

    void Open() override;
    void ProcessEvent() override;

    // The choice as accepted (valid after the result is kAccepted).
    const MusicChoice& Choice() const { return choice; }

    OptionButton* EnabledOption() const { return enabledOption; }
    OptionButton* EventOnlyOption() const { return eventOnlyOption; }
    OptionButton* DisabledOption() const { return disabledOption; }
    CheckBox* SongBox(int index) const { return songBoxes[static_cast<size_t>(index)]; }
    Button* OkButton() const { return ok; }
    Button* CancelButton() const { return cancel; }

private:
    void Accept();

    MusicChoice choice;
    OptionGroup* group = nullptr;
    OptionButton* enabledOption = nullptr;
    OptionButton* eventOnlyOption = nullptr;
    OptionButton* disabledOption = nullptr;
    std::array<CheckBox*, kGameSongCount> songBoxes{};
    Button* ok = nullptr;
    Button* cancel = nullptr;
};

// What the in-game "Music..." command does: runs the dialog over the current screen and, when it
// is accepted, stores the choice, saves the player's preferences and asks for game music.
// Returns the dialog's result; the menu's music mark should then show CurrentMusicMode() != 0.
int RunMusicDialog();
