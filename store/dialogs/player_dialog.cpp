#include "store/dialogs/player_dialog.h"

#include "platform/translation.h"
#include "store/settings_store.h"

namespace {

constexpr int kDialogX = 200, kDialogY = 210, kDialogWidth = 400, kDialogHeight = 180;
constexpr int kFieldX = 155, kFieldY = 60, kFieldWidth = 180;
constexpr int kLabelRight = 145, kLabelY = 63;
constexpr int kCheckX = 48, kCheckY = 100;
constexpr int kButtonWidth = 100, kButtonHeight = 30, kButtonY = 130;
// The buttons share the width in thirds: OK at (400 - 200) / 3, Cancel at (800 - 400) / 3 + 100.
constexpr int kOkX = (kDialogWidth - 2 * kButtonWidth) / 3;
constexpr int kCancelX = (2 * kDialogWidth - 4 * kButtonWidth) / 3 + kButtonWidth;

}  // namespace

PlayerSelectDialog::PlayerSelectDialog()
    : Dialog(kDialogX, kDialogY, kDialogWidth, kDialogHeight, Translate("Select a player name")) {
    const int art = ThemeDialogArt();
    // The name field comes first so that it has the focus when the dialog opens.
    nameField = Create<EditField>(kFieldX, kFieldY, kFieldWidth, EditField::kMaxCharacters, "");
    Create<Label>(kLabelRight, kLabelY, 1, Translate("Player Name"));
    dontShowBox = Create<CheckBox>(kCheckX, kCheckY, Translate("&Don't show at startup again."));
    okButton = Create<Button>(kOkX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("OK"));
    cancelButton = Create<Button>(kCancelX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("Cancel"));
    SetDefaultButton(okButton);
    dontShowBox->SetChecked(userPreferences.DontShowAgain != 0);
    nameField->SetText(userPreferences.HumanName);
}

void PlayerSelectDialog::Accept() {
    userPreferences.HumanName = nameField->GetText();
    if (userPreferences.HumanName.empty()) {
        MessageBox box(nullptr, Translate("Player Select"), MessageBox::kOk, Translate("You must enter a name."));
        box.RunModal();
        return;
    }
    userPreferences.DontShowAgain = dontShowBox->IsChecked() ? 1 : 0;
    result = kAccepted;
}

void PlayerSelectDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        // The name field's own confirm event (Enter) accepts like OK.
        if (e.sourceId == okButton->GetId() || e.sourceId == nameField->GetId()) Accept();
        else if (e.sourceId == cancelButton->GetId()) result = kCancelled;
    } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
        result = kCancelled;
    }
}

bool SelectPlayer() {
    int outcome = 0;
    {
        PlayerSelectDialog dialog;
        outcome = dialog.RunModal();
    }
    PresentQueuedRects();
    if (outcome != PlayerSelectDialog::kAccepted) return false;
    AcceptPlayerChoice();
    return true;
}
