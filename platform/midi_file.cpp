#include "platform/midi_file.h"

#include <cstring>

namespace {

constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kHeaderDataBytes = 6;
// A variable-length quantity has at most four bytes (28 bits).
constexpr int kMaximumQuantityBytes = 4;
constexpr uint8_t kMetaEvent = 0xFF;
constexpr uint8_t kSysEx = 0xF0;
constexpr uint8_t kSysExContinuation = 0xF7;
constexpr uint8_t kEndOfTrack = 0x2F;
constexpr uint8_t kSetTempo = 0x51;

class Cursor {
public:
    Cursor(const uint8_t* data, size_t size) : data(data), size(size) {}

    bool AtEnd() const { return position >= size; }
    bool Byte(uint8_t* value) {
        if (position >= size) return false;
        *value = data[position++];
        return true;
    }
    bool Skip(size_t bytes) {
        if (bytes > size - position) return false;
        position += bytes;
        return true;
    }
    bool Quantity(uint32_t* value) {
        *value = 0;
        for (int i = 0; i < kMaximumQuantityBytes; ++i) {
            uint8_t b;
            if (!Byte(&b)) return false;
            *value = (*value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }
    const uint8_t* Here() const { return data + position; }
    bool Peek(uint8_t* value) const {
        if (position >= size) return false;
        *value = data[position];
        return true;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t BigEndian16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// The number of data bytes that follow a channel status byte.
int ChannelDataBytes(uint8_t status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 1;
        default:
            return 2;
    }
}

bool ParseTrack(const uint8_t* data, size_t size, MidiFileSummary* summary) {
    Cursor cursor(data, size);
    uint64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!cursor.AtEnd()) {
        uint32_t delta;
        if (!cursor.Quantity(&delta)) return false;
        tick += delta;
        uint8_t status;
        if (!cursor.Peek(&status)) return false;
        if (status & 0x80) {
            cursor.Skip(1);
        } else {
            // Running status: the data byte belongs to the previous channel message.
            if (runningStatus == 0) return false;
            status = runningStatus;
        }
        if (status == kMetaEvent) {
            uint8_t type;
            uint32_t length;
            if (!cursor.Byte(&type) || !cursor.Quantity(&length)) return false;
            const uint8_t* body = cursor.Here();
            if (!cursor.Skip(length)) return false;
            if (type == kSetTempo && length == 3 && !summary->tempoSeen) {
                summary->tempo = (uint32_t{body[0]} << 16) | (uint32_t{body[1]} << 8) | body[2];
                summary->tempoSeen = true;
            }
            if (type == kEndOfTrack) {
                if (tick > summary->lastTick) summary->lastTick = tick;
                // Bytes after the end of the track are ignored, as players do.
                return true;
            }
            runningStatus = 0;
        } else if (status == kSysEx || status == kSysExContinuation) {
            uint32_t length;
            if (!cursor.Quantity(&length) || !cursor.Skip(length)) return false;
            runningStatus = 0;
        } else if (status >= 0xF0) {
            return false;  // real-time and system-common messages have no place in a file
        } else {
            runningStatus = status;
            uint8_t first = 0, second = 0;
            if (!cursor.Byte(&first) || (first & 0x80)) return false;
            if (ChannelDataBytes(status) == 2 && (!cursor.Byte(&second) || (second & 0x80))) return false;
            if ((status & 0xF0) == 0x90 && second > 0) {
                ++summary->notes;
                summary->channelsUsed |= 1 << (status & 0x0F);
            }
        }
    }
    return false;  // no end-of-track event
}

}  // namespace

bool ParseMidiFile(const uint8_t* data, size_t size, MidiFileSummary* summary) {
    MidiFileSummary local;
    if (!data || size < kChunkHeaderBytes + kHeaderDataBytes) return false;
    if (std::memcmp(data, "MThd", 4) != 0) return false;
    const uint32_t headerLength = BigEndian32(data + 4);
    if (headerLength < kHeaderDataBytes || headerLength > size - kChunkHeaderBytes) return false;
    local.format = BigEndian16(data + 8);
    local.tracks = BigEndian16(data + 10);
    const uint16_t division = BigEndian16(data + 12);
    // Time in frames per second (the top bit set) is not used by our songs and not accepted.
    if (local.format > 1 || local.tracks == 0 || (local.format == 0 && local.tracks != 1)) return false;
    if (division == 0 || (division & 0x8000)) return false;
    local.division = division;

    size_t position = kChunkHeaderBytes + headerLength;
    int tracksFound = 0;
    while (tracksFound < local.tracks) {
        if (size - position < kChunkHeaderBytes) return false;
        const uint8_t* chunk = data + position;
        const uint32_t length = BigEndian32(chunk + 4);
        if (length > size - position - kChunkHeaderBytes) return false;
        if (std::memcmp(chunk, "MTrk", 4) == 0) {
            if (!ParseTrack(chunk + kChunkHeaderBytes, length, &local)) return false;
            ++tracksFound;
        }
        position += kChunkHeaderBytes + length;
    }
    if (summary) *summary = local;
    return true;
}
