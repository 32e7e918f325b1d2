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
    char name;            // used in the form; a lower-case letter in the form gives it to the second lead
    const char* chords;   // one chord per bar; "4-5" splits a bar in halves
    const char* melody;   // bars separated by '|'
};

struct SongRecipe {
    const char* file;
    const char* title;
    int beatsPerMinute;
    int beatsPerBar;  // quarter notes
    int tonic;        // MIDI note of degree 1 of the melody
    bool minor;
    int leadProgram, altLeadProgram, harmonyProgram, padProgram, bassProgram;
    const char* accompaniment;
    bool strum;  // the accompaniment's chords are strummed low to high
    const char* bass;
    std::vector<DrumLine> drums;
    // Scales every channel's volume, so the songs sound equally loud with the soundfont played.
    double level;
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
        {"MAIN.MID", "Title", 104, 3, 65, false, 73, 71, 0, 49, 32, "....x--.x--.", false, "1-------5-..",
         {{kMuteTriangle, "x...........", true}, {kPedalHat, "....o...o...", false}}, 0.89, "AEBEaeBE",
         {{'A', "1 17 4 1 67 27 5 57",
           "5h 3q|1'q 7q 5q|6h 4q|5h.|3q 5q 1'q|2'h 1'q|7q 6q 5q|2h rq"},
          {'E', "1 17 4 1 67 27 57 1",
           "5h 3q|1'q 7q 5q|6h 4q|5h.|3q 5q 1'q|2'h 1'q|7q 2'q 7q|1'h."},
          {'B', "47 5 37 6 27 57 1 5",
           "1'q 6q 4q|2'q 7q 5q|3'h 1'q|2'q 1'q 6q|4q 5q 6q|7q 1'q 2'q|3'h 2'q|1'q 7q 5q"}}},
        {"SONG1.MID", "Fast 1", 138, 4, 67, false, 11, 71, 0, kNoProgram, 33, "..x-..x-..x-..x-", false,
         "1-.1..5-1-.8.5..",
         {{kKick, "X......x..x.....", false}, {kSnare, "....X.......X...", false}, {kClosedHat, "x.x.x.x.x.x.x.x.", true}},
         1.07, "AEBEaeBE",
         {{'A', "1 5 6 4 1 5 4 5",
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 6e 5e 2q|3e 5e 1'q 2'e 1'e 7q|6q 1'e 6e 5h|"
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 2'e 1'e 7q|1'e 7e 6e 5e 6q 4q|7e 6e 5e 3e 2h"},
          {'E', "1 5 6 4 1 5 4-5 1",
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 6e 5e 2q|3e 5e 1'q 2'e 1'e 7q|6q 1'e 6e 5h|"
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 2'e 1'e 7q|1'e 7e 6e 5e 7q 2'q|1'h. rq"},
          {'B', "67 37 4 17 67 37 27 5-57",
           "5q 3'q 2'e 1'e 7q|7h 5q 7q|6q 1'q 3'q 2'e 1'e|5h 3h|"
           "3e 5e 6e 7e 1'q 3'q|2'q 7q 5q 7q|6q 4q 2q 4q|5h 2'h"}}},
        {"SONG2.MID", "Slow 1", 72, 4, 62, false, 68, 73, 24, 48, 32, "0-1-2-3-2-1-2-1-", false, "1-------5---3---",
         {{kMaracas, "o...o...o...o...", true}, {kSideStick, "........x.......", false}}, 0.91, "AEBE",
         {{'A', "1 3 4 1 6 2 5 5", "3h 2q 1q|3h. 5q|6h 5q 4q|3w|3q 5q 1'h|2'h. 7q|1'q 7q 6q 7q|5w"},
          {'E', "1 3 4 1 6 2 5 1", "3h 2q 1q|3h. 5q|6h 5q 4q|3w|3q 5q 1'h|2'h. 7q|6q 7q 1'q 2'q|1'w"},
          {'B', "47 5 37 67 47 1 27 5-57", "4q 6q 1'q 2'q|2'h 1'q 7q|7h. 5q|6h 5q 3q|4q 5q 6q 1'q|3'h 1'h|2'q 1'q 7q 6q|5h 7h"}}},
        {"SONG3.MID", "Fast 2", 150, 4, 60, false, 65, 11, 4, kNoProgram, 33, "x--x--x...x--x..", false,
         "1---3---5---a---",
         {{kKick, "X.....x.X.......", false}, {kSnare, "....X.......X..x", false}, {kClosedHat, "x.xxx.x.x.xxx.x.", true}},
         0.94, "AEBEaeBE",
         {{'A', "1 6 2 5 3 6 2 5",
           "5e 5e 6e 5e 3q 1q|6e 6e 1'e 6e 5q 3q|4e 4e 6e 4e 2q 6,q|7,e 2e 5e 7e 2'h|"
           "3'e 2'e 1'e 7e 5q 3q|6e 7e 1'e 3'e 2'q 1'q|2'q 1'e 6e 4q 6q|7h 5h"},
          {'E', "1 6 2 5 3 6 5 1",
           "5e 5e 6e 5e 3q 1q|6e 6e 1'e 6e 5q 3q|4e 4e 6e 4e 2q 6,q|7,e 2e 5e 7e 2'h|"
           "3'e 2'e 1'e 7e 5q 3q|6e 7e 1'e 3'e 2'q 1'q|2'e 1'e 7e 6e 5q 7q|1'h rh"},
          {'B', "4 47 1 17 4 2 27 5-57",
           "6q 6e 1'e 6q 4q|5e 6e 1'e 6e 4h|3q 3e 5e 3q 1q|2e 3e 5e 3e 1h|"
           "6q 6e 1'e 2'q 1'q|6e 1'e 6e 5e 4h|2q 4q 6q 1'q|7h 2'h"}}},
        {"SONG4.MID", "Rock", 126, 4, 69, true, 29, 27, 30, kNoProgram, 34, "x-x-x-.xx-x-x-.x", false,
         "1-1-1-1-1-1-1-5-",
         {{kKick, "X.....X.X.x.....", false}, {kSnare, "....X.......X...", false}, {kClosedHat, "xoxoxoxoxoxoxoxo", true}},
         0.93, "AEBEaeBE",
         {{'A', "1 6 7 1 1 6 4 5M",
           "1q 1e 3e 5q 3e 1e|3h 1q 6,q|7,e 2e 4e 2e 5q 4q|3h. rq|5q 5e 6e 5q 3q|6q 5e 3e 1h|"
           "4e 3e 2e 1e 2q 4q|5h 7#h"},
          {'E', "1 6 7 1 1 6 5M 1",
           "1q 1e 3e 5q 3e 1e|3h 1q 6,q|7,e 2e 4e 2e 5q 4q|3h. rq|5q 5e 6e 5q 3q|6q 5e 3e 1h|"
           "5e 7#e 2'e 7#e 5h|1'h. rq"},
          {'B', "6 7 1 17 6 7 5M 5M7",
           "1'q 1'q 7q 6q|7h 2'q 7q|1'h 5q 3q|1'h. rq|6q 1'q 3'q 1'q|2'q 7q 5q 7q|7#q 5q 7#q 2'q|5h rh"}}},
        {"SONG5.MID", "Slow 2", 66, 4, 70, false, 11, 73, 4, 89, 35, "x-------x-------", false, "1-------5-------",
         {{kRide, "o.....o.o.......", true}, {kSideStick, "....x.......x...", false}}, 1.05, "AEBE",
         {{'A', "1 6 4 5 1 6 2 5", "5h 3q 1q|3h. 2q|4h 6q 1'q|7h. rq|5q 6q 5q 3q|6h 5q 3q|4q 2q 6,q 2q|2h 7,h"},
          {'E', "1 6 4 5 1 6 5 1", "5h 3q 1q|3h. 2q|4h 6q 1'q|7h. rq|5q 6q 5q 3q|6h 5q 3q|2q 3q 4q 2q|1w"},
          {'B', "47 5 37 67 27 57 1 5-57", "6q 1'q 6q 4q|5q 7q 2'h|7h 5q 3q|6h. 5q|2q 4q 6q 2'q|1'h 7h|1'q 5q 3q 5q|2h 5h"}}},
        {"SONG6.MID", "Fast 3", 168, 4, 74, false, 40, 21, 25, kNoProgram, 32, "x-.xx-.xx-.xx-.x", true,
         "1---5-1-1---5-8-",
         {{kKick, "X.......X.......", false}, {kTambourine, "..x...x...x...xx", true}, {kClosedHat, "o.o.o.o.o.o.o.o.", false}},
         0.99, "AEBEaeBE",
         {{'A', "1 1 5 5 1 1 4 5",
           "1e 3e 5e 3e 1e 3e 5e 1'e|7e 5e 6e 7e 1'q 5q|5e 2e 7,e 2e 5e 2e 7,e 2e|6e 5e 4e 3e 2q 5,q|"
           "1e 3e 5e 3e 1e 3e 5e 1'e|2'e 1'e 7e 6e 5q 3q|4e 6e 1'e 6e 4e 6e 1'e 6e|5e 7e 2'e 7e 5q 7,q"},
          {'E', "1 1 5 5 1 1 4-5 1",
           "1e 3e 5e 3e 1e 3e 5e 1'e|7e 5e 6e 7e 1'q 5q|5e 2e 7,e 2e 5e 2e 7,e 2e|6e 5e 4e 3e 2q 5,q|"
           "1e 3e 5e 3e 1e 3e 5e 1'e|2'e 1'e 7e 6e 5q 3q|4e 6e 1'e 6e 5e 7e 2'e 7e|1'q 5q 1'q rq"},
          {'B', "4 2 1 6 4 2 5 57",
           "4e 6e 1'e 2'e 3'e 2'e 1'e 6e|4e 6e 1'e 6e 4q 6q|3e 5e 1'e 5e 3e 5e 1'e 3'e|2'e 1'e 7e 6e 5q 3q|"
           "4e 6e 1'e 2'e 3'e 2'e 1'e 6e|1'e 6e 4e 6e 1'q 2'q|3'e 2'e 1'e 7e 6e 5e 4e 3e|2q 5,q 7,q 2q"}}},
        {"WIN.MID", "Won", 120, 4, 60, false, 56, 61, 48, kNoProgram, 58, "x--.x-x-x--.x-x-", false, "1---5---1---5-5-",
         {{kKick, "X.......X.......", false}, {kSnare, "....x..x....x.xx", false}, {kRide, "x...x...x...x...", true}},
         0.95, "ABabA",
         {{'A', "1 4 1 5 1 4 5 1",
           "5q 5e 5e 1'h|6q 1'q 4'h|3'q 2'e 1'e 5q 3'q|2'h. rq|5q 5e 5e 1'q 3'q|4'q 3'q 2'q 1'q|7q 2'q 5'q 4'q|3'h 1'h"},
          {'B', "67 3 4 17 27 5 1-6 5-57",
           "1'q 3'q 6q 1'q|7q 5q 3'h|4'q 3'e 2'e 1'q 6q|5h. rq|2'q 4'q 6q 2'q|7q 2'q 5'q 2'q|3'q 1'q 5q 1'q|2'h 5h"}}},
        {"LOSE.MID", "Lost", 68, 4, 62, true, 8, 71, 0, 49, 42, "0--2--1--3--2-1-", false, "1-----------5-3-",
         {{kFloorTom, "X.......o.......", false}, {kCabasa, "....o.......o.o.", true}}, 1.08, "AEBE",
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

struct Chord {
    int root = 0;                // pitch class relative to the key's tonic, 0..11
    std::vector<int> intervals;  // from the root
};

class Arranger {
public:
    explicit Arranger(const SongRecipe& song) : song(song) {}

    bool Arrange(std::vector<Note>* notes, int64_t* endTick, std::string* error) {
        out = notes;
        int64_t tick = 0;
        const std::string form = song.form;
        for (size_t i = 0; i < form.size(); ++i) {
            const char formLetter = form[i];
            const Section* section = Find(static_cast<char>(std::toupper(static_cast<unsigned char>(formLetter))));
            if (!section) return Fail(error, std::string("no section ") + formLetter);
            const bool alternate = std::islower(static_cast<unsigned char>(formLetter)) != 0;
            dynamics = Arc(i, form.size());
            opening = i == 0 && form.size() > 2;
            if (!Place(*section, alternate, tick, error)) return false;
            tick += BarTicks() * BarCount(*section);
        }
        // A closing bar: the tonic held, with a last cymbal.
        Chord tonic = MakeChord("1", error);
        dynamics = Arc(form.size() - 1, form.size());
        opening = false;
        Accompany(tonic, tonic, tonic, tick, true);
        Add(kDrumChannel, kCrash, 84, tick, kTicksPerQuarter * 2);
        Add(kDrumChannel, kKick, 96, tick, kTicksPerQuarter / 2);
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
    static int BarCount(const Section& s) {
        std::istringstream in(s.chords);
        std::string token;
        int count = 0;
        while (in >> token) ++count;
        return count;
    }
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

    // The chord's notes placed from G3 up, so the harmony moves little between chords.
    std::vector<int> Voicing(const Chord& chord) const {
        constexpr int kLowest = 55;
        std::vector<int> keys;
        for (int interval : chord.intervals) {
            int key = song.tonic % 12 + chord.root + interval;
            while (key < kLowest) key += 12;
            while (key >= kLowest + 12) key -= 12;
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
    // next the chord of the bar after it (the bass leads into it).
    void Accompany(const Chord& first, const Chord& second, const Chord& next, int64_t bar, bool closing) {
        auto chordAt = [&](int64_t offset) -> const Chord& { return offset * 2 < BarTicks() ? first : second; };
        if (song.padProgram != kNoProgram) {
            const int64_t half = BarTicks() / 2;
            for (int64_t offset : {int64_t{0}, half})
                for (int key : Voicing(chordAt(offset))) Add(kPad, key + 12, 46, bar + offset, half);
        }
        if (closing) {
            for (int key : Voicing(first)) Add(kHarmony, key, 60, bar, BarTicks());
            Add(kBass, BassRoot(first), 80, bar, BarTicks());
            return;
        }
        const std::string harmony = song.accompaniment, bass = song.bass;
        for (size_t step = 0; step < harmony.size(); ++step) {
            const char c = harmony[step];
            if (c == '-' || c == '.') continue;
            const int64_t offset = static_cast<int64_t>(step) * kStep;
            const int64_t length = StepLength(harmony, step) * kStep * 9 / 10;
            // Notes on the beat lean a little harder than those between.
            const int velocity = step % 4 == 0 ? 58 : 50;
            std::vector<int> keys = Voicing(chordAt(offset));
            if (c == 'x') {
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

    // One bar of drums. The opening section plays only the light lines; every section begins
    // with a cymbal once the full kit is in.
    void Drum(int64_t bar, bool sectionStart) {
        for (const DrumLine& line : song.drums) {
            if (opening && !line.light) continue;
            const std::string steps = line.steps;
            for (size_t step = 0; step < steps.size(); ++step) {
                const char c = steps[step];
                const int velocity = c == 'X' ? 96 : c == 'x' ? 76 : c == 'o' ? 52 : 0;
                if (velocity > 0) Add(kDrumChannel, line.key, velocity, bar + static_cast<int64_t>(step) * kStep, kStep * 2);
            }
        }
        if (sectionStart && !opening) Add(kDrumChannel, kCrash, 70, bar, kTicksPerQuarter * 2);
    }

    bool Place(const Section& section, bool alternate, int64_t start, std::string* error) {
        std::vector<std::string> tokens;
        std::istringstream chords(section.chords);
        for (std::string token; chords >> token;) tokens.push_back(token);
        int64_t bar = start;
        for (size_t i = 0; i < tokens.size(); ++i) {
            const size_t dash = tokens[i].find('-');
            const Chord a = MakeChord(tokens[i].substr(0, dash), error);
            const Chord b = dash == std::string::npos ? a : MakeChord(tokens[i].substr(dash + 1), error);
            // The last bar of a section leads back to the tonic.
            const Chord next = MakeChord(i + 1 < tokens.size() ? tokens[i + 1].substr(0, tokens[i + 1].find('-')) : "1", error);
            if (!error->empty()) return false;
            Accompany(a, b, next, bar, false);
            Drum(bar, i == 0);
            bar += BarTicks();
        }
        const int channel = alternate && song.altLeadProgram != kNoProgram ? kAltLead : kLead;
        return PlaceMelody(section, channel, start, error);
    }

    bool PlaceMelody(const Section& section, int channel, int64_t start, std::string* error) {
        const std::string melody = section.melody;
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
    bool opening = false;   // the first section of a longer form: the heavier drums rest
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

std::vector<uint8_t> WriteSong(const SongRecipe& song, const std::vector<Note>& notes, int64_t endTick) {
    std::vector<Event> events;
    const uint32_t microsecondsPerQuarter = 60'000'000u / static_cast<uint32_t>(song.beatsPerMinute);
    events.push_back({0, 0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microsecondsPerQuarter >> 16),
                             static_cast<uint8_t>(microsecondsPerQuarter >> 8), static_cast<uint8_t>(microsecondsPerQuarter)}});
    events.push_back({0, 0, {0xFF, 0x58, 0x04, static_cast<uint8_t>(song.beatsPerBar), 2, 24, 8}});
    std::vector<uint8_t> title = {0xFF, 0x03, static_cast<uint8_t>(std::string(song.title).size())};
    title.insert(title.end(), song.title, song.title + std::string(song.title).size());
    events.push_back({0, 0, title});
    struct Setup {
        int channel, program, volume, pan, reverb;
    };
    const Setup setups[] = {{kLead, song.leadProgram, 100, 64, 50},     {kAltLead, song.altLeadProgram, 96, 60, 50},
                            {kHarmony, song.harmonyProgram, 84, 44, 40}, {kPad, song.padProgram, 70, 84, 60},
                            {kBass, song.bassProgram, 100, 64, 20},      {kDrumChannel, kNoProgram, 86, 64, 30}};
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
        int64_t endTick = 0;
        Arranger arranger(song);
        error->clear();
        if (!arranger.Arrange(&notes, &endTick, error)) return false;
        files->emplace_back(std::string(kMusicFolder) + "/" + song.file, WriteSong(song, notes, endTick));
    }
    return true;
}
