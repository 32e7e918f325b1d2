// What the player must be told about their own files: a settings file set aside or not being
// saved, a deal that cannot be kept. Each is shown once in a message box at the next quiet moment
// (no dialog or menu open, no card held), never in the middle of a move.
#pragma once

#include <string>

struct SettingsFileProblem;

// Queues a notice; the same text queued again before it was shown is shown once.
void QueueNotice(const std::string& text);
// Shows what is queued, and what the settings file reports, when nothing else is open.
void ShowNoticesWhenQuiet();
// The text of a settings-file problem, or empty for none.
std::string SettingsProblemText(const SettingsFileProblem& problem);
