#include "shell/notices.h"

#include <algorithm>
#include <deque>

#include "framework/game.h"
#include "platform/registry.h"
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
        return "The settings file " + problem.file + " was damaged.\nIt was kept as " + problem.keptAs +
               ";\nwhatever could be read from it is kept, the rest starts anew.";
    case SettingsFileProblem::kNotSaved:
        return "The settings file " + problem.file + " " + problem.reason + ".\nSettings, players and high scores "
               "will not be saved this run.";
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
