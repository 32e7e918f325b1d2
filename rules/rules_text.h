// The rules text of the games: one section per game in "HELP.TXT", read into a fixed store of
// pages. Format, line by line:
//   [Game Name]   starts the game's section (anything after the bracket is ignored);
//   a line starting with "[" ends it;
//   <BR>          starts a new page (the line itself is not shown);
//   +Heading      a heading, shown in the left column beside the next ordinary line;
//   anything else an ordinary line (also an empty one), one row of the right column.
// This library has no interface dependencies, so the fuzz configuration can build it alone.
#pragma once

#include <array>
#include <string>
#include <string_view>

constexpr int kRulesMaxPages = 20;
constexpr int kRulesMaxLines = 80;
// A line keeps at most this many characters; the rest is cut.
constexpr int kRulesMaxLineLength = 99;

struct RulesPage {
    std::array<std::string, kRulesMaxLines> lines;
    int lineCount = 0;
};

// What a section exceeding the store holds: lines past the 80th of a page and pages past the
// 20th are dropped, and long lines are cut, so the store is never written past.
struct RulesPages {
    std::array<RulesPage, kRulesMaxPages> pages;
    int pageCount = 0;  // 0 when the section was not found
};

// Reads gameName's section from the file's bytes. False (and no pages) when there is none.
bool LoadRulesText(std::string_view fileBytes, std::string_view gameName, RulesPages* out);
// Reads the section from the file at path; a missing file gives no pages.
bool LoadRulesFile(const std::string& path, std::string_view gameName, RulesPages* out);

inline bool IsRulesHeading(const std::string& line) { return !line.empty() && line[0] == '+'; }
