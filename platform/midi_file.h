// A checker for standard MIDI files, run before a file is handed to the synthesiser: the
// synthesiser's own reader trusts its input, ours refuses anything malformed without reading
// outside the bytes given.
#pragma once

#include <cstddef>
#include <cstdint>

struct MidiFileSummary {
    int format = 0;       // 0 or 1
    int tracks = 0;
    int division = 0;     // ticks per quarter note
    uint64_t lastTick = 0;  // the tick of the last event of the longest track
    int notes = 0;        // note-on events with a velocity above zero
    int channelsUsed = 0;  // a bit per channel that has note-ons
    uint32_t tempo = 500000;  // microseconds per quarter note, from the first tempo event
    bool tempoSeen = false;
};

// True when the bytes are a format 0 or 1 file with metrical time, whose header is followed
// by the promised number of complete "MTrk" chunks (other chunks are skipped), each holding
// well-formed events and ending with an end-of-track event. Fills *summary when given.
bool ParseMidiFile(const uint8_t* data, size_t size, MidiFileSummary* summary);
