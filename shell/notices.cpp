#include "shell/notices.h"

#include <algorithm>
#include <deque>

#include "framework/game.h"
#include "platform/settings_file.h"
#include "platform/translation.h"
#include "shell/shell.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"

namespace {

std::deque<std::string> queued;
bool showing = false;

bool Quiet() {
    if (showing || TableCovered()) return false;
    const Game* game = CurrentGame();
    return !game || !game->dragging;
}

}  // namespace

std::string SettingsProblemText(const SettingsFileProblem& problem) {
    switch (problem.kind) {
    case SettingsFileProblem::kSetAside:
        return FormatText(Translate("The settings file %s was damaged.\nIt was kept as %s;\nwhatever could be read "
                                    "from it is kept, the rest starts anew."),
                          problem.file.c_str(), problem.keptAs.c_str());
    case SettingsFileProblem::kNotSaved:
        // Translators: the second %s is why, from the system: "could not be written: Disk full".
        return FormatText(Translate("The settings file %s %s.\nSettings, players and high scores will not be saved "
                                    "this run."),
                          problem.file.c_str(), problem.reason.c_str());
    case SettingsFileProblem::kNone:
        break;
    }
    return {};
}

void QueueNotice(const std::string& text) {
    if (std::find(queued.begin(), queued.end(), text) == queued.end()) queued.push_back(text);
}

void ShowNoticesWhenQuiet() {
    if (!Quiet()) return;
    const std::string settings = SettingsProblemText(TakeSettingsFileProblem());
    if (!settings.empty()) QueueNotice(settings);
    showing = true;
    while (!queued.empty()) {
        const std::string text = queued.front();
        queued.pop_front();
        MessageBox box(nullptr, "", MessageBox::kOk, text);
        box.RunModal();
    }
    showing = false;
}
