// Golden traces: for every game, seeded deals played by the autoplayer were recorded input by
// input, with a hash after every action of what the player sees and what is kept: the screen
// buffer, the sounds asked for, the newest undo file's bytes, the score, the end of the game.
// Replaying the inputs must give the same hashes, so a change that alters play in any way shows
// here, with the deal and the action where it first differs.
//
// Record again (only when play is meant to change, and say which games in the commit):
//   QUILLFEN_GOLDEN_RECORD=tests/games/golden build/tests/games/games_tests --gtest_filter='*GoldenTrace*'
// When only the artwork changed, keep the recorded inputs and write fresh hashes for them:
//   QUILLFEN_GOLDEN_REHASH=tests/games/golden build/tests/games/games_tests --gtest_filter='*GoldenTrace*' 
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "tests/games/autoplayer.h"

#ifndef QUILLFEN_GOLDEN_DIR
#error "QUILLFEN_GOLDEN_DIR names the folder of the recorded traces"
#endif

namespace {

constexpr int kTraceDeals = 50;
constexpr int kTraceActions = 150;

// Deals replayed (all recorded ones unless QUILLFEN_TRACE_DEALS says fewer: the sanitizer build).
int ReplayedDeals() {
    if (const char* text = std::getenv("QUILLFEN_TRACE_DEALS")) return std::max(1, std::atoi(text));
    return kTraceDeals;
}

// Inputs are written compactly: a letter for each mouse message and its usual key state, then
// "x,y"; "t" is the panel tick, "|" ends an action. Anything else keeps its numbers.
struct InputCode {
    char letter;
    uint32_t message;
    WPARAM wParam;
};
constexpr InputCode kInputCodes[] = {
    {'m', WM_MOUSEMOVE, 0},        {'M', WM_MOUSEMOVE, MK_LBUTTON}, {'d', WM_LBUTTONDOWN, MK_LBUTTON},
    {'u', WM_LBUTTONUP, 0},        {'k', WM_LBUTTONDBLCLK, MK_LBUTTON},
};

std::string CompactInputs(const std::string& logged) {
    std::istringstream in(logged);
    std::string token, out;
    while (in >> token) {
        if (token == "t" || token == "|") {
            out += token;
            continue;
        }
        const uint32_t message = static_cast<uint32_t>(std::stoul(token));
        WPARAM wParam = 0;
        int x = 0, y = 0;
        in >> wParam >> x >> y;
        const InputCode* code = nullptr;
        for (const InputCode& c : kInputCodes)
            if (c.message == message && c.wParam == wParam) code = &c;
        if (code) out += code->letter;
        else out += "(" + std::to_string(message) + "," + std::to_string(wParam) + ")";
        out += std::to_string(x) + "," + std::to_string(y);
    }
    return out;
}

// Whole files, gzip-compressed.
bool ReadCompressed(const std::string& path, std::string& text) {
    gzFile file = gzopen(path.c_str(), "rb");
    if (!file) return false;
    char block[1 << 16];
    int got = 0;
    while ((got = gzread(file, block, sizeof block)) > 0) text.append(block, static_cast<size_t>(got));
    gzclose(file);
    return got == 0;
}
bool WriteCompressed(const std::string& path, const std::string& text) {
    gzFile file = gzopen(path.c_str(), "wb9");
    if (!file) return false;
    const bool ok = gzwrite(file, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size());
    return gzclose(file) == Z_OK && ok;
}

class GoldenTrace : public AutoplayerTest, public ::testing::WithParamInterface<int> {
protected:
    // Seeds and starts deal n the way the recording did.
    void StartDeal(const GameDescriptor& entry, int deal) {
        SetAutoGameOver(deal % 2);
        AutoplayerTest::StartDeal(static_cast<unsigned>(deal * 7919 + entry.number), deal);
    }

    // What an action left behind, as one hash.
    uint64_t Outcome() {
        uint64_t hash = 1469598103934665603ull;
        auto mix = [&hash](const void* data, size_t size) {
            const auto* bytes = static_cast<const uint8_t*>(data);
            for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
        };
        auto mixInt = [&mix](int64_t value) { mix(&value, sizeof value); };
        // The screen a word at a time: byte-wise hashing of 1.9 MB per action would dominate.
        const Pixel* pixels = BufferPixels(screen);
        const size_t count = static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen);
        uint64_t screenHash = 0;
        for (size_t i = 0; i < count; ++i) screenHash = (screenHash ^ pixels[i]) * 0x100000001b3ull + i;
        mixInt(static_cast<int64_t>(screenHash));
        for (const std::string& sound : sounds) mix(sound.data(), sound.size() + 1);
        sounds.clear();
        mixInt(game ? game->points : -1);
        mixInt(game ? game->gameOver : -1);
        mixInt(static_cast<int64_t>(endScreens.size()));
        mixInt(static_cast<int64_t>(highScoreDialogs.size()));
        mixInt(static_cast<int64_t>(messages.size()));
        if (game) {
            const int records = game->undo.Count();
            mixInt(records);
            if (records > 0) {
                const std::vector<uint8_t> bytes = test_support::ReadBytes(UndoJournal::RecordPath(records));
                mix(bytes.data(), bytes.size());
            }
        }
        return hash;
    }

    static std::string TracePath(const std::string& folder, const GameDescriptor& entry) {
        return folder + "/" + GameTestName(entry.number) + ".trace.gz";
    }

    // Replays one action's compact inputs, calling afterInput after each; false when they cannot
    // be read.
    bool Replay(const std::string& inputs, const std::function<void()>& afterInput = {}) {
        size_t at = 0;
        while (at < inputs.size()) {
            const char letter = inputs[at++];
            if (letter == 't') {
                Tick();
                if (afterInput) afterInput();
                continue;
            }
            uint32_t message = 0;
            WPARAM wParam = 0;
            if (letter == '(') {
                unsigned long m = 0, w = 0;
                int used = 0;
                if (std::sscanf(inputs.c_str() + at, "%lu,%lu)%n", &m, &w, &used) != 2) return false;
                message = static_cast<uint32_t>(m);
                wParam = w;
                at += static_cast<size_t>(used);
            } else {
                const InputCode* code = nullptr;
                for (const InputCode& c : kInputCodes)
                    if (c.letter == letter) code = &c;
                if (!code) return false;
                message = code->message;
                wParam = code->wParam;
            }
            int x = 0, y = 0, used = 0;
            if (std::sscanf(inputs.c_str() + at, "%d,%d%n", &x, &y, &used) != 2) return false;
            at += static_cast<size_t>(used);
            Post(message, wParam, x, y);
            if (!game) return true;
            if (afterInput) afterInput();
        }
        return true;
    }
};

// The moves made in a deal as a player counts them, kept beside the replay, input by input: a
// gesture (one input, or a drag from press to release) that saved the position and changed the
// cards is one move, however many records it saved; an undo takes the newest move back once
// every record it saved is gone or the cards are back where it found them. Undo past the start
// of the deal (into the previous one) ends the count.
class MoveCount {
public:
    explicit MoveCount(Game& game) : game(game) {
        code = Code();
        records = dealStart = game.undo.Count();
        base = game.MovesMade();
    }
    void AfterInput() {
        if (game.dragging) return;
        const std::string now = Code();
        const int count = game.undo.Count();
        if (count < dealStart) counting = false;
        if (count > records && now != code) {
            found.push_back({code, records});
        } else if (count < records && !found.empty() &&
                   (count <= found.back().records || now == found.back().code)) {
            found.pop_back();
        }
        code = now;
        records = count;
    }
    bool Counting() const { return counting; }
    int Expected() const { return static_cast<int>(found.size()); }
    int Shown() const { return game.MovesMade() - base; }

private:
    std::string Code() {
        PositionCopy copy(*FindGame(game.gameNumber)->model, game.PositionBytes());
        return copy.Code();
    }
    Game& game;
    // Each move still standing: the position it found and the records there were before it.
    struct Found {
        std::string code;
        int records;
    };
    std::vector<Found> found;
    std::string code;
    int records = 0, dealStart = 0, base = 0;
    bool counting = true;
};

std::string Hex(uint64_t value) {
    // 32 bits are plenty to tell a changed action from an unchanged one.
    char text[9];
    std::snprintf(text, sizeof text, "%08llx", static_cast<unsigned long long>(value & 0xffffffffu));
    return text;
}

TEST_P(GoldenTrace, ReplaysAsRecorded) {
    const GameDescriptor& entry = *FindGame(GetParam());
    const char* recordTo = std::getenv("QUILLFEN_GOLDEN_RECORD");
    game = entry.create(artwork.get());
    if (recordTo) {
        // Recording: the autoplayer's seeded play, every input written down.
        std::ostringstream out;
        out << "# " << entry.name << ": " << kTraceDeals << " deals; per deal: the inputs, then one hash per action\n";
        for (int deal = 0; deal < kTraceDeals; ++deal) {
            std::string inputs;
            inputLog = &inputs;
            StartDeal(entry, deal);
            std::string outcomes = Hex(Outcome());
            std::mt19937 random(static_cast<unsigned>(deal));
            for (int action = 0; action < kTraceActions && !game->gameOver; ++action) {
                Act(*game, random);
                Tick();
                inputs += "| ";
                outcomes += ' ' + Hex(Outcome());
            }
            if (!game->gameOver) {
                ASSERT_TRUE(Choose(kCommandEndGame));
            }
            Tick();
            inputLog = nullptr;
            outcomes += ' ' + Hex(Outcome());
            out << "deal " << deal << "\nin " << CompactInputs(inputs) << "\nout " << outcomes << "\n";
        }
        ASSERT_TRUE(WriteCompressed(TracePath(recordTo, entry), out.str())) << TracePath(recordTo, entry);
        return;
    }

    std::string text;
    ASSERT_TRUE(ReadCompressed(TracePath(QUILLFEN_GOLDEN_DIR, entry), text)) << "no recorded trace for " << entry.name;
    // Re-hashing writes each deal's recorded inputs back with the hashes this build gives them.
    const char* rehashTo = std::getenv("QUILLFEN_GOLDEN_REHASH");
    std::ostringstream rehashed;
    auto matches = [&](const std::string& want, std::string* fresh) {
        const std::string now = Hex(Outcome());
        *fresh += (fresh->empty() ? "" : " ") + now;
        return rehashTo != nullptr || now == want;
    };
    std::istringstream file(text);
    std::string line;
    int deals = 0;
    while (deals < ReplayedDeals() && std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        int deal = -1;
        ASSERT_EQ(std::sscanf(line.c_str(), "deal %d", &deal), 1) << line;
        std::string inputs, outcomes;
        ASSERT_TRUE(std::getline(file, inputs) && std::getline(file, outcomes));
        ASSERT_EQ(inputs.rfind("in ", 0), 0u);
        ASSERT_EQ(outcomes.rfind("out ", 0), 0u);
        std::istringstream expected(outcomes.substr(4));
        std::string want, fresh;
        StartDeal(entry, deal);
        expected >> want;
        ASSERT_TRUE(matches(want, &fresh)) << entry.name << " deal " << deal << ": the deal differs";
        MoveCount moves(*game);
        // Actions are separated by "|"; the last group ends the deal.
        std::istringstream groups(inputs.substr(3));
        std::string group;
        for (int action = 0; std::getline(groups, group, '|'); ++action) {
            ASSERT_TRUE(Replay(group, [&] { moves.AfterInput(); })) << "unreadable input in deal " << deal;
            ASSERT_TRUE(game) << entry.name << " deal " << deal << ": the game went away";
            ASSERT_TRUE(expected >> want);
            ASSERT_TRUE(matches(want, &fresh)) << entry.name << " deal " << deal << " differs first after action " << action
                                               << " (inputs: " << group << ")";
            if (moves.Counting()) {
                ASSERT_EQ(moves.Shown(), moves.Expected())
                    << entry.name << " deal " << deal << ": moves counted after action " << action << " (inputs: " << group << ")";
            }
        }
        EXPECT_FALSE(expected >> want) << entry.name << " deal " << deal << ": fewer actions than recorded";
        if (rehashTo) rehashed << "deal " << deal << "\n" << inputs << "\nout " << fresh << "\n";
        ++deals;
    }
    EXPECT_EQ(deals, std::min(kTraceDeals, ReplayedDeals()));
    if (rehashTo) {
        const std::string header = text.substr(0, text.find('\n') + 1);
        ASSERT_TRUE(WriteCompressed(TracePath(rehashTo, entry), header + rehashed.str())) << TracePath(rehashTo, entry);
    }
    game.reset();
}

INSTANTIATE_TEST_SUITE_P(RegisteredGames, GoldenTrace, ::testing::ValuesIn(RegisteredGameNumbers()),
                         [](const ::testing::TestParamInfo<int>& info) { return GameTestName(info.param); });

}  // namespace
