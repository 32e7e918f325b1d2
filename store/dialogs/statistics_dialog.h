// The player's statistics of every game in one table, the current game highlighted, with "Close"
// and "&Reset" (which asks before it forgets anything). Rows that do not fit one page are shown
// a page at a time with "&Previous" and "&Next".
#pragma once

#include <span>
#include <string>
#include <vector>

#include "store/statistics.h"
#include "ui/dialog.h"

// A span of time as a clock shows it: "1:05" for 65 seconds, "2:03:20" past the hour.
std::string ClockText(int32_t seconds);

class StatisticsDialog : public Dialog {
public:
    static constexpr int kClosed = 2000;
    static constexpr int kRowsPerPage = 20;

    StatisticsDialog(std::vector<std::string> gameNames, const std::string& currentGame, int player);
    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    int Page() const { return page; }
    const std::vector<GameStatistics>& Figures() const { return figures; }

    // How the table writes a figure: "1:05" for 65 seconds, "2:03:20" past the hour, "-" for none.
    static std::string Duration(int32_t seconds);

    // The figures' columns: the right edge each is set against (relative to the dialog) and its
    // heading, in English; the table shows it translated.
    struct Column {
        int right;
        const char* heading;
    };
    static std::span<const Column> Columns();

private:
    void ReadFigures();
    void DrawTable();
    void ShowPage(int newPage);

    std::vector<std::string> names;
    std::vector<GameStatistics> figures;
    int highlighted = -1;
    int player;
    int page = 0;
    Button* closeButton = nullptr;
    Button* resetButton = nullptr;
    Button* previousButton = nullptr;
    Button* nextButton = nullptr;
};

// Runs the dialog for the current player.
void ShowStatistics(const std::vector<std::string>& gameNames, const std::string& currentGame);
