// The undo journal: before every move a game writes a snapshot of its whole position to a small
// numbered file, "UNDO1.DAT" for the oldest, and Undo reads the newest one back. Records are
// built in memory and written in one go, and read in one go and parsed from memory, so a record
// that is short or holds impossible values is refused before anything in the game changes.
//
// Record layout (little-endian, no header): the deck's 952-byte saved form, two card lists
// (count, then 8 bytes per card; no game fills them, so both counts are 0), then the game's own
// arrays, its points and the elapsed seconds. The game's part starts at offset 960.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cards/card.h"
#include "cards/deck.h"

// Offset of a game's own part when the two base card lists are empty.
inline constexpr size_t kUndoGamePartOffset = Deck::kSavedSize + 2 * 4;
// No record comes near this; a larger file is refused unread.
inline constexpr size_t kMaxUndoRecordBytes = 64 * 1024;
// The most cards a base card list may claim.
inline constexpr int32_t kMaxBaseListCards = Deck::kMaxCards;

class UndoWriter {
public:
    void Int(int32_t value);
    void CardValue(Card card);
    void Cards(const Card* cards, int count);
    std::vector<uint8_t>& Bytes() { return bytes; }
    const std::vector<uint8_t>& Bytes() const { return bytes; }

private:
    std::vector<uint8_t> bytes;
};

// The largest points and elapsed seconds a record may claim; anything beyond is damage.
inline constexpr int32_t kMaxRecordPoints = 1'000'000'000;
inline constexpr int32_t kMaxRecordSeconds = 1'000'000'000;

// A restored pile holds nothing past its count, so no stale card is drawn or counted later.
template <size_t N>
void ClearPastCount(std::array<Card, N>& pile, int32_t count) {
    for (size_t i = count > 0 ? static_cast<size_t>(count) : 0; i < N; ++i) pile[i] = Card();
}

// Counts the cards an undo record puts in play, so a reader can refuse a record that loses or
// repeats a card before it changes anything. Each card may be counted once per pack.
class PackTally {
public:
    explicit PackTally(int packs = 1) : packs(packs) {}

    // False for an impossible card or one already counted as often as the packs hold it.
    bool Take(Card card) {
        if (!card.IsValid() || copies[static_cast<size_t>(card.Index())] >= packs) return false;
        ++copies[static_cast<size_t>(card.Index())];
        ++taken;
        return true;
    }
    // A slot that may be empty: the no-card value counts nothing.
    bool TakeSlot(Card card) { return !card.IsValid() || Take(card); }
    // The first count cards of a pile.
    bool TakeCards(const Card* cards, int count) {
        for (int i = 0; i < count; ++i)
            if (!Take(cards[i])) return false;
        return true;
    }
    // The cards still in the deck, from the next one dealt.
    bool TakeStock(const Deck& deck) {
        for (int i = 0; i < deck.Remaining(); ++i)
            if (!Take(deck.Peek(i))) return false;
        return true;
    }
    // Cards a record holds only as a number: those under the top of a foundation that builds
    // regardless of suit.
    void TakeCovered(int cards) { taken += cards; }
    // A foundation keeps only its top card: it holds its suit from the starting rank up to the
    // top, ranks wrapping from the Ace to the Two. An empty foundation (no-card top) holds nothing.
    bool TakeFoundation(Card top, int32_t startRank) {
        if (!top.IsValid()) return true;
        if (startRank < 0 || startRank >= Card::kRankCount) return false;
        for (int32_t rank = startRank;; rank = (rank + 1) % Card::kRankCount) {
            if (!Take(Card(top.Suit(), rank))) return false;
            if (rank == top.Rank()) return true;
        }
    }
    // Every foundation of a record, all built from the same starting rank.
    bool TakeFoundations(std::span<const Card> tops, int32_t startRank) {
        for (Card top : tops)
            if (!TakeFoundation(top, startRank)) return false;
        return true;
    }
    // For a record that does not hold the starting rank: the rank under which these foundation
    // tops complete the packs with the cards counted so far, trying current first (with empty
    // foundations every rank fits). -1 when no rank does.
    int32_t FoundationStart(std::span<const Card> tops, int32_t current) const;
    // Every card of every pack counted.
    bool WholePack() const { return taken == packs * Card::kCardsPerPack; }

private:
    std::array<uint8_t, Card::kCardsPerPack> copies{};
    int packs;
    int taken = 0;
};

// Reads values from a record in memory. Every read fails once the record has run out, and a card
// read fails for anything but a real card or the no-card value; after a failure every later read
// fails too, so a parser may check Ok() once at the end.
class UndoReader {
public:
    explicit UndoReader(std::span<const uint8_t> bytes) : bytes(bytes) {}

    bool Int(int32_t& value);
    // An int that must lie in lowest..highest.
    bool IntIn(int32_t& value, int32_t lowest, int32_t highest);
    bool CardValue(Card& card);
    bool Cards(Card* cards, int count);
    // Hands out the next n bytes (for the deck's own reader) and moves past them.
    std::optional<std::span<const uint8_t>> Take(size_t n);
    bool Ok() const { return ok; }
    bool AtEnd() const { return ok && position == bytes.size(); }
    size_t Position() const { return position; }

    // What ReadBaseState found, applied by the game only once its own part has been read.
    std::optional<Deck> deck;

private:
    std::span<const uint8_t> bytes;
    size_t position = 0;
    bool ok = true;
};

// What the game knows of a record beside its bytes: a hash of the position it was taken in (the
// model's position code, points left out; 0 when unknown), the same of the position the first
// record after it was taken in (0 until one is pushed; kept when that one is taken back and
// another pushed, since an undo need not bring back everything the code holds, such as the
// stock's turns used), and whether it was taken within the same move as the record before it (a
// move followed by an automatic one). It also keeps how many waste cards the table fanned when
// the record was taken, which the record's fixed layout leaves out (none for a game without a fan,
// or a record read back from a kept deal).
struct RecordNote {
    uint64_t position = 0;
    uint64_t next = 0;
    bool sameMove = false;
    std::optional<int32_t> wasteFanned;
};

// The stack of record files of one game object. The counter belongs to the object, not to a
// deal: a new deal keeps it, so Undo right after a new deal goes back into the previous one.
class UndoJournal {
public:
    UndoJournal() = default;
    // Every "UNDO*.DAT" file goes with the journal.
    ~UndoJournal();
    UndoJournal(const UndoJournal&) = delete;
    UndoJournal& operator=(const UndoJournal&) = delete;

    // Counts one more record and writes it. A file that cannot be written is simply missing, and
    // a later Pop that reaches it finds nothing.
    void Push(const std::vector<uint8_t>& record, RecordNote note = {});
    // The newest record, taken off the stack (the counter falls also when the file is missing
    // or unreadable). None when the stack is empty.
    std::optional<std::vector<uint8_t>> Pop();
    // Takes the newest record off the stack unread: a cancelled drag. Its file stays and is
    // overwritten by the next Push.
    void Drop();
    int Count() const { return count; }
    // Record n (1 = the oldest) as it was pushed, from memory: copying the whole stack after every
    // move must not read every file again.
    const std::vector<uint8_t>& Record(int n) const { return records[static_cast<size_t>(n - 1)]; }
    const RecordNote& Note(int n) const { return notes[static_cast<size_t>(n - 1)]; }

    // The file of record n (1 = the oldest) in the undo folder.
    static std::string RecordPath(int n);
    // Removes every "UNDO*.DAT" file from the undo folder, whoever wrote it.
    static void DeleteAllRecords();

private:
    int count = 0;
    std::vector<std::vector<uint8_t>> records;
    std::vector<RecordNote> notes;
};
