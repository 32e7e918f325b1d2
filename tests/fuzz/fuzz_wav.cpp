// Feeds arbitrary bytes to the wave reader: it must refuse or open, never crash or overread,
// and an opened file must give exactly its data chunk's bytes. The effect conversion of the same
// file must stay within the longest effect kept.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/wave_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveReader reader;
    if (!reader.OpenMemory(data, size)) return 0;
    if (reader.Format().blockAlign == 0 || reader.DataSize() > size) __builtin_trap();
    std::vector<uint8_t> out(4096);
    size_t total = 0;
    for (size_t got; (got = reader.Read(out.data(), out.size())) > 0;) total += got;
    if (total != reader.DataSize()) __builtin_trap();
    if (!reader.Rewind()) return 0;
    const auto sound = DecodeEffect(reader, "fuzz.wav");
    if (sound && sound->Frames() > uint64_t{AudioDevice::kOutputRate} * kMaximumEffectSeconds) __builtin_trap();
    return 0;
}
