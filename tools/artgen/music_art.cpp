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
    kSnare = 38,
    kClosedHat = 42,
    kOpenHat = 46,
    kCrash = 49,
    kRide = 51,
    kTambourine = 54,
};

enum class Accompaniment { kWaltz, kArpeggio, kOffbeat, kPowerChords, kHalfNotes, kStrum };
enum class Drums { kNone, kPop, kRock, kReel, kMarch };

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
    Accompaniment accompaniment;
    Drums drums;
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
        {"MAIN.MID", "Title", 104, 3, 65, false, 73, 71, 0, 49, 32, Accompaniment::kWaltz, Drums::kNone, "AEBEaeBE",
         {{'A', "1 1 4 1 6 2 5 5",
           "5h 3q|1'q 7q 5q|6h 4q|5h.|3q 5q 1'q|2'h 1'q|7q 6q 5q|2h rq"},
          {'E', "1 1 4 1 6 2 5 1",
           "5h 3q|1'q 7q 5q|6h 4q|5h.|3q 5q 1'q|2'h 1'q|7q 2'q 7q|1'h."},
          {'B', "4 5 3 6 2 5 1 5",
           "1'q 6q 4q|2'q 7q 5q|3'h 1'q|2'q 1'q 6q|4q 5q 6q|7q 1'q 2'q|3'h 2'q|1'q 7q 5q"}}},
        {"SONG1.MID", "Fast 1", 138, 4, 67, false, 11, 71, 0, kNoProgram, 33, Accompaniment::kOffbeat, Drums::kPop,
         "AEBEaeBE",
         {{'A', "1 5 6 4 1 5 4 5",
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 6e 5e 2q|3e 5e 1'q 2'e 1'e 7q|6q 1'e 6e 5h|"
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 2'e 1'e 7q|1'e 7e 6e 5e 6q 4q|7e 6e 5e 3e 2h"},
          {'E', "1 5 6 4 1 5 4-5 1",
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 6e 5e 2q|3e 5e 1'q 2'e 1'e 7q|6q 1'e 6e 5h|"
           "3e 5e 1'q 7e 5e 3q|2e 5e 7q 2'e 1'e 7q|1'e 7e 6e 5e 7q 2'q|1'h. rq"},
          {'B', "6 3 4 1 6 3 2 5",
           "5q 3'q 2'e 1'e 7q|7h 5q 7q|6q 1'q 3'q 2'e 1'e|5h 3h|"
           "3e 5e 6e 7e 1'q 3'q|2'q 7q 5q 7q|6q 4q 2q 4q|5h 2'h"}}},
        {"SONG2.MID", "Slow 1", 72, 4, 62, false, 68, 73, 24, 48, 32, Accompaniment::kArpeggio, Drums::kNone, "AEBE",
         {{'A', "1 3 4 1 6 2 5 5", "3h 2q 1q|3h. 5q|6h 5q 4q|3w|3q 5q 1'h|2'h. 7q|1'q 7q 6q 7q|5w"},
          {'E', "1 3 4 1 6 2 5 1", "3h 2q 1q|3h. 5q|6h 5q 4q|3w|3q 5q 1'h|2'h. 7q|6q 7q 1'q 2'q|1'w"},
          {'B', "4 5 3 6 4 1 2 5", "4q 6q 1'q 2'q|2'h 1'q 7q|7h. 5q|6h 5q 3q|4q 5q 6q 1'q|3'h 1'h|2'q 1'q 7q 6q|5h 7h"}}},
        {"SONG3.MID", "Fast 2", 150, 4, 60, false, 65, 11, 4, kNoProgram, 33, Accompaniment::kOffbeat, Drums::kPop,
         "AEBEaeBE",
         {{'A', "1 6 2 5 3 6 2 5",
           "5e 5e 6e 5e 3q 1q|6e 6e 1'e 6e 5q 3q|4e 4e 6e 4e 2q 6,q|7,e 2e 5e 7e 2'h|"
           "3'e 2'e 1'e 7e 5q 3q|6e 7e 1'e 3'e 2'q 1'q|2'q 1'e 6e 4q 6q|7h 5h"},
          {'E', "1 6 2 5 3 6 5 1",
           "5e 5e 6e 5e 3q 1q|6e 6e 1'e 6e 5q 3q|4e 4e 6e 4e 2q 6,q|7,e 2e 5e 7e 2'h|"
           "3'e 2'e 1'e 7e 5q 3q|6e 7e 1'e 3'e 2'q 1'q|2'e 1'e 7e 6e 5q 7q|1'h rh"},
          {'B', "4 4 1 1 4 4 2 5",
           "6q 6e 1'e 6q 4q|5e 6e 1'e 6e 4h|3q 3e 5e 3q 1q|2e 3e 5e 3e 1h|"
           "6q 6e 1'e 2'q 1'q|6e 1'e 6e 5e 4h|2q 4q 6q 1'q|7h 2'h"}}},
        {"SONG4.MID", "Rock", 126, 4, 69, true, 29, 27, 30, kNoProgram, 34, Accompaniment::kPowerChords, Drums::kRock,
         "AEBEaeBE",
         {{'A', "1 6 7 1 1 6 4 5M",
           "1q 1e 3e 5q 3e 1e|3h 1q 6,q|7,e 2e 4e 2e 5q 4q|3h. rq|5q 5e 6e 5q 3q|6q 5e 3e 1h|"
           "4e 3e 2e 1e 2q 4q|5h 7#h"},
          {'E', "1 6 7 1 1 6 5M 1",
           "1q 1e 3e 5q 3e 1e|3h 1q 6,q|7,e 2e 4e 2e 5q 4q|3h. rq|5q 5e 6e 5q 3q|6q 5e 3e 1h|"
           "5e 7#e 2'e 7#e 5h|1'h. rq"},
          {'B', "6 7 1 1 6 7 5M 5M",
           "1'q 1'q 7q 6q|7h 2'q 7q|1'h 5q 3q|1'h. rq|6q 1'q 3'q 1'q|2'q 7q 5q 7q|7#q 5q 7#q 2'q|5h rh"}}},
        {"SONG5.MID", "Slow 2", 66, 4, 70, false, 11, 73, 4, 89, 35, Accompaniment::kHalfNotes, Drums::kNone, "AEBE",
         {{'A', "1 6 4 5 1 6 2 5", "5h 3q 1q|3h. 2q|4h 6q 1'q|7h. rq|5q 6q 5q 3q|6h 5q 3q|4q 2q 6,q 2q|2h 7,h"},
          {'E', "1 6 4 5 1 6 5 1", "5h 3q 1q|3h. 2q|4h 6q 1'q|7h. rq|5q 6q 5q 3q|6h 5q 3q|2q 3q 4q 2q|1w"},
          {'B', "4 5 3 6 2 5 1 5", "6q 1'q 6q 4q|5q 7q 2'h|7h 5q 3q|6h. 5q|2q 4q 6q 2'q|1'h 7h|1'q 5q 3q 5q|2h 5h"}}},
        {"SONG6.MID", "Fast 3", 168, 4, 74, false, 40, 21, 25, kNoProgram, 32, Accompaniment::kStrum, Drums::kReel,
         "AEBEaeBE",
         {{'A', "1 1 5 5 1 1 4 5",
           "1e 3e 5e 3e 1e 3e 5e 1'e|7e 5e 6e 7e 1'q 5q|5e 2e 7,e 2e 5e 2e 7,e 2e|6e 5e 4e 3e 2q 5,q|"
           "1e 3e 5e 3e 1e 3e 5e 1'e|2'e 1'e 7e 6e 5q 3q|4e 6e 1'e 6e 4e 6e 1'e 6e|5e 7e 2'e 7e 5q 7,q"},
          {'E', "1 1 5 5 1 1 4-5 1",
           "1e 3e 5e 3e 1e 3e 5e 1'e|7e 5e 6e 7e 1'q 5q|5e 2e 7,e 2e 5e 2e 7,e 2e|6e 5e 4e 3e 2q 5,q|"
           "1e 3e 5e 3e 1e 3e 5e 1'e|2'e 1'e 7e 6e 5q 3q|4e 6e 1'e 6e 5e 7e 2'e 7e|1'q 5q 1'q rq"},
          {'B', "4 4 1 1 4 4 5 5",
           "4e 6e 1'e 2'e 3'e 2'e 1'e 6e|4e 6e 1'e 6e 4q 6q|3e 5e 1'e 5e 3e 5e 1'e 3'e|2'e 1'e 7e 6e 5q 3q|"
           "4e 6e 1'e 2'e 3'e 2'e 1'e 6e|1'e 6e 4e 6e 1'q 2'q|3'e 2'e 1'e 7e 6e 5e 4e 3e|2q 5,q 7,q 2q"}}},
        {"WIN.MID", "Won", 120, 4, 60, false, 56, 61, 48, kNoProgram, 58, Accompaniment::kHalfNotes, Drums::kMarch,
         "ABabA",
         {{'A', "1 4 1 5 1 4 5 1",
           "5q 5e 5e 1'h|6q 1'q 4'h|3'q 2'e 1'e 5q 3'q|2'h. rq|5q 5e 5e 1'q 3'q|4'q 3'q 2'q 1'q|7q 2'q 5'q 4'q|3'h 1'h"},
          {'B', "6 3 4 1 2 5 1 5",
           "1'q 3'q 6q 1'q|7q 5q 3'h|4'q 3'e 2'e 1'q 6q|5h. rq|2'q 4'q 6q 2'q|7q 2'q 5'q 2'q|3'q 1'q 5q 1'q|2'h 5h"}}},
        {"LOSE.MID", "Lost", 68, 4, 62, true, 8, 71, 0, 49, 42, Accompaniment::kArpeggio, Drums::kNone, "AEBE",
         {{'A', "1 4 7 3 6 4 4 5M", "5h 3q 1q|4h 6q 5q|4q 2q 7,h|3h. 5q|6h 5q 4q|4h 3q 2q|6q 5q 4q 3q|2h 7#,h"},
          {'E', "1 4 7 3 6 4 5M 1", "5h 3q 1q|4h 6q 5q|4q 2q 7,h|3h. 5q|6h 5q 4q|4h 3q 2q|2q 7#,q 5,q 7#,q|1w"},
          {'B', "3 7 4 1 6 3 4 5M", "3q 5q 7q 5q|4h 2h|4q 6q 1'q 6q|5w|4q 6q 1'h|7h 5h|6q 5q 4q 2q|7#,h 2h"}}},
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
        for (char formLetter : std::string(song.form)) {
            const Section* section = Find(static_cast<char>(std::toupper(static_cast<unsigned char>(formLetter))));
            if (!section) return Fail(error, std::string("no section ") + formLetter);
            const bool alternate = std::islower(static_cast<unsigned char>(formLetter)) != 0;
            if (!Place(*section, alternate, tick, error)) return false;
            tick += BarTicks() * BarCount(*section);
        }
        // A closing bar: the tonic held, with a last cymbal where there are drums.
        Chord tonic = MakeChord("1", error);
        Accompany(tonic, tonic, tick, true);
        if (song.drums != Drums::kNone) {
            Add(kDrumChannel, kCrash, 90, tick, kTicksPerQuarter * 2);
            Add(kDrumChannel, kKick, 100, tick, kTicksPerQuarter / 2);
        }
        *endTick = tick + BarTicks();
        return true;
    }

private:
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

    void Add(int channel, int key, int velocity, int64_t start, int64_t length) {
        if (key < 0 || key > 127 || length <= 0) return;
        out->push_back({channel, key, std::clamp(velocity, 1, 127), start, length});
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

    // One bar of accompaniment; first and second are the chords of its two halves.
    void Accompany(const Chord& first, const Chord& second, int64_t bar, bool closing) {
        const int beats = song.beatsPerBar;
        const int64_t q = kTicksPerQuarter, e = q / 2;
        auto chordAt = [&](int64_t offset) -> const Chord& { return offset * 2 < BarTicks() ? first : second; };
        auto block = [&](int64_t offset, int64_t length, int velocity) {
            for (int key : Voicing(chordAt(offset))) Add(kHarmony, key, velocity, bar + offset, length);
        };
        auto bass = [&](int64_t offset, int64_t length, int interval, int velocity) {
            Add(kBass, BassRoot(chordAt(offset)) + interval, velocity, bar + offset, length);
        };
        if (song.padProgram != kNoProgram) {
            const int64_t half = BarTicks() / 2;
            for (int64_t offset : {int64_t{0}, half})
                for (int key : Voicing(chordAt(offset))) Add(kPad, key + 12, 46, bar + offset, half);
        }
        if (closing) {
            block(0, BarTicks(), 60);
            bass(0, BarTicks(), 0, 80);
            return;
        }
        switch (song.accompaniment) {
            case Accompaniment::kWaltz:
                bass(0, q, 0, 80);
                block(q, q * 3 / 4, 52);
                block(2 * q, q * 3 / 4, 48);
                break;
            case Accompaniment::kArpeggio: {
                constexpr int kPattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
                for (int i = 0; i < beats * 2; ++i) {
                    std::vector<int> keys = Voicing(chordAt(i * e));
                    keys.push_back(keys[0] + 12);
                    const int key = keys[static_cast<size_t>(kPattern[i % 8]) % keys.size()];
                    Add(kHarmony, key, i % 2 == 0 ? 56 : 48, bar + i * e, e * 2);
                }
                bass(0, BarTicks() / 2, 0, 76);
                bass(BarTicks() / 2, BarTicks() / 2, 7, 70);
                break;
            }
            case Accompaniment::kOffbeat:
                for (int beat = 0; beat < beats; ++beat) block(beat * q + e, e * 4 / 5, 54);
                bass(0, q, 0, 88);
                bass(q + e, e, 0, 72);
                bass(2 * q, q, 7, 84);
                bass(3 * q, e, 12, 72);
                bass(3 * q + e, e, 7, 70);
                break;
            case Accompaniment::kPowerChords:
                for (int i = 0; i < beats * 2; ++i) {
                    const Chord& chord = chordAt(i * e);
                    const int root = Voicing(Chord{chord.root, {0}})[0] - 12;
                    for (int interval : {0, 7, 12}) Add(kHarmony, root + interval, i % 2 == 0 ? 62 : 50, bar + i * e, e * 4 / 5);
                    bass(i * e, e * 4 / 5, 0, i % 2 == 0 ? 90 : 76);
                }
                break;
            case Accompaniment::kHalfNotes:
                block(0, BarTicks() / 2, 56);
                block(BarTicks() / 2, BarTicks() / 2, 50);
                bass(0, BarTicks() / 2, 0, 80);
                bass(BarTicks() / 2, BarTicks() / 2, 7, 72);
                break;
            case Accompaniment::kStrum:
                for (int beat = 0; beat < beats; ++beat) {
                    // A strum: the chord's notes a few ticks apart, low to high.
                    const std::vector<int> keys = Voicing(chordAt(beat * q));
                    for (size_t i = 0; i < keys.size(); ++i)
                        Add(kHarmony, keys[i], beat % 2 == 1 ? 64 : 52, bar + beat * q + static_cast<int64_t>(i) * 12,
                            q * 4 / 5);
                }
                bass(0, q, 0, 86);
                bass(q, e, 7, 70);
                bass(2 * q, q, 7, 82);
                bass(3 * q, e, 0, 70);
                break;
        }
    }

    void Drum(int64_t bar, bool sectionStart) {
        const int64_t q = kTicksPerQuarter, e = q / 2;
        const int beats = song.beatsPerBar;
        switch (song.drums) {
            case Drums::kNone:
                return;
            case Drums::kPop:
                for (int beat = 0; beat < beats; ++beat) {
                    Add(kDrumChannel, beat % 2 == 0 ? kKick : kSnare, beat % 2 == 0 ? 84 : 70, bar + beat * q, e);
                    Add(kDrumChannel, kClosedHat, 52, bar + beat * q, e / 2);
                    Add(kDrumChannel, kClosedHat, 40, bar + beat * q + e, e / 2);
                }
                break;
            case Drums::kRock:
                for (int beat = 0; beat < beats; ++beat) {
                    Add(kDrumChannel, beat % 2 == 0 ? kKick : kSnare, beat % 2 == 0 ? 96 : 86, bar + beat * q, e);
                    Add(kDrumChannel, kClosedHat, 60, bar + beat * q, e / 2);
                    Add(kDrumChannel, beat == beats - 1 ? kOpenHat : kClosedHat, 48, bar + beat * q + e, e / 2);
                }
                Add(kDrumChannel, kKick, 80, bar + q + e, e);
                break;
            case Drums::kReel:
                for (int beat = 0; beat < beats; ++beat) {
                    if (beat % 2 == 0) Add(kDrumChannel, kKick, 74, bar + beat * q, e);
                    else Add(kDrumChannel, kTambourine, 56, bar + beat * q, e);
                    Add(kDrumChannel, kClosedHat, 38, bar + beat * q + e, e / 2);
                }
                break;
            case Drums::kMarch:
                for (int beat = 0; beat < beats; ++beat) {
                    Add(kDrumChannel, beat % 2 == 0 ? kKick : kSnare, beat % 2 == 0 ? 80 : 66, bar + beat * q, e);
                    Add(kDrumChannel, kRide, 40, bar + beat * q, e);
                }
                Add(kDrumChannel, kSnare, 50, bar + 3 * q + e, e);
                break;
        }
        if (sectionStart) Add(kDrumChannel, kCrash, 74, bar, q * 2);
    }

    bool Place(const Section& section, bool alternate, int64_t start, std::string* error) {
        std::istringstream chords(section.chords);
        std::string chordToken;
        int64_t bar = start;
        bool first = true;
        while (chords >> chordToken) {
            const size_t dash = chordToken.find('-');
            const Chord a = MakeChord(chordToken.substr(0, dash), error);
            const Chord b = dash == std::string::npos ? a : MakeChord(chordToken.substr(dash + 1), error);
            if (!error->empty()) return false;
            Accompany(a, b, bar, false);
            Drum(bar, first);
            first = false;
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
        events.push_back({0, 0, {static_cast<uint8_t>(0xB0 | c), 7, static_cast<uint8_t>(s.volume)}});
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
