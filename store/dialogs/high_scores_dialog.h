// The table of a game's ten best scores, in its menu form ("Close", "&Reset") and its
// end-of-game form (with "&Play Again").
#pragma once

#include <string>
#include <vector>

#include "store/high_scores.h"
#include "ui/dialog.h"

class HighScoresDialog : public Dialog {
public:
    static constexpr int kAccepted = 2000;
    static constexpr int kPlayAgain = 2002;

    HighScoresDialog(const std::string& gameName, int32_t highlightScore, bool endOfGame);
    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    const std::vector<ScoreEntry>& Entries() const { return entries; }

private:
    void DrawTable();

    std::string gameName;
    std::vector<ScoreEntry> entries;
    int page = 0;  // a page holds ten places; the table never has more than one
    int32_t highlightScore;
    Button* closeButton = nullptr;
    Button* resetButton = nullptr;
    Button* playAgainButton = nullptr;
};

// The menu form, highlighting the first place whose score equals highlightScore (0: none).
void ShowHighScores(const std::string& gameName, int32_t highlightScore);
