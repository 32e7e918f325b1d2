// "Choose Deal...": a small dialog that asks for a deal number, and the parsing of such numbers
// (shared with the command line).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/dialog.h"

// A deal number as the player types it: decimal digits only (surrounding spaces allowed),
// 0..4294967295. Anything else is no number.
std::optional<uint32_t> ParseDealNumber(std::string_view text);

class DealDialog : public Dialog {
public:
    static constexpr int kAccepted = 2000;
    static constexpr int kCancelled = 2004;

    explicit DealDialog(uint32_t current);
    void ProcessEvent() override;

    EditField* NumberField() const { return numberField; }
    // The number entered, once the dialog was accepted.
    uint32_t Chosen() const { return chosen; }

private:
    void Accept();

    EditField* numberField = nullptr;
    Button* okButton = nullptr;
    Button* cancelButton = nullptr;
    uint32_t chosen = 0;
};

// Runs the dialog; the number entered, or none when cancelled.
std::optional<uint32_t> ChooseDealNumber(uint32_t current);
