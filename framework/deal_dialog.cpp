#include "framework/deal_dialog.h"

#include <string>

#include "platform/translation.h"
#include "ui/toolkit.h"

namespace {

constexpr int kDialogX = 225, kDialogY = 220, kDialogWidth = 350, kDialogHeight = 160;
constexpr int kFieldX = 150, kFieldY = 60, kFieldWidth = 150;
constexpr int kLabelRight = 140, kLabelY = 63;
constexpr int kButtonWidth = 100, kButtonHeight = 30, kButtonY = 105;
constexpr int kOkX = (kDialogWidth - 2 * kButtonWidth) / 3;
constexpr int kCancelX = (2 * kDialogWidth - 4 * kButtonWidth) / 3 + kButtonWidth;
constexpr int kMaxDigits = 10;

}  // namespace

std::optional<uint32_t> ParseDealNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.empty() || text.size() > kMaxDigits) return std::nullopt;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<uint32_t>(value);
}

DealDialog::DealDialog(uint32_t current)
    : Dialog(kDialogX, kDialogY, kDialogWidth, kDialogHeight, Translate("Choose Deal")) {
    const int art = ThemeDialogArt();
    // The field comes first so that it has the focus when the dialog opens.
    numberField = Create<EditField>(kFieldX, kFieldY, kFieldWidth, kMaxDigits, "");
    Create<Label>(kLabelRight, kLabelY, 1, Translate("Deal Number"));
    okButton = Create<Button>(kOkX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("OK"));
    cancelButton = Create<Button>(kCancelX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("Cancel"));
    // The number shown is selected, so typing replaces it; a key that cannot be part of a
    // number is refused as it is typed.
    numberField->SetDigitsOnly(true);
    numberField->SetText(std::to_string(current));
    numberField->SelectAll();
    SetDefaultButton(okButton);
}

void DealDialog::Accept() {
    const std::optional<uint32_t> number = ParseDealNumber(numberField->GetText());
    if (!number) {
        MessageBox box(nullptr, Translate("Choose Deal"), MessageBox::kOk,
                       Translate("Enter a number from 0 to 4294967295."));
        box.RunModal();
        return;
    }
    chosen = *number;
    result = kAccepted;
}

void DealDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        if (e.sourceId == okButton->GetId() || e.sourceId == numberField->GetId()) Accept();
        else if (e.sourceId == cancelButton->GetId()) result = kCancelled;
    } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
        result = kCancelled;
    }
}

std::optional<uint32_t> ChooseDealNumber(uint32_t current) {
    DealDialog dialog(current);
    if (dialog.RunModal() != DealDialog::kAccepted) return std::nullopt;
    return dialog.Chosen();
}
