#include "framework/undo_journal.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/paths.h"

void UndoWriter::Int(int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void UndoWriter::CardValue(Card card) {
    Int(card.Suit());
    Int(card.Rank());
}

void UndoWriter::Cards(const Card* cards, int count) {
    for (int i = 0; i < count; ++i) CardValue(cards[i]);
}

bool UndoReader::Int(int32_t& value) {
    if (!ok || bytes.size() - position < 4) return ok = false;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes[position + i]) << (8 * i);
    position += 4;
    value = static_cast<int32_t>(v);
    return true;
}

bool UndoReader::IntIn(int32_t& value, int32_t lowest, int32_t highest) {
    int32_t read = 0;
    if (!Int(read)) return false;
    if (read < lowest || read > highest) return ok = false;
    value = read;
    return true;
}

bool UndoReader::CardValue(Card& card) {
    int32_t suit = 0, rank = 0;
    if (!Int(suit) || !Int(rank)) return false;
    const Card read(suit, rank);
    if (!read.IsValid() && read != Card()) return ok = false;
    card = read;
    return true;
}

bool UndoReader::Cards(Card* cards, int count) {
    for (int i = 0; i < count; ++i)
        if (!CardValue(cards[i])) return false;
    return ok;
}

std::optional<std::span<const uint8_t>> UndoReader::Take(size_t n) {
    if (!ok || bytes.size() - position < n) {
        ok = false;
        return std::nullopt;
    }
    auto part = bytes.subspan(position, n);
    position += n;
    return part;
}

int32_t PackTally::FoundationStart(std::span<const Card> tops, int32_t current) const {
    const auto completes = [&](int32_t start) {
        PackTally all = *this;
        return all.TakeFoundations(tops, start) && all.WholePack();
    };
    if (current >= 0 && current < Card::kRankCount && completes(current)) return current;
    for (int32_t start = 0; start < Card::kRankCount; ++start)
        if (completes(start)) return start;
    return -1;
}

UndoJournal::~UndoJournal() { DeleteAllRecords(); }

std::string UndoJournal::RecordPath(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "UNDO%d.DAT", n);
    return RuntimeDirectory() + "/" + name;
}

void UndoJournal::Push(const std::vector<uint8_t>& record, RecordNote note) {
    ++count;
    records.resize(static_cast<size_t>(count - 1));
    records.push_back(record);
    notes.resize(static_cast<size_t>(count - 1));
    if (!notes.empty() && notes.back().next == 0) notes.back().next = note.position;
    notes.push_back(note);
    std::ofstream file(RecordPath(count), std::ios::binary | std::ios::trunc);
    if (file) file.write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
}

std::optional<std::vector<uint8_t>> UndoJournal::Pop() {
    if (count <= 0) return std::nullopt;
    const std::string path = RecordPath(count);
    --count;
    records.resize(static_cast<size_t>(count));
    notes.resize(static_cast<size_t>(count));
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<size_t>(size) > kMaxUndoRecordBytes) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

void UndoJournal::Drop() {
    if (count <= 0) return;
    --count;
    records.resize(static_cast<size_t>(count));
    notes.resize(static_cast<size_t>(count));
}

void UndoJournal::DeleteAllRecords() {
    std::error_code error;
    const std::filesystem::path folder = RuntimeDirectory();
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= 8 && name.rfind("UNDO", 0) == 0 && name.compare(name.size() - 4, 4, ".DAT") == 0)
            std::filesystem::remove(entry.path(), error);
    }
}
