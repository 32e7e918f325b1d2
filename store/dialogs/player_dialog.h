// The Player Select dialog and SelectPlayer, which chooses the current player with it.
#pragma once

#include "ui/dialog.h"

class PlayerSelectDialog : public Dialog {
public:
    static constexpr int kAccepted = 2000;
    static constexpr int kCancelled = 2004;

    PlayerSelectDialog();
    void ProcessEvent() override;

    EditField* NameField() const { return nameField; }
    CheckBox* DontShowBox() const { return dontShowBox; }

private:
    void Accept();

    EditField* nameField = nullptr;
    CheckBox* dontShowBox = nullptr;
    Button* okButton = nullptr;
    Button* cancelButton = nullptr;
};

// Runs the dialog modally. False when it was cancelled; otherwise the chosen name becomes the
// current player and "HumanName" and "DontShowAgain" are stored.
bool SelectPlayer();
