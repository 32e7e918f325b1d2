#include "rules/rules_text.h"

#include <fstream>
#include <iterator>

namespace {

// Lines are read through a buffer of this many bytes: a longer line continues as the next one,
// as a fixed-buffer line reader does.
constexpr size_t kLineBufferBytes = 256;

class LineReader {
public:
    explicit LineReader(std::string_view bytes) : rest(bytes) {}
    // The next line without its end-of-line characters; false at the end of the bytes.
    bool Next(std::string_view* line) {
        if (rest.empty()) return false;
        size_t end = 0;
        while (end < rest.size() && end + 1 < kLineBufferBytes && rest[end] != '\n') ++end;
        const bool endsWithNewline = end < rest.size() && rest[end] == '\n';
        std::string_view piece = rest.substr(0, end);
        rest.remove_prefix(end + (endsWithNewline ? 1 : 0));
        // The line ends at its first carriage return or line feed.
        const size_t cut = piece.find_first_of("\r\n");
        *line = cut == std::string_view::npos ? piece : piece.substr(0, cut);
        return true;
    }

private:
    std::string_view rest;
};

}  // namespace

bool LoadRulesText(std::string_view fileBytes, std::string_view gameName, RulesPages* out) {
    for (RulesPage& page : out->pages) {
        for (int i = 0; i < page.lineCount; ++i) page.lines[static_cast<size_t>(i)].clear();
        page.lineCount = 0;
    }
    out->pageCount = 0;

    const std::string header = "[" + std::string(gameName) + "]";
    LineReader reader(fileBytes);
    std::string_view line;
    bool found = false;
    while (reader.Next(&line)) {
        if (line.substr(0, header.size()) == header) {
            found = true;
            break;
        }
    }
    if (!found) return false;

    int page = 0;
    while (reader.Next(&line)) {
        if (!line.empty() && line[0] == '[') break;
        if (line.substr(0, 4) == "<BR>") {
            ++page;
            continue;
        }
        // Past the store's last page or line, the rest is dropped.
        if (page >= kRulesMaxPages) continue;
        RulesPage& current = out->pages[static_cast<size_t>(page)];
        if (current.lineCount >= kRulesMaxLines) continue;
        current.lines[static_cast<size_t>(current.lineCount++)] = std::string(line.substr(0, kRulesMaxLineLength));
    }
    out->pageCount = page + 1 < kRulesMaxPages ? page + 1 : kRulesMaxPages;
    return true;
}

bool LoadRulesFile(const std::string& path, std::string_view gameName, RulesPages* out) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes = in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
    return LoadRulesText(bytes, gameName, out);
}
