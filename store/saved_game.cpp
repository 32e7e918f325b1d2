#include "store/saved_game.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char kMagic[4] = {'Q', 'F', 'S', 'G'};
// Version 2 adds the position and the records' notes, version 3 the waste's fan to the notes. A
// file is written in the oldest form that holds what it has, so every file read writes back to
// the same bytes.
constexpr uint32_t kVersion = 3;
constexpr size_t kChecksumBytes = 8;
constexpr size_t kMaxFileBytes = 256u * 1024 * 1024;


class Writer {
public:
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Block(std::span<const uint8_t> block) {
        U32(static_cast<uint32_t>(block.size()));
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    std::vector<uint8_t> bytes;
};

class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes(bytes) {}
    bool U32(uint32_t& v) {
        if (bytes.size() - at < 4) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        at += 4;
        return true;
    }
    bool I32(int32_t& v) {
        uint32_t raw = 0;
        if (!U32(raw)) return false;
        v = static_cast<int32_t>(raw);
        return true;
    }
    // A length-prefixed block of at most limit bytes.
    bool Block(std::vector<uint8_t>& out, size_t limit) {
        uint32_t size = 0;
        if (!U32(size) || size > limit || size > bytes.size() - at) return false;
        out.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
        return true;
    }
    bool U64(uint64_t& v) {
        uint32_t low = 0, high = 0;
        if (!U32(low) || !U32(high)) return false;
        v = static_cast<uint64_t>(high) << 32 | low;
        return true;
    }
    bool Byte(uint8_t& v) {
        if (at == bytes.size()) return false;
        v = bytes[at++];
        return true;
    }
    bool AtEnd() const { return at == bytes.size(); }

private:
    std::span<const uint8_t> bytes;
    size_t at = 0;
};

std::string Folder(const char* variable, const char* fallbackUnderHome) {
    const char* base = std::getenv(variable);
    // Relative values are invalid by the base-directory rules and are ignored.
    if (base && base[0] == '/') return base;
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/tmp") + fallbackUnderHome;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return std::nullopt;
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFileBytes) return std::vector<uint8_t>{};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) return std::vector<uint8_t>{};
    return bytes;
}

// Why the last write failed, as the system says it.
std::string lastWriteError;

std::string SetAside(const std::string& path) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string aside = path + ".bad-" + stamp;
    std::error_code error;
    std::filesystem::rename(path, aside, error);
    if (error) std::filesystem::remove(path, error);
    std::fprintf(stderr, "quillfen-solitaire: the saved game %s was damaged and is kept as %s\n", path.c_str(),
                 aside.c_str());
    return aside;
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

void SyncPath(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

// A temporary file beside the old one, renamed over it: a kill at any point leaves the old file
// or the new one whole. With `sync` the file is synced before the rename and the folder after
// it, so a power cut does the same.
bool Store(const std::string& path, const std::vector<uint8_t>& bytes, bool sync) {
    std::string temporary = path + ".new-XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        lastWriteError = std::strerror(errno);
        return false;
    }
    bool ok = WriteAll(fd, bytes) && (!sync || fsync(fd) == 0);
    ok = close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        lastWriteError = std::strerror(errno ? errno : EIO);
        unlink(temporary.c_str());
        return false;
    }
    if (sync) SyncPath(std::filesystem::path(path).parent_path(), O_RDONLY | O_DIRECTORY);
    return true;
}

// Syncing takes the disk's time (tens of milliseconds on a busy disk), so a deal kept after a
// move is written and renamed at once (a kill loses nothing) and synced, file then folder, by a
// thread of its own. Discards wait for the thread first, so a sync never races a removal.
class BackgroundSyncer {
public:
    ~BackgroundSyncer() {
        {
            std::unique_lock lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        if (worker.joinable()) worker.join();
    }

    void Post(const std::string& path) {
        {
            std::unique_lock lock(mutex);
            pending.insert(path);
            if (!worker.joinable()) worker = std::thread([this] { Run(); });
        }
        wake.notify_all();
    }

    // Drops a sync of `path` not yet made and waits for one under way.
    void Cancel(const std::string& path) {
        std::unique_lock lock(mutex);
        pending.erase(path);
        idle.wait(lock, [this] { return !syncing; });
    }

    void Flush() {
        std::unique_lock lock(mutex);
        idle.wait(lock, [this] { return !syncing && pending.empty(); });
    }

private:
    void Run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stopping || !pending.empty(); });
            if (pending.empty()) return;
            const std::string path = pending.extract(pending.begin()).value();
            syncing = true;
            lock.unlock();
            SyncPath(path, O_RDONLY);
            SyncPath(std::filesystem::path(path).parent_path(), O_RDONLY | O_DIRECTORY);
            lock.lock();
            syncing = false;
            idle.notify_all();
        }
    }

    std::mutex mutex;
    std::condition_variable wake, idle;
    std::set<std::string> pending;
    bool syncing = false, stopping = false;
    std::thread worker;
};

BackgroundSyncer syncer;

}  // namespace

uint64_t SavedGameChecksum(std::span<const uint8_t> bytes) {
    uint64_t hash = 1469598103934665603ull;
    for (uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

std::vector<uint8_t> EncodeSavedGame(const SavedGame& game) {
    Writer w;
    w.bytes.assign(std::begin(kMagic), std::end(kMagic));
    const bool positioned = !game.position.empty();
    // Notes go with every record or with none.
    const bool noted = game.notes.size() == game.history.size();
    const bool fanned = positioned && noted &&
                        std::any_of(game.notes.begin(), game.notes.end(), [](const SavedRecordNote& note) {
                            return note.wasteFanned.has_value();
                        });
    w.U32(fanned ? kVersion : positioned ? 2 : 1);
    w.I32(game.gameNumber);
    w.U32(game.dealNumber);
    w.I32(game.points);
    w.I32(game.elapsedSeconds);
    w.U32(static_cast<uint32_t>(game.rules.size()));
    for (const auto& [name, value] : game.rules) {
        w.Block({reinterpret_cast<const uint8_t*>(name.data()), name.size()});
        w.Block({reinterpret_cast<const uint8_t*>(value.data()), value.size()});
    }
    w.Block(game.table);
    w.U32(static_cast<uint32_t>(game.history.size()));
    for (const std::vector<uint8_t>& record : game.history) w.Block(record);
    if (positioned) {
        w.Block(game.position);
        for (size_t i = 0; i < game.history.size(); ++i) {
            w.U64(noted ? game.notes[i].position : 0);
            w.U64(noted ? game.notes[i].next : 0);
            w.bytes.push_back(noted && game.notes[i].sameMove ? 1 : 0);
        }
        if (fanned) {
            for (const SavedRecordNote& note : game.notes) {
                w.bytes.push_back(note.wasteFanned ? 1 : 0);
                w.I32(note.wasteFanned.value_or(0));
            }
        }
    }
    const uint64_t sum = SavedGameChecksum(w.bytes);
    w.U32(static_cast<uint32_t>(sum));
    w.U32(static_cast<uint32_t>(sum >> 32));
    return std::move(w.bytes);
}

std::optional<SavedGame> DecodeSavedGame(std::span<const uint8_t> bytes) {
    if (bytes.size() < sizeof kMagic + kChecksumBytes || !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin()))
        return std::nullopt;
    const std::span<const uint8_t> body = bytes.first(bytes.size() - kChecksumBytes);
    Reader tail(bytes.last(kChecksumBytes));
    uint32_t low = 0, high = 0;
    tail.U32(low);
    tail.U32(high);
    if ((static_cast<uint64_t>(high) << 32 | low) != SavedGameChecksum(body)) return std::nullopt;

    Reader r(body.subspan(sizeof kMagic));
    SavedGame game;
    uint32_t version = 0, rules = 0, records = 0;
    if (!r.U32(version) || version < 1 || version > kVersion) return std::nullopt;
    if (!r.I32(game.gameNumber) || !r.U32(game.dealNumber) || !r.I32(game.points) || !r.I32(game.elapsedSeconds))
        return std::nullopt;
    if (game.elapsedSeconds < 0 || !r.U32(rules) || rules > kMaxSavedRules) return std::nullopt;
    for (uint32_t i = 0; i < rules; ++i) {
        std::vector<uint8_t> name, value;
        if (!r.Block(name, kMaxRuleNameBytes) || name.empty() || !r.Block(value, kMaxRuleNameBytes)) return std::nullopt;
        game.rules.emplace_back(std::string(name.begin(), name.end()), std::string(value.begin(), value.end()));
    }
    if (!r.Block(game.table, kMaxSavedRecordBytes) || game.table.empty()) return std::nullopt;
    if (!r.U32(records) || records > kMaxSavedRecords) return std::nullopt;
    for (uint32_t i = 0; i < records; ++i) {
        std::vector<uint8_t> record;
        if (!r.Block(record, kMaxSavedRecordBytes)) return std::nullopt;
        game.history.push_back(std::move(record));
    }
    if (version >= 2) {
        if (!r.Block(game.position, kMaxSavedRecordBytes) || game.position.empty()) return std::nullopt;
        for (uint32_t i = 0; i < records; ++i) {
            SavedRecordNote note;
            uint8_t sameMove = 0;
            if (!r.U64(note.position) || !r.U64(note.next) || !r.Byte(sameMove) || sameMove > 1) return std::nullopt;
            note.sameMove = sameMove == 1;
            game.notes.push_back(note);
        }
    }
    if (version >= 3) {
        // Written only when some note knows its fan.
        bool anyFan = false;
        for (SavedRecordNote& note : game.notes) {
            uint8_t known = 0;
            int32_t fan = 0;
            if (!r.Byte(known) || known > 1 || !r.I32(fan) || fan < -kMaxSavedFan || fan > kMaxSavedFan ||
                (known == 0 && fan != 0))
                return std::nullopt;
            if (known) note.wasteFanned = fan;
            anyFan = anyFan || known;
        }
        if (!anyFan) return std::nullopt;
    }
    if (!r.AtEnd()) return std::nullopt;
    return game;
}

std::string StateDirectory() {
    const std::string folder = Folder("XDG_STATE_HOME", "/.local/state") + "/quillfen-solitaire";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

std::string SavedGamePath(int player, int gameNumber) {
    return StateDirectory() + "/player" + std::to_string(player) + "-game" + std::to_string(gameNumber) + ".sav";
}

bool WriteSavedGame(int player, const SavedGame& game) {
    const std::string path = SavedGamePath(player, game.gameNumber);
    syncer.Cancel(path);
    return Store(path, EncodeSavedGame(game), true);
}

bool WriteSavedGameSoon(int player, const SavedGame& game) {
    const std::string path = SavedGamePath(player, game.gameNumber);
    if (!Store(path, EncodeSavedGame(game), false)) return false;
    syncer.Post(path);
    return true;
}

void FlushSavedGames() { syncer.Flush(); }

bool HasSavedGame(int player, int gameNumber) {
    std::error_code error;
    return std::filesystem::exists(SavedGamePath(player, gameNumber), error);
}

std::string SavedGameWriteError() { return lastWriteError; }

std::optional<SavedGame> ReadSavedGame(int player, int gameNumber, std::string* keptAs) {
    const std::string path = SavedGamePath(player, gameNumber);
    const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    std::optional<SavedGame> game = DecodeSavedGame(*bytes);
    if (!game || game->gameNumber != gameNumber) {
        const std::string aside = SetAside(path);
        if (keptAs) *keptAs = aside;
        return std::nullopt;
    }
    return game;
}

void DiscardSavedGame(int player, int gameNumber) {
    const std::string path = SavedGamePath(player, gameNumber);
    syncer.Cancel(path);
    std::error_code error;
    std::filesystem::remove(path, error);
}

std::string SetSavedGameAside(int player, int gameNumber) {
    syncer.Flush();
    return HasSavedGame(player, gameNumber) ? SetAside(SavedGamePath(player, gameNumber)) : std::string();
}
