#include "tools/artgen/music_art.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kDrumChannel = 9;
constexpr int kNoProgram = -1;

// Channels of the arrangement.
enum Channel : int { kLead = 0, kAltLead = 1, kHarmony = 2, kPad = 3, kBass = 4 };

// General MIDI percussion keys.
enum Drum : int {
    kKick = 36,
    kSideStick = 37,
    kSnare = 38,
    kFloorTom = 41,
    kClosedHat = 42,
    kLowTom = 45,
    kLowMidTom = 47,
    kHighMidTom = 48,
    kPedalHat = 44,
    kOpenHat = 46,
    kCrash = 49,
    kRide = 51,
    kTambourine = 54,
    kCabasa = 69,
    kMaracas = 70,
    kMuteTriangle = 80,
};

// Patterns are written on a grid of sixteenth notes, one character a step, one bar long.
//
// Accompaniment: 'x' the chord, '0'-'3' one note of it (3 is the root an octave up), '-' holds
// the note before, '.' is silent.
// Bass: '1' '3' '5' the chord's root, third and fifth, '8' the root an octave up, 'a' a
// semitone below the next chord's root (leading into it), '-' holds, '.' is silent.
// Drums: 'X' accented, 'x' plain, 'o' soft, '.' silent.
struct DrumLine {
    int key;
    const char* steps;
    bool light;  // plays in the opening section too, where the heavier lines rest
};

struct Section {
    char name;           // used in the form; a lower-case letter in the form gives it to the second lead
    std::string chords;  // one chord per bar; "4-5" splits a bar in halves
    std::string melody;  // bars separated by '|'; empty for an accompaniment alone
};

struct SongRecipe {
    const char* file;
    const char* title;
    int beatsPerMinute;
    int beatsPerBar;  // quarter notes
    int tonic;        // MIDI note of degree 1 of the melody
    bool minor;
    int leadProgram, altLeadProgram, harmonyProgram, padProgram, bassProgram;
    // The accompaniment and bass patterns run over two to four bars ('|' between bars) and start
    // again with each section; the bridge (section B) has patterns of its own, for a change of texture.
    const char* accompaniment;
    const char* bridgeAccompaniment;
    bool strum;  // the accompaniment's chords are strummed low to high
    const char* bass;
    const char* bridgeBass;
    std::vector<DrumLine> drums;
    // Scales every channel's volume, so the songs sound equally loud with the soundfont played.
    double level;
    const char* intro;  // the chords of the bars before the tune, ending where the first section starts
    const char* form;
    std::vector<Section> sections;
};

constexpr int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};

// --- The songs ---
//
// Melody tokens: a scale degree 1-7 (or r for a rest), then ' or , per octave up or down,
// then # or b, then a length: w h q e s (whole to sixteenth), '.' to dot it.

std::vector<SongRecipe> Songs() {
    return {
        {"MAIN.MID", "Title", 104, 3, 65, false, 73, 71, 6, 48, 32, "....x--.x--.|....x-x.x--.", "0-1-2-3-2-1-|0-2-3---2-1-",
         false, "1-------5-..|1-----3-5---", "1-----5-----|1---5---8---",
         {{kMuteTriangle, "x...........", true}, {kPedalHat, "....o...o...", false}}, 0.88, "67 27 5 57", "AEBEaeBE",
         {{'A', "1 17 4 1 67 27 5 57",
           "5h 3q|1'q 7q 5q|6h 4q|5h.|3q 5q 1'q|2'h 1'q|7q 6q 5q|2h rq"},
          {'E', "1 17 4 1 67 27 57 1",
           "5h 3q|1'q 7q 5q|6h 4q|5h.|3q 5q 1'q|2'h 1'q|7q 2'q 7q|1'h."},
          {'B', "47 5 37 6 27 57 1 5",
           "1'q 6q 4q|2'q 7q 5q|3'h 1'q|2'q 1'q 6q|4q 5q 6q|7q 1'q 2'q|3'h 2'q|1'q 7q 5q"}}},
        {"SONG1.MID", "Fast 1", 138, 4, 67, false, 11, 71, 1, kNoProgram, 33, "..x-..x-..x-..x-|..x-..x-..x-.xx-",
         "x-----x-----x---|x-----x---x-x---", false, "1-.1..5-1-.8.5..|1-.1..5-1-.5.3.a", "1---1---5---5---|1---1---5---3-a-",
         {{kKick, "X......x..x.....", false}, {kSnare, "....X.......X...", false}, {kClosedHat, "x.x.x.x.x.x.x.x.", true}},
         0.98, "1 5 4 5", "AEBEaeBE",
         {{'A', "1 5 6 4 1 5 4 5",
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 6e 5e 2q|3e 5e 1'q 2'e 1'e 7q|6q 1'e 6e 5h|"
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 2'e 1'e 7q|1'e 7e 6e 5e 6q 4q|7e 6e 5e 3e 2h"},
          {'E', "1 5 6 4 1 5 4-5 1",
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 6e 5e 2q|3e 5e 1'q 2'e 1'e 7q|6q 1'e 6e 5h|"
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 2'e 1'e 7q|1'e 7e 6e 5e 7q 2'q|1'h. rq"},
          {'B', "67 37 4 17 67 37 27 5-57",
           "5q 3'q 2'e 1'e 7q|7h 5q 7q|6q 1'q 3'q 2'e 1'e|5h 3h|"
           "3e 5e 6e 7e 1'q 3'q|2'q 7q 5q 7q|6q 4q 2q 4q|5h 2'h"}}},
        {"SONG2.MID", "Slow 1", 72, 4, 62, false, 68, 73, 25, 48, 32, "0-1-2-3-2-1-2-1-|0-1-2-3---2-1---",
         "x-------x---x---|x-----x-x-------", false, "1-------5---3---|1-------5-----5-", "1---5---8---5---|1---3---5---a---",
         {{kMaracas, "o...o...o...o...", true}, {kSideStick, "........x.......", false}}, 0.94, "2 57", "AEBE",
         {{'A', "1 3 4 1 6 2 5 5", "3h 2q 1q|3h. 5q|6h 5q 4q|3w|3q 5q 1'h|2'h. 7q|1'q 7q 6q 7q|5w"},
          {'E', "1 3 4 1 6 2 5 1", "3h 2q 1q|3h. 5q|6h 5q 4q|3w|3q 5q 1'h|2'h. 7q|6q 7q 1'q 2'q|1'w"},
          {'B', "47 5 37 67 47 1 27 5-57", "4q 6q 1'q 2'q|2'h 1'q 7q|7h. 5q|6h 5q 3q|4q 5q 6q 1'q|3'h 1'h|2'q 1'q 7q 6q|5h 7h"}}},
        {"SONG3.MID", "Fast 2", 150, 4, 60, false, 65, 11, 1, kNoProgram, 33, "x--x--x...x--x..|x--x--x...x-x-x-",
         "..x...x...x...x.|..x...x...x.x.x.", false, "1---3---5---a---|1---1-3-5---a---", "1-1-1-1-5-5-5-5-|1-1-1-1-3-3-5-a-",
         {{kKick, "X.....x.X.......", false}, {kSnare, "....X.......X..x", false}, {kClosedHat, "x.xxx.x.x.xxx.x.", true}},
         0.91, "3 6 2 5", "AEBEaeBE",
         {{'A', "1 6 2 5 3 6 2 5",
           "5e 5e 6e 5e 3q 1q|6e 6e 1'e 6e 5q 3q|4e 4e 6e 4e 2q 6,q|7,e 2e 5e 7e 2'h|"
           "3'e 2'e 1'e 7e 5q 3q|6e 7e 1'e 3'e 2'q 1'q|2'q 1'e 6e 4q 6q|7h 5h"},
          {'E', "1 6 2 5 3 6 5 1",
           "5e 5e 6e 5e 3q 1q|6e 6e 1'e 6e 5q 3q|4e 4e 6e 4e 2q 6,q|7,e 2e 5e 7e 2'h|"
           "3'e 2'e 1'e 7e 5q 3q|6e 7e 1'e 3'e 2'q 1'q|2'e 1'e 7e 6e 5q 7q|1'h rh"},
          {'B', "4 47 1 17 4 2 27 5-57",
           "6q 6e 1'e 6q 4q|5e 6e 1'e 6e 4h|3q 3e 5e 3q 1q|2e 3e 5e 3e 1h|"
           "6q 6e 1'e 2'q 1'q|6e 1'e 6e 5e 4h|2q 4q 6q 1'q|7h 2'h"}}},
        {"SONG4.MID", "Rock", 126, 4, 69, true, 29, 27, 30, kNoProgram, 34, "x-x-x-.xx-x-x-.x|x-x-x-.xx-x-.x-x",
         "x-------x---x---|x-------x-x-x---", false, "1-1-1-1-1-1-1-5-|1-1-1-1-1-1-3-5-", "1-1-1-1-5-5-5-5-|1-1-1-1-8-8-5-5-",
         {{kKick, "X.....X.X.x.....", false}, {kSnare, "....X.......X...", false}, {kClosedHat, "xoxoxoxoxoxoxoxo", true}},
         0.76, "1 6 4 5M", "AEBEaeBE",
         {{'A', "1 6 7 1 1 6 4 5M",
           "1q 1e 3e 5q 3e 1e|3h 1q 6,q|7,e 2e 4e 2e 5q 4q|3h. rq|5q 5e 6e 5q 3q|6q 5e 3e 1h|"
           "4e 3e 2e 1e 2q 4q|5h 7#h"},
          {'E', "1 6 7 1 1 6 5M 1",
           "1q 1e 3e 5q 3e 1e|3h 1q 6,q|7,e 2e 4e 2e 5q 4q|3h. rq|5q 5e 6e 5q 3q|6q 5e 3e 1h|"
           "5e 7#e 2'e 7#e 5h|1'h. rq"},
          {'B', "6 7 1 17 6 7 5M 5M7",
           "1'q 1'q 7q 6q|7h 2'q 7q|1'h 5q 3q|1'h. rq|6q 1'q 3'q 1'q|2'q 7q 5q 7q|7#q 5q 7#q 2'q|5h rh"}}},
        // The second slow song moves in dotted quarters and eighths where the first walks in quarters.
        {"SONG5.MID", "Slow 2", 66, 4, 70, false, 40, 73, 1, 88, 35, "x-------x-------|x-----x-----x---",
         "0---2---1---3---|0---2---3-2-1---", false, "1-------5-------|1-------5---3---", "1-----5-1-------|1-----5-8---5---",
         {{kRide, "o.....o.o.......", true}, {kSideStick, "....x.......x...", false}}, 0.94, "2 5", "AEBE",
         {{'A', "1 6 4 5 1 6 2 5",
           "5q. 3e 1q 3e 5e|6q. 5e 3h|4e 6e 1'q. 6e 4q|7q. 5e 2h|5e 5e 6e 5e 3q. 1e|6q. 1'e 3'q 1'q|"
           "2'e 1'e 6e 4e 2q. 6,e|7,h. rq"},
          {'E', "1 6 4 5 1 6 5 1",
           "5q. 3e 1q 3e 5e|6q. 5e 3h|4e 6e 1'q. 6e 4q|7q. 5e 2h|5e 5e 6e 5e 3q. 1e|6q. 1'e 3'q 1'q|"
           "2q. 4e 7q 5q|3e 2e 1h."},
          {'B', "47 5 37 67 27 57 1 5-57",
           "6e 1'e 3'q. 1'e 6q|5q. 7e 2'h|7e 5e 3e 5e 7q. 5e|6h rq 5e 6e|1'q. 6e 4q 2q|2'q. 1'e 7h|"
           "1'e 7e 6e 5e 3q. 5e|2h 5e 4e 2q"}}},
        {"SONG6.MID", "Fast 3", 168, 4, 74, false, 40, 21, 25, kNoProgram, 32, "x-.xx-.xx-.xx-.x|x-.xx-.xx-.xx-x-",
         "x---x---x---x-x-|x---x---x-x-x---", true, "1---5-1-1---5-8-|1---5-1-1---5-3-", "1---5---1---5---|1---5---8---a---",
         {{kKick, "X.......X.......", false}, {kTambourine, "..x...x...x...xx", true}, {kClosedHat, "o.o.o.o.o.o.o.o.", false}},
         0.80, "1 1 4 5", "AEBEaeBE",
         {{'A', "1 1 5 5 1 1 4 5",
           "1e 3e 5e 3e 1e 3e 5e 1'e|7e 5e 6e 7e 1'q 5q|5e 2e 7,e 2e 5e 2e 7,e 2e|6e 5e 4e 3e 2q 5,q|"
           "1e 3e 5e 3e 1e 3e 5e 1'e|2'e 1'e 7e 6e 5q 3q|4e 6e 1'e 6e 4e 6e 1'e 6e|5e 7e 2'e 7e 5q 7,q"},
          {'E', "1 1 5 5 1 1 4-5 1",
           "1e 3e 5e 3e 1e 3e 5e 1'e|7e 5e 6e 7e 1'q 5q|5e 2e 7,e 2e 5e 2e 7,e 2e|6e 5e 4e 3e 2q 5,q|"
           "1e 3e 5e 3e 1e 3e 5e 1'e|2'e 1'e 7e 6e 5q 3q|4e 6e 1'e 6e 5e 7e 2'e 7e|1'q 5q 1'q rq"},
          {'B', "4 2 1 6 4 2 5 57",
           "4e 6e 1'e 2'e 3'e 2'e 1'e 6e|4e 6e 1'e 6e 4q 6q|3e 5e 1'e 5e 3e 5e 1'e 3'e|2'e 1'e 7e 6e 5q 3q|"
           "4e 6e 1'e 2'e 3'e 2'e 1'e 6e|1'e 6e 4e 6e 1'q 2'q|3'e 2'e 1'e 7e 6e 5e 4e 3e|2q 5,q 7,q 2q"}}},
        {"WIN.MID", "Won", 120, 4, 60, false, 56, 61, 6, kNoProgram, 58, "x--.x-x-x--.x-x-|x--.x-x-x-x-x-x-",
         "x-------x-x-x---|x-------x---x-x-", false, "1---5---1---5-5-|1---5---1---3-5-", "1-------8-------|1-------5---a---",
         {{kKick, "X.......X.......", false}, {kSnare, "....x..x....x.xx", false}, {kRide, "x...x...x...x...", true}},
         0.84, "4 1 4 5", "ABabA",
         {{'A', "1 4 1 5 1 4 5 1",
           "5q 5e 5e 1'h|6q 1'q 4'h|3'q 2'e 1'e 5q 3'q|2'h. rq|5q 5e 5e 1'q 3'q|4'q 3'q 2'q 1'q|7q 2'q 5'q 4'q|3'h 1'h"},
          {'B', "67 3 4 17 27 5 1-6 5-57",
           "1'q 3'q 6q 1'q|7q 5q 3'h|4'q 3'e 2'e 1'q 6q|5h. rq|2'q 4'q 6q 2'q|7q 2'q 5'q 2'q|3'q 1'q 5q 1'q|2'h 5h"}}},
        {"LOSE.MID", "Lost", 68, 4, 62, true, 8, 71, 1, 49, 42, "0--2--1--3--2-1-|0--2--1---3-2-1-",
         "x-----x---x-----|x-------x-x-----", false, "1-----------5-3-|1-----------5---", "1-------1---5---|1---5---1---a---",
         {{kFloorTom, "X.......o.......", false}, {kCabasa, "....o.......o.o.", true}}, 1.06, "4 5M7", "AEBE",
         {{'A', "1 4 7 3 6 4 4 5M", "5h 3q 1q|4h 6q 5q|4q 2q 7,h|3h. 5q|6h 5q 4q|4h 3q 2q|6q 5q 4q 3q|2h 7#,h"},
          {'E', "1 4 7 3 6 4 5M 1", "5h 3q 1q|4h 6q 5q|4q 2q 7,h|3h. 5q|6h 5q 4q|4h 3q 2q|2q 7#,q 5,q 7#,q|1w"},
          {'B', "3 7 47 1 67 3 47 5M7", "3q 5q 7q 5q|4h 2h|4q 6q 1'q 6q|5w|4q 6q 1'h|7h 5h|6q 5q 4q 2q|7#,h 2h"}}},
    };
}

// --- Arrangement ---

struct Note {
    int channel, key, velocity;
    int64_t start, length;  // ticks
};

struct TempoChange {
    int64_t tick;
    int beatsPerMinute;
};

struct Chord {
    int root = 0;                // pitch class relative to the key's tonic, 0..11
    std::vector<int> intervals;  // from the root
};

class Arranger {
public:
    explicit Arranger(const SongRecipe& song) : song(song) {}

    bool Arrange(std::vector<Note>* notes, std::vector<TempoChange>* tempos, int64_t* endTick, std::string* error) {
        out = notes;
        for (const char* patterns : {song.accompaniment, song.bridgeAccompaniment, song.bass, song.bridgeBass})
            for (const std::string& bar : Bars(patterns))
                if (static_cast<int>(bar.size()) != Steps())
                    return Fail(error, std::string(song.file) + ": pattern bar " + bar + " does not fill a bar");
        const std::string form = song.form;
        int64_t tick = 0;
        // The intro: the accompaniment alone over its own chords, with the light drums, softer
        // than the first section.
        const Section intro{'I', song.intro, ""};
        dynamics = Arc(0, form.size()) * 0.9;
        opening = true;
        if (!Place(intro, false, tick, 0, error)) return false;
        tick += BarTicks() * BarCount(intro);
        for (size_t i = 0; i < form.size(); ++i) {
            const char formLetter = form[i];
            const Section* section = Find(static_cast<char>(std::toupper(static_cast<unsigned char>(formLetter))));
            if (!section) return Fail(error, std::string("no section ") + formLetter);
            const bool alternate = std::islower(static_cast<unsigned char>(formLetter)) != 0;
            dynamics = Arc(i, form.size());
            opening = i == 0 && form.size() > 2;
            if (!Place(*section, alternate, tick, 0, error)) return false;
            tick += BarTicks() * BarCount(*section);
        }
        // The ending: the last section's two closing bars once more, slowing down, then the
        // tonic held under the melody's last note, with a last cymbal.
        const Section& last = *Find(static_cast<char>(std::toupper(static_cast<unsigned char>(form.back()))));
        const std::vector<std::string> chords = Words(last.chords), melody = Bars(last.melody.c_str());
        const int lastBars = 2, tagStart = BarCount(last) - lastBars;
        const Section tag{last.name, chords[chords.size() - 2] + " " + chords.back(),
                          melody[melody.size() - 2] + "|" + melody.back()};
        opening = false;
        tempos->push_back({tick + BarTicks(), song.beatsPerMinute * 92 / 100});
        if (!Place(tag, std::islower(static_cast<unsigned char>(form.back())) != 0, tick, tagStart, error)) return false;
        tick += BarTicks() * lastBars;
        tempos->push_back({tick, song.beatsPerMinute * 82 / 100});
        bridge = false;
        Chord tonic = MakeChord("1", error);
        Accompany(tonic, tonic, tonic, tick, 0, true);
        Add(kDrumChannel, kCrash, 84, tick, kTicksPerQuarter * 2);
        Add(kDrumChannel, kKick, 96, tick, kTicksPerQuarter / 2);
        int key = song.tonic;
        while (key + 6 < lastMelodyKey) key += 12;
        while (key - 6 > lastMelodyKey) key -= 12;
        Add(kLead, key, 84, tick, BarTicks());
        *endTick = tick + BarTicks();
        return true;
    }

private:
    // The song's dynamic arc: each section of the form a little louder than the last up to
    // about two thirds of the way, then easing off towards the close.
    static double Arc(size_t section, size_t sections) {
        const double at = (static_cast<double>(section) + 0.5) / static_cast<double>(sections);
        constexpr double kPeakAt = 0.7;
        return at < kPeakAt ? 0.78 + 0.22 * at / kPeakAt : 1.0 - 0.15 * (at - kPeakAt) / (1.0 - kPeakAt);
    }

    int64_t BarTicks() const { return int64_t{song.beatsPerBar} * kTicksPerQuarter; }
    static std::vector<std::string> Words(const std::string& text) {
        std::istringstream in(text);
        std::vector<std::string> words;
        for (std::string word; in >> word;) words.push_back(word);
        return words;
    }
    // The bars of a pattern or a melody, split at '|'.
    static std::vector<std::string> Bars(const char* text) {
        std::vector<std::string> bars;
        std::istringstream in(text);
        for (std::string bar; std::getline(in, bar, '|');) bars.push_back(bar);
        return bars;
    }
    static int BarCount(const Section& s) { return static_cast<int>(Words(s.chords).size()); }
    const Section* Find(char name) const {
        for (const Section& s : song.sections)
            if (s.name == name) return &s;
        return nullptr;
    }
    static bool Fail(std::string* error, const std::string& message) {
        *error = message;
        return false;
    }
    const int* Scale() const { return song.minor ? kMinor : kMajor; }

    // velocity is scaled by the section's place in the dynamic arc.
    void Add(int channel, int key, int velocity, int64_t start, int64_t length) {
        if (key < 0 || key > 127 || length <= 0) return;
        const int scaled = static_cast<int>(std::lround(velocity * dynamics));
        out->push_back({channel, key, std::clamp(scaled, 1, 127), start, length});
    }

    Chord MakeChord(const std::string& token, std::string* error) {
        Chord chord;
        if (token.empty() || token[0] < '1' || token[0] > '7') {
            *error = std::string(song.file) + ": bad chord " + token;
            return chord;
        }
        const int degree = token[0] - '1';
        auto tone = [&](int step) { return Scale()[(degree + step) % 7] + 12 * ((degree + step) / 7); };
        chord.root = tone(0) % 12;
        int third = tone(2) - tone(0), fifth = tone(4) - tone(0);
        if (token.find('M') != std::string::npos) third = 4, fifth = 7;
        if (token.find('m') != std::string::npos) third = 3;
        chord.intervals = {0, third, fifth};
        if (token.find('7') != std::string::npos && token.size() > 1) chord.intervals.push_back(tone(6) - tone(0));
        return chord;
    }

    // The chord's notes placed within an octave from A3 up (D4 in the bridge, for a lighter
    // texture), so the harmony moves little between chords.
    std::vector<int> Voicing(const Chord& chord) const {
        const int lowest = bridge ? 62 : 57;
        std::vector<int> keys;
        for (int interval : chord.intervals) {
            int key = song.tonic % 12 + chord.root + interval;
            while (key < lowest) key += 12;
            while (key >= lowest + 12) key -= 12;
            keys.push_back(key);
        }
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    int BassRoot(const Chord& chord) const {
        constexpr int kLowest = 36;
        int key = song.tonic % 12 + chord.root;
        while (key < kLowest) key += 12;
        while (key >= kLowest + 12) key -= 12;
        return key;
    }

    static constexpr int64_t kStep = kTicksPerQuarter / 4;  // a sixteenth note
    int Steps() const { return song.beatsPerBar * 4; }

    // The step's character of a one-bar pattern and how many steps it lasts (up to the next
    // character that is not '-').
    static int StepLength(const std::string& pattern, size_t step) {
        size_t end = step + 1;
        while (end < pattern.size() && pattern[end] == '-') ++end;
        return static_cast<int>(end - step);
    }

    // One bar of accompaniment and bass; first and second are the chords of its two halves and
    // next the chord of the bar after it (the bass leads into it). barIndex picks the bar of the
    // patterns.
    void Accompany(const Chord& first, const Chord& second, const Chord& next, int64_t bar, int barIndex, bool closing) {
        auto chordAt = [&](int64_t offset) -> const Chord& { return offset * 2 < BarTicks() ? first : second; };
        if (song.padProgram != kNoProgram) {
            const int64_t half = BarTicks() / 2;
            for (int64_t offset : {int64_t{0}, half})
                for (int key : Voicing(chordAt(offset))) Add(kPad, key + 12, 64, bar + offset, half);
        }
        if (closing) {
            for (int key : Voicing(first)) Add(kHarmony, key, 82, bar, BarTicks());
            Add(kHarmony, Voicing(first)[0] + 12, 78, bar, BarTicks());
            Add(kBass, BassRoot(first), 80, bar, BarTicks());
            return;
        }
        const std::vector<std::string> harmonyBars = Bars(bridge ? song.bridgeAccompaniment : song.accompaniment);
        const std::vector<std::string> bassBars = Bars(bridge ? song.bridgeBass : song.bass);
        const std::string& harmony = harmonyBars[static_cast<size_t>(barIndex) % harmonyBars.size()];
        const std::string& bass = bassBars[static_cast<size_t>(barIndex) % bassBars.size()];
        for (size_t step = 0; step < harmony.size(); ++step) {
            const char c = harmony[step];
            if (c == '-' || c == '.') continue;
            const int64_t offset = static_cast<int64_t>(step) * kStep;
            const int64_t length = StepLength(harmony, step) * kStep * 9 / 10;
            // Notes on the beat lean a little harder than those between. The soundfont's
            // instruments open up with velocity, so the harmony is played firmly: a brighter sound.
            const int velocity = step % 4 == 0 ? 80 : 70;
            std::vector<int> keys = Voicing(chordAt(offset));
            if (c == 'x') {
                // The lowest note doubled an octave up opens the chord and lets it ring brighter.
                keys.push_back(keys[0] + 12);
                for (size_t i = 0; i < keys.size(); ++i)
                    Add(kHarmony, keys[i], velocity, bar + offset + (song.strum ? static_cast<int64_t>(i) * 12 : 0), length);
            } else if (c >= '0' && c <= '3') {
                keys.push_back(keys[0] + 12);
                Add(kHarmony, keys[static_cast<size_t>(c - '0') % keys.size()], velocity, bar + offset, length);
            }
        }
        for (size_t step = 0; step < bass.size(); ++step) {
            const char c = bass[step];
            if (c == '-' || c == '.') continue;
            const int64_t offset = static_cast<int64_t>(step) * kStep;
            const Chord& chord = chordAt(offset);
            const int root = BassRoot(chord);
            int key = root;
            if (c == '3') key = root + chord.intervals[1];
            else if (c == '5') key = root + chord.intervals[2];
            else if (c == '8') key = root + 12;
            else if (c == 'a') key = BassRoot(next) - 1 + (BassRoot(next) - 1 < root - 5 ? 12 : 0);
            Add(kBass, key, step == 0 ? 88 : 74, bar + offset, StepLength(bass, step) * kStep * 9 / 10);
        }
    }

    // The bridge swaps the time-keeping cymbal or shaker for another, for a change of colour.
    static int BridgeKey(int key) {
        switch (key) {
            case kClosedHat:
            case kPedalHat:
                return kRide;
            case kRide:
                return kClosedHat;
            case kMaracas:
                return kCabasa;
            case kCabasa:
                return kMaracas;
            default:
                return key;
        }
    }

    // One bar of drums. The opening section plays only the light lines. The last fillBeats beats
    // give way to a fill that leads into the next phrase: on the snare and down the toms, or in
    // the opening on the side stick and the low tom, softly. A cymbal marks a section's start, and
    // a softer one a phrase's, once the full kit is in.
    void Drum(int64_t bar, bool sectionStart, bool phraseStart, int fillBeats, bool softFill) {
        const int fillFrom = Steps() - 4 * fillBeats;
        for (const DrumLine& line : song.drums) {
            if (opening && !line.light) continue;
            const std::string steps = line.steps;
            for (size_t step = 0; step < steps.size() && static_cast<int>(step) < fillFrom; ++step) {
                const char c = steps[step];
                const int velocity = c == 'X' ? 96 : c == 'x' ? 76 : c == 'o' ? 52 : 0;
                const int key = bridge ? BridgeKey(line.key) : line.key;
                if (velocity > 0) Add(kDrumChannel, key, velocity, bar + static_cast<int64_t>(step) * kStep, kStep * 2);
            }
        }
        if (!opening && (sectionStart || phraseStart))
            Add(kDrumChannel, kCrash, sectionStart ? 70 : 56, bar, kTicksPerQuarter * 2);
        if (fillBeats == 0) return;
        // Slow songs fill in eighths, the others in sixteenths.
        const int stride = song.beatsPerMinute < 90 ? 2 : 1;
        const int count = (Steps() - fillFrom) / stride;
        static constexpr int kFillDrums[] = {kSnare, kHighMidTom, kLowMidTom, kLowTom, kFloorTom};
        for (int i = 0; i < count; ++i) {
            const int key = softFill ? (i * 2 < count ? kSideStick : kLowTom) : kFillDrums[i * 5 / count];
            const int velocity = (softFill ? 40 : stride == 2 ? 56 : 66) + 30 * i / count;
            Add(kDrumChannel, key, velocity, bar + static_cast<int64_t>(fillFrom + i * stride) * kStep, kStep * stride);
        }
    }

    // Places a section's bars from firstBar on (the patterns' bar count goes on from there).
    bool Place(const Section& section, bool alternate, int64_t start, int firstBar, std::string* error) {
        const std::vector<std::string> tokens = Words(section.chords);
        bridge = section.name == 'B';
        int64_t bar = start;
        for (size_t i = 0; i < tokens.size(); ++i) {
            const size_t dash = tokens[i].find('-');
            const Chord a = MakeChord(tokens[i].substr(0, dash), error);
            const Chord b = dash == std::string::npos ? a : MakeChord(tokens[i].substr(dash + 1), error);
            // The last bar of a section leads back to the tonic.
            const Chord next = MakeChord(i + 1 < tokens.size() ? tokens[i + 1].substr(0, tokens[i + 1].find('-')) : "1", error);
            if (!error->empty()) return false;
            const int index = firstBar + static_cast<int>(i);
            Accompany(a, b, next, bar, index, false);
            // Phrases are four bars long; the section's last bar has the longer fill.
            const bool sectionEnd = i + 1 == tokens.size(), phraseEnd = index % 4 == 3;
            const bool intro = section.name == 'I';
            Drum(bar, index == 0, index % 4 == 0 && index > 0, sectionEnd ? 2 : phraseEnd ? 1 : 0,
                 intro || (opening && !sectionEnd));
            bar += BarTicks();
        }
        if (section.melody.empty()) return true;
        const int channel = alternate && song.altLeadProgram != kNoProgram ? kAltLead : kLead;
        return PlaceMelody(section, channel, start, error);
    }

    bool PlaceMelody(const Section& section, int channel, int64_t start, std::string* error) {
        const std::string& melody = section.melody;
        const std::string where = std::string(song.file) + " section " + section.name;
        int64_t tick = start;
        int barIndex = 0;
        size_t barStart = 0;
        while (barStart <= melody.size()) {
            size_t barEnd = melody.find('|', barStart);
            if (barEnd == std::string::npos) barEnd = melody.size();
            std::istringstream tokens(melody.substr(barStart, barEnd - barStart));
            std::string token;
            int64_t filled = 0;
            while (tokens >> token) {
                int64_t length;
                int key;
                if (!ParseNote(token, &key, &length)) return Fail(error, where + ": bad note " + token);
                // The first note of a bar leans a little harder, as a player would.
                const int velocity = (filled == 0 ? 100 : 90) + (channel == kAltLead ? -6 : 0);
                if (key >= 0) Add(channel, key, velocity, tick + filled, length * 15 / 16);
                if (key >= 0) lastMelodyKey = key;
                filled += length;
            }
            if (filled != BarTicks())
                return Fail(error, where + ": bar " + std::to_string(barIndex + 1) + " holds " +
                                       std::to_string(filled) + " ticks");
            tick += BarTicks();
            ++barIndex;
            barStart = barEnd + 1;
        }
        if (barIndex != BarCount(section)) return Fail(error, where + ": melody and chords differ in length");
        return true;
    }

    // key -1 for a rest.
    bool ParseNote(const std::string& token, int* key, int64_t* length) const {
        size_t i = 0;
        if (token.empty()) return false;
        if (token[0] == 'r') {
            *key = -1;
            ++i;
        } else if (token[0] >= '1' && token[0] <= '7') {
            *key = song.tonic + Scale()[token[0] - '1'];
            ++i;
            for (; i < token.size(); ++i) {
                if (token[i] == '\'') *key += 12;
                else if (token[i] == ',') *key -= 12;
                else if (token[i] == '#') *key += 1;
                else if (token[i] == 'b') *key -= 1;
                else break;
            }
        } else {
            return false;
        }
        if (i >= token.size()) return false;
        static const std::map<char, int64_t> kLengths = {{'w', 4 * kTicksPerQuarter}, {'h', 2 * kTicksPerQuarter},
                                                         {'q', kTicksPerQuarter},     {'e', kTicksPerQuarter / 2},
                                                         {'s', kTicksPerQuarter / 4}};
        const auto found = kLengths.find(token[i]);
        if (found == kLengths.end()) return false;
        *length = found->second;
        ++i;
        if (i < token.size() && token[i] == '.') {
            *length = *length * 3 / 2;
            ++i;
        }
        return i == token.size();
    }

    const SongRecipe& song;
    std::vector<Note>* out = nullptr;
    double dynamics = 1.0;  // the current section's place in the arc
    bool opening = false;   // the intro and the first section of a longer form: the heavier drums rest
    bool bridge = false;    // section B: its own patterns, a higher voicing and another cymbal
    int lastMelodyKey = 60;
};

// --- The file ---

void PutQuantity(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t bytes[4];
    int count = 0;
    do {
        bytes[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0 && count < 4);
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(bytes[i] | (i > 0 ? 0x80 : 0)));
}

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct Event {
    int64_t tick;
    int order;  // at the same tick: set-up first, then note-offs, then note-ons
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> WriteSong(const SongRecipe& song, const std::vector<Note>& notes, std::vector<TempoChange> tempos,
                               int64_t endTick) {
    std::vector<Event> events;
    tempos.insert(tempos.begin(), {0, song.beatsPerMinute});
    for (const TempoChange& tempo : tempos) {
        const uint32_t microsecondsPerQuarter = 60'000'000u / static_cast<uint32_t>(tempo.beatsPerMinute);
        events.push_back({tempo.tick, 0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsecondsPerQuarter >> 16),
                                          static_cast<uint8_t>(microsecondsPerQuarter >> 8),
                                          static_cast<uint8_t>(microsecondsPerQuarter)}});
    }
    events.push_back({0, 0, {0xFF, 0x58, 0x04, static_cast<uint8_t>(song.beatsPerBar), 2, 24, 8}});
    std::vector<uint8_t> title = {0xFF, 0x03, static_cast<uint8_t>(std::string(song.title).size())};
    title.insert(title.end(), song.title, song.title + std::string(song.title).size());
    events.push_back({0, 0, title});
    struct Setup {
        int channel, program, volume, pan, reverb;
    };
    // The harmony and the drums carry most of the sound above 4 kHz, so they sit close under the
    // lead rather than far below it.
    const Setup setups[] = {{kLead, song.leadProgram, 90, 64, 50},      {kAltLead, song.altLeadProgram, 86, 60, 50},
                            {kHarmony, song.harmonyProgram, 100, 44, 40}, {kPad, song.padProgram, 50, 84, 60},
                            {kBass, song.bassProgram, 100, 64, 20},      {kDrumChannel, kNoProgram, 100, 64, 30}};
    for (const Setup& s : setups) {
        const uint8_t c = static_cast<uint8_t>(s.channel);
        if (s.program != kNoProgram) events.push_back({0, 0, {static_cast<uint8_t>(0xC0 | c), static_cast<uint8_t>(s.program)}});
        const int volume = std::clamp(static_cast<int>(std::lround(s.volume * song.level)), 1, 127);
        events.push_back({0, 0, {static_cast<uint8_t>(0xB0 | c), 7, static_cast<uint8_t>(volume)}});
        events.push_back({0, 0, {static_cast<uint8_t>(0xB0 | c), 10, static_cast<uint8_t>(s.pan)}});
        events.push_back({0, 0, {static_cast<uint8_t>(0xB0 | c), 91, static_cast<uint8_t>(s.reverb)}});
    }
    for (const Note& n : notes) {
        const uint8_t c = static_cast<uint8_t>(n.channel);
        events.push_back({n.start, 2, {static_cast<uint8_t>(0x90 | c), static_cast<uint8_t>(n.key), static_cast<uint8_t>(n.velocity)}});
        events.push_back({n.start + n.length, 1, {static_cast<uint8_t>(0x80 | c), static_cast<uint8_t>(n.key), 0}});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });

    std::vector<uint8_t> track;
    int64_t last = 0;
    for (const Event& event : events) {
        PutQuantity(track, static_cast<uint32_t>(event.tick - last));
        track.insert(track.end(), event.bytes.begin(), event.bytes.end());
        last = event.tick;
    }
    PutQuantity(track, static_cast<uint32_t>(std::max<int64_t>(endTick - last, 0)));
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    PutBig(file, 6, 4);
    PutBig(file, 0, 2);  // format 0: one track
    PutBig(file, 1, 2);
    PutBig(file, kTicksPerQuarter, 2);
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    PutBig(file, static_cast<uint32_t>(track.size()), 4);
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

}  // namespace

bool RenderSongs(std::vector<std::pair<std::string, std::vector<uint8_t>>>* files, std::string* error) {
    for (const SongRecipe& song : Songs()) {
        std::vector<Note> notes;
        std::vector<TempoChange> tempos;
        int64_t endTick = 0;
        Arranger arranger(song);
        error->clear();
        if (!arranger.Arrange(&notes, &tempos, &endTick, error)) return false;
        files->emplace_back(std::string(kMusicFolder) + "/" + song.file, WriteSong(song, notes, tempos, endTick));
    }
    return true;
}
