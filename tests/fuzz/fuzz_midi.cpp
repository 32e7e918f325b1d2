// Feeds arbitrary bytes to the MIDI file checker that guards the synthesiser: it must accept
// or refuse, never crash, overread or hang.
#include <cstddef>
#include <cstdint>

#include "platform/midi_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MidiFileSummary summary;
    if (ParseMidiFile(data, size, &summary)) {
        if (summary.tracks < 1 || summary.format > 1 || summary.division <= 0) __builtin_trap();
    }
    return 0;
}
