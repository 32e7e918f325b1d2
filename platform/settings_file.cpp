#include "platform/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>

#include "platform/paths.h"

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";
constexpr std::string_view kHivePrefix = "HKEY_";
constexpr const char* kFileName = "/settings.reg";
// A settings file is a few hundred kilobytes at most; anything far larger is not ours.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;
// Hex byte lists are wrapped as the Windows editor does, so long values stay readable.
constexpr size_t kHexBytesPerLine = 25;
constexpr int kMaxAsideAttempts = 100;
// As the kernel's own limit on links followed in one path.
constexpr int kMaxLinkHops = 40;
// Saves go through "<file>.tmp-" followed by random characters chosen by mkstemp.
constexpr const char* kTemporarySuffix = ".tmp-";
constexpr size_t kTemporaryRandomLength = 6;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) c = LowerAscii(c);
    return lowered;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    }
    return true;
}

bool IsValidKeyName(std::string_view name) {
    if (name.empty() || name.size() > kMaxKeyNameLength) return false;
    for (const char c : name) {
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
    }
    return true;
}

// Value names are written inside quotes on one line, so line breaks and zero bytes are refused.
bool IsValidValueName(std::string_view name) {
    if (name.size() > kMaxValueNameLength) return false;
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

// Splits "A\B\C" into its components; false for an empty component or too deep a path. An empty
// path has no components (the hive itself).
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>* components) {
    components->clear();
    if (path.empty()) return true;
    size_t start = 0;
    while (true) {
        const size_t slash = path.find('\\', start);
        const std::string_view component = path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (!IsValidKeyName(component)) return false;
        components->push_back(component);
        if (components->size() > kMaxKeyDepth) return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

// ---- Parsing ----------------------------------------------------------------------------------

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    return text;
}

class LineReader {
public:
    explicit LineReader(std::string_view text) : rest(text) {}
    // The next line without its line break (and a carriage return before it).
    bool Next(std::string_view* line) {
        if (finished) return false;
        const size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            *line = rest;
            finished = true;
        } else {
            *line = rest.substr(0, end);
            rest.remove_prefix(end + 1);
        }
        if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
        return true;
    }

private:
    std::string_view rest;
    bool finished = false;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits and nothing else.
bool ParseHexNumber(std::string_view text, uint32_t* value) {
    if (text.empty() || text.size() > 8) return false;
    uint32_t result = 0;
    for (const char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        result = (result << 4) | static_cast<uint32_t>(digit);
    }
    *value = result;
    return true;
}

// Reads a quoted string starting at text[*position] == '"', with \\ and \" as the only escapes;
// leaves *position after the closing quote.
bool ParseQuoted(std::string_view text, size_t* position, std::string* out) {
    size_t i = *position;
    if (i >= text.size() || text[i] != '"') return false;
    ++i;
    out->clear();
    while (i < text.size()) {
        const char c = text[i++];
        if (c == '"') {
            *position = i;
            return true;
        }
        if (c == '\\') {
            if (i >= text.size() || (text[i] != '\\' && text[i] != '"')) return false;
            out->push_back(text[i++]);
        } else {
            out->push_back(c);
        }
    }
    return false;
}

// "00,4a,ff": comma-separated bytes of one or two hex digits each; empty text is no bytes.
bool ParseHexBytes(std::string_view text, std::string* out) {
    out->clear();
    text = TrimRight(TrimLeft(text));
    if (text.empty()) return true;
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view token = TrimRight(TrimLeft(text.substr(0, comma)));
        uint32_t byte = 0;
        if (token.size() > 2 || !ParseHexNumber(token, &byte)) return false;
        out->push_back(static_cast<char>(byte));
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

bool ParseValueData(std::string_view text, RegistryValue* value) {
    if (!text.empty() && text.front() == '"') {
        size_t position = 0;
        std::string content;
        if (!ParseQuoted(text, &position, &content) || position != text.size()) return false;
        value->type = REG_SZ;
        value->data = std::move(content);
        value->data.push_back('\0');
        return true;
    }
    if (StartsWithIgnoringCase(text, "dword:")) {
        uint32_t number = 0;
        if (!ParseHexNumber(text.substr(6), &number)) return false;
        value->type = REG_DWORD;
        value->data.resize(4);
        for (int i = 0; i < 4; ++i) value->data[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
        return true;
    }
    if (StartsWithIgnoringCase(text, "hex:")) {
        value->type = REG_BINARY;
        return ParseHexBytes(text.substr(4), &value->data);
    }
    if (StartsWithIgnoringCase(text, "hex(")) {
        const size_t close = text.find("):");
        if (close == std::string_view::npos) return false;
        if (!ParseHexNumber(text.substr(4, close - 4), &value->type)) return false;
        return ParseHexBytes(text.substr(close + 2), &value->data);
    }
    // Includes "-", the editor's value deletion, which a settings file never holds.
    return false;
}

bool ParseSection(std::string_view line, RegistryTree* tree, std::shared_ptr<RegistryNode>* current) {
    if (line.size() < 2 || line.back() != ']') return false;
    std::vector<std::string_view> components;
    if (!SplitKeyPath(line.substr(1, line.size() - 2), &components) || components.empty()) return false;
    // Also refuses "[-HKEY_...]", the editor's key deletion.
    if (!StartsWithIgnoringCase(components.front(), kHivePrefix)) return false;
    std::shared_ptr<RegistryNode> node = tree->root;
    for (const std::string_view component : components) node = node->FindOrAddChild(component);
    *current = std::move(node);
    return true;
}

bool ParseValueLine(std::string_view line, LineReader* lines, RegistryNode* current) {
    RegistryValue value;
    size_t position = 0;
    if (line.front() == '@') {
        position = 1;
    } else if (!ParseQuoted(line, &position, &value.name) || !IsValidValueName(value.name)) {
        return false;
    }
    if (position >= line.size() || line[position] != '=') return false;
    std::string_view data = line.substr(position + 1);
    // Byte lists may go on over further lines, each ending with a backslash before the break.
    std::string joined;
    if (!data.empty() && data.back() == '\\' && StartsWithIgnoringCase(data, "hex")) {
        joined.assign(data.substr(0, data.size() - 1));
        std::string_view next;
        while (lines->Next(&next)) {
            next = TrimRight(TrimLeft(next));
            const bool more = !next.empty() && next.back() == '\\';
            joined.append(more ? next.substr(0, next.size() - 1) : next);
            if (!more) break;
        }
        data = joined;
    }
    if (!ParseValueData(data, &value)) return false;
    current->SetValue(std::move(value));
    return true;
}

// Stops at the first malformed line; what was read before it stays in the tree.
bool ParseInto(std::string_view text, RegistryTree* tree) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    LineReader lines(text);
    std::string_view line;
    bool sawHeader = false;
    while (!sawHeader && lines.Next(&line)) {
        line = TrimRight(line);
        if (line.empty()) continue;
        if (line != kHeader) return false;
        sawHeader = true;
    }
    if (!sawHeader) return false;
    std::shared_ptr<RegistryNode> current;
    while (lines.Next(&line)) {
        line = TrimRight(line);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            if (!ParseSection(line, tree, &current)) return false;
        } else if (line.front() == '"' || line.front() == '@') {
            if (!current || !ParseValueLine(line, &lines, current.get())) return false;
        } else {
            return false;
        }
    }
    return true;
}

// ---- Formatting -------------------------------------------------------------------------------

void AppendQuoted(std::string& out, std::string_view text) {
    out.push_back('"');
    for (const char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
}

// A REG_SZ is written as quoted text when that reads back as the same bytes: one terminating
// zero, no other zero and no line break inside.
bool FitsQuotedForm(const std::string& data) {
    if (data.empty() || data.back() != '\0') return false;
    return data.find_first_of(std::string_view("\0\r\n", 3)) == data.size() - 1;
}

void AppendValue(std::string& out, const RegistryValue& value) {
    if (value.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += '=';
    char buffer[32];
    if (value.type == REG_SZ && FitsQuotedForm(value.data)) {
        AppendQuoted(out, std::string_view(value.data).substr(0, value.data.size() - 1));
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.data[i]);
        std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
        out += buffer;
    } else {
        if (value.type == REG_BINARY) {
            out += "hex:";
        } else {
            std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
            out += buffer;
        }
        for (size_t i = 0; i < value.data.size(); ++i) {
            std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(value.data[i]));
            out += buffer;
            if (i + 1 == value.data.size()) break;
            out += ',';
            if ((i + 1) % kHexBytesPerLine == 0) out += "\\\n  ";
        }
    }
    out += '\n';
}

void AppendNode(std::string& out, const RegistryNode& node, std::string& path, bool isHive) {
    if (!isHive || !node.Values().empty()) {
        out += '[';
        out += path;
        out += "]\n";
        for (const RegistryValue& value : node.Values()) AppendValue(out, value);
        out += '\n';
    }
    for (const auto& child : node.Children()) {
        const size_t length = path.size();
        path += '\\';
        path += child->Name();
        AppendNode(out, *child, path, false);
        path.resize(length);
    }
}

// ---- The live tree ----------------------------------------------------------------------------

struct Handle {
    std::shared_ptr<RegistryNode> node;
    bool writable = false;
};

struct Registry {
    std::mutex mutex;
    std::string path;  // empty: the default file
    bool loaded = false;
    // Set when the file on disk could not be read or kept aside: it must never be replaced.
    bool saveBlocked = false;
    // What went wrong with the file, until the program has told the player.
    SettingsFileProblem problem;
    bool saveFailureReported = false;
    RegistryTree tree;
    std::unordered_map<RegKey, Handle> handles;
    RegKey nextHandle = 1;
    int batchDepth = 0;
    bool dirty = false;
    RegistrySaveFault fault = RegistrySaveFault::kNone;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::string FilePath(const Registry& registry) {
    return registry.path.empty() ? ConfigDirectory() + kFileName : registry.path;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// A settings file that is a symbolic link (dotfile managers make them) is read and replaced at
// the link's target, so the link stays a link and its target stays current.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char target[4096];
        const ssize_t length = readlink(current.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return current;
        const std::string next(target, static_cast<size_t>(length));
        current = next.front() == '/' ? next : FolderOf(current) + "/" + next;
    }
    return current;
}

// Renames an unparsable file to <file>.bad-YYYYMMDD-HHMMSS (plus -2, -3 ... when taken).
bool KeepAside(const std::string& path, std::string* keptAs) {
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".bad-" + stamp;
    for (int attempt = 1; attempt <= kMaxAsideAttempts; ++attempt) {
        const std::string aside = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (Exists(aside)) continue;
        if (std::rename(path.c_str(), aside.c_str()) != 0) break;
        std::fprintf(stderr, "quillfen-solitaire: %s could not be read; it was kept as %s\n", path.c_str(),
                     aside.c_str());
        *keptAs = aside;
        return true;
    }
    std::fprintf(stderr, "quillfen-solitaire: %s could not be read and could not be moved aside; "
                 "settings will not be saved\n", path.c_str());
    return false;
}

// False when the file could not be read to its end.
bool ReadWholeFile(int fd, size_t size, std::string* text) {
    text->resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t got = read(fd, text->data() + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    text->resize(done);
    return true;
}

// A save killed half-way leaves its temporary file behind; the next run removes such leftovers.
// Only one copy of the program runs per user, so no other save can be under way.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string folderPath = FolderOf(path);
    const std::string prefix = path.substr(path.rfind('/') + 1) + kTemporarySuffix;
    DIR* folder = opendir(folderPath.c_str());
    if (!folder) return;
    while (const dirent* entry = readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name.size() == prefix.size() + kTemporaryRandomLength && name.substr(0, prefix.size()) == prefix) {
            unlink((folderPath + "/" + std::string(name)).c_str());
        }
    }
    closedir(folder);
}

void RefuseToSave(Registry& registry, const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "quillfen-solitaire: %s %s; settings will not be saved\n", path.c_str(), reason.c_str());
    registry.saveBlocked = true;
    registry.problem = {SettingsFileProblem::kNotSaved, path, {}, reason};
}

std::string Because(const char* what, int error) { return std::string(what) + " (" + std::strerror(error) + ")"; }

// Loads the file into the tree. A missing file is an empty tree; a file that cannot be read is
// left alone (and never replaced this run); a file that reads but does not parse is kept aside,
// and every whole entry before the damage is carried over into a new file.
void Load(Registry& registry) {
    registry.loaded = true;
    registry.tree = RegistryTree();
    registry.problem = {};
    const std::string path = FollowLinks(FilePath(registry));
    RemoveStaleTemporaries(path);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) RefuseToSave(registry, path, Because("cannot be opened", errno));
        return;
    }
    struct stat info {};
    std::string text;
    bool readable = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const bool tooLarge = readable && info.st_size > kMaxFileSize;
    int readError = readable ? 0 : EISDIR;
    if (readable && !tooLarge) {
        readable = ReadWholeFile(fd, static_cast<size_t>(info.st_size), &text);
        if (!readable) readError = errno;
    }
    close(fd);
    if (!readable) {
        RefuseToSave(registry, path, S_ISDIR(info.st_mode) ? std::string("is a folder, not a file")
                                                           : Because("cannot be read", readError));
        return;
    }
    if (!tooLarge && ParseRegistryText(text, &registry.tree)) return;
    registry.tree = RegistryTree();
    if (!tooLarge) RecoverRegistryText(text, &registry.tree);
    std::string keptAs;
    if (!KeepAside(path, &keptAs)) {
        registry.saveBlocked = true;
        registry.problem = {SettingsFileProblem::kNotSaved, path, {}, "is damaged and could not be moved aside"};
        return;
    }
    registry.problem = {SettingsFileProblem::kSetAside, path, keptAs, "is damaged"};
    // The recovered entries become the settings file at once, so they survive this run.
    if (!registry.tree.root->Children().empty()) registry.dirty = true;
}

bool Save(Registry& registry);

void EnsureLoaded(Registry& registry) {
    if (registry.loaded) return;
    Load(registry);
    if (registry.dirty) Save(registry);
}

bool WriteAll(int fd, const std::string& text, size_t length) {
    size_t done = 0;
    while (done < length) {
        const ssize_t wrote = write(fd, text.data() + done, length - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// The first failed save of a run is reported once; the tree stays in memory and every later
// change tries again.
bool SaveFailed(Registry& registry, const std::string& path, int error) {
    if (!registry.saveFailureReported) {
        registry.saveFailureReported = true;
        const std::string reason = Because("could not be written", error ? error : EIO);
        std::fprintf(stderr, "quillfen-solitaire: %s %s\n", path.c_str(), reason.c_str());
        if (registry.problem.kind == SettingsFileProblem::kNone)
            registry.problem = {SettingsFileProblem::kNotSaved, path, {}, reason};
    }
    return false;
}

// Temporary file in the same folder, synced, renamed over the old file, folder synced: a crash at
// any point leaves the old file or the new one whole.
bool Save(Registry& registry) {
    if (registry.saveBlocked) return false;
    const std::string text = FormatRegistryText(registry.tree);
    const std::string path = FollowLinks(FilePath(registry));
    std::string temporary = path + kTemporarySuffix + std::string(kTemporaryRandomLength, 'X');
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return SaveFailed(registry, path, errno);
    const RegistrySaveFault fault = registry.fault;
    bool ok = fault == RegistrySaveFault::kWrite ? (WriteAll(fd, text, text.size() / 2), false)
                                                 : WriteAll(fd, text, text.size());
    ok = ok && fault != RegistrySaveFault::kSync && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && fault != RegistrySaveFault::kRename && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        const int error = errno;
        unlink(temporary.c_str());
        return SaveFailed(registry, path, error);
    }
    // The rename is only durable once the folder's entry is on disk too.
    const int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    registry.dirty = false;
    return true;
}

// After every change: saved now, or later by the outermost batch.
RegStatus Changed(Registry& registry) {
    registry.dirty = true;
    if (registry.batchDepth > 0) return kRegOk;
    return Save(registry) ? kRegOk : kRegSaveFailed;
}

RegKey AddHandle(Registry& registry, std::shared_ptr<RegistryNode> node, bool writable) {
    while (registry.nextHandle == kNoRegKey || registry.handles.count(registry.nextHandle) != 0) {
        ++registry.nextHandle;
    }
    const RegKey key = registry.nextHandle++;
    registry.handles[key] = Handle{std::move(node), writable};
    return key;
}

// The node behind a handle, or the status explaining why there is none.
RegStatus Resolve(Registry& registry, RegKey key, bool forWriting, RegistryNode** node) {
    const auto found = registry.handles.find(key);
    if (found == registry.handles.end()) return kRegInvalidHandle;
    if (found->second.node->deleted) return kRegKeyDeleted;
    if (forWriting && !found->second.writable) return kRegAccessDenied;
    *node = found->second.node.get();
    return kRegOk;
}

std::shared_ptr<RegistryNode> FindKey(Registry& registry, const std::vector<std::string_view>& components,
                                      std::shared_ptr<RegistryNode>* parent) {
    std::shared_ptr<RegistryNode> node = registry.tree.root->FindChild(kCurrentUser);
    for (const std::string_view component : components) {
        if (!node) return nullptr;
        if (parent) *parent = node;
        node = node->FindChild(component);
    }
    return node;
}

}  // namespace

// ---- RegistryNode -----------------------------------------------------------------------------

std::shared_ptr<RegistryNode> RegistryNode::FindChild(std::string_view childName) const {
    const auto found = childIndex.find(Lowered(childName));
    return found == childIndex.end() ? nullptr : children[found->second];
}

std::shared_ptr<RegistryNode> RegistryNode::FindOrAddChild(std::string_view childName) {
    const auto [position, added] = childIndex.try_emplace(Lowered(childName), children.size());
    if (added) children.push_back(std::make_shared<RegistryNode>(std::string(childName)));
    return children[position->second];
}

void RegistryNode::RemoveChild(std::string_view childName) {
    const auto found = childIndex.find(Lowered(childName));
    if (found == childIndex.end()) return;
    const size_t removed = found->second;
    childIndex.erase(found);
    children.erase(children.begin() + static_cast<std::ptrdiff_t>(removed));
    for (auto& [lowered, position] : childIndex) {
        if (position > removed) --position;
    }
}

const RegistryValue* RegistryNode::FindValue(std::string_view valueName) const {
    const auto found = valueIndex.find(Lowered(valueName));
    return found == valueIndex.end() ? nullptr : &values[found->second];
}

void RegistryNode::SetValue(RegistryValue value) {
    const auto [position, added] = valueIndex.try_emplace(Lowered(value.name), values.size());
    if (added) {
        values.push_back(std::move(value));
    } else {
        RegistryValue& existing = values[position->second];
        existing.type = value.type;
        existing.data = std::move(value.data);
    }
}

bool RegistryNode::RemoveValue(std::string_view valueName) {
    const auto found = valueIndex.find(Lowered(valueName));
    if (found == valueIndex.end()) return false;
    const size_t removed = found->second;
    valueIndex.erase(found);
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(removed));
    for (auto& [lowered, position] : valueIndex) {
        if (position > removed) --position;
    }
    return true;
}

// ---- Text form --------------------------------------------------------------------------------

bool ParseRegistryText(std::string_view text, RegistryTree* tree) {
    *tree = RegistryTree();
    if (ParseInto(text, tree)) return true;
    *tree = RegistryTree();
    return false;
}

void RecoverRegistryText(std::string_view text, RegistryTree* tree) {
    *tree = RegistryTree();
    // A file cut short ends inside its last line, which is not whole and is dropped.
    const size_t lastBreak = text.rfind('\n');
    text = text.substr(0, lastBreak == std::string_view::npos ? 0 : lastBreak + 1);
    ParseInto(text, tree);
}

std::string FormatRegistryText(const RegistryTree& tree) {
    std::string out(kHeader);
    out += "\n\n";
    std::string path;
    for (const auto& hive : tree.root->Children()) {
        path = hive->Name();
        AppendNode(out, *hive, path, true);
    }
    return out;
}

// ---- Registry calls ---------------------------------------------------------------------------

void SetRegistryFile(const std::string& path) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (registry.loaded && registry.dirty) Save(registry);
    registry.path = path;
    registry.loaded = false;
    registry.saveBlocked = false;
    registry.saveFailureReported = false;
    registry.problem = {};
    registry.dirty = false;
    registry.tree = RegistryTree();
    registry.handles.clear();
}

std::string RegistryFile() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return FilePath(registry);
}

SettingsFileProblem TakeSettingsFileProblem() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    EnsureLoaded(registry);
    return std::exchange(registry.problem, SettingsFileProblem{});
}

RegKey RegCreateKey(std::string_view path) {
    std::vector<std::string_view> components;
    if (!SplitKeyPath(path, &components) || components.size() + 1 > kMaxKeyDepth) return kNoRegKey;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    EnsureLoaded(registry);
    bool created = false;
    std::shared_ptr<RegistryNode> node = registry.tree.root->FindChild(kCurrentUser);
    if (!node) {
        node = registry.tree.root->FindOrAddChild(kCurrentUser);
        created = true;
    }
    for (const std::string_view component : components) {
        std::shared_ptr<RegistryNode> child = node->FindChild(component);
        if (!child) {
            child = node->FindOrAddChild(component);
            created = true;
        }
        node = std::move(child);
    }
    // Failing to save does not fail the open: the key exists for this run.
    if (created) Changed(registry);
    return AddHandle(registry, std::move(node), true);
}

RegKey RegOpenKey(std::string_view path) {
    std::vector<std::string_view> components;
    if (!SplitKeyPath(path, &components)) return kNoRegKey;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    EnsureLoaded(registry);
    std::shared_ptr<RegistryNode> node = FindKey(registry, components, nullptr);
    return node ? AddHandle(registry, std::move(node), false) : kNoRegKey;
}

void RegCloseKey(RegKey key) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.handles.erase(key);
}

RegStatus RegQueryValue(RegKey key, std::string_view name, uint32_t* type, void* data, uint32_t* size) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    RegistryNode* node = nullptr;
    if (const RegStatus status = Resolve(registry, key, false, &node); status != kRegOk) return status;
    const RegistryValue* value = node->FindValue(name);
    if (!value) return kRegNotFound;
    if (type) *type = value->type;
    const auto length = static_cast<uint32_t>(value->data.size());
    if (data) {
        if (!size || *size < length) {
            if (size) *size = length;
            return kRegMoreData;
        }
        std::memcpy(data, value->data.data(), length);
    }
    if (size) *size = length;
    return kRegOk;
}

RegStatus RegSetValue(RegKey key, std::string_view name, uint32_t type, const void* data, uint32_t size) {
    if (!IsValidValueName(name) || (size > 0 && !data)) return kRegInvalidName;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    RegistryNode* node = nullptr;
    if (const RegStatus status = Resolve(registry, key, true, &node); status != kRegOk) return status;
    std::string bytes(static_cast<const char*>(data), size);
    // Rewriting a value with what it already holds costs no save.
    if (const RegistryValue* existing = node->FindValue(name)) {
        if (existing->type == type && existing->data == bytes) return kRegOk;
    }
    node->SetValue(RegistryValue{std::string(name), type, std::move(bytes)});
    return Changed(registry);
}

RegStatus RegQueryDword(RegKey key, std::string_view name, uint32_t* value) {
    uint32_t type = REG_NONE;
    unsigned char bytes[4] = {};
    uint32_t size = sizeof bytes;
    const RegStatus status = RegQueryValue(key, name, &type, bytes, &size);
    if (status == kRegMoreData) return kRegNotFound;
    if (status != kRegOk) return status;
    if (type != REG_DWORD || size != sizeof bytes) return kRegNotFound;
    *value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
             static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return kRegOk;
}

RegStatus RegQueryString(RegKey key, std::string_view name, std::string* value) {
    uint32_t type = REG_NONE;
    uint32_t size = 0;
    RegStatus status = RegQueryValue(key, name, &type, nullptr, &size);
    if (status != kRegOk) return status;
    if (type != REG_SZ) return kRegNotFound;
    std::string bytes(size, '\0');
    status = RegQueryValue(key, name, &type, bytes.data(), &size);
    if (status != kRegOk) return status;
    bytes.resize(std::min<size_t>(size, bytes.size()));
    *value = bytes.substr(0, bytes.find('\0'));
    return kRegOk;
}

RegStatus RegSetDword(RegKey key, std::string_view name, uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return RegSetValue(key, name, REG_DWORD, bytes, sizeof bytes);
}

RegStatus RegSetString(RegKey key, std::string_view name, std::string_view text) {
    std::string bytes(text);
    bytes.push_back('\0');
    return RegSetValue(key, name, REG_SZ, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

RegStatus RegDeleteValue(RegKey key, std::string_view name) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    RegistryNode* node = nullptr;
    if (const RegStatus status = Resolve(registry, key, true, &node); status != kRegOk) return status;
    if (!node->RemoveValue(name)) return kRegNotFound;
    return Changed(registry);
}

RegStatus RegDeleteKey(std::string_view path) {
    std::vector<std::string_view> components;
    if (!SplitKeyPath(path, &components)) return kRegInvalidName;
    if (components.empty()) return kRegAccessDenied;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    EnsureLoaded(registry);
    std::shared_ptr<RegistryNode> parent;
    const std::shared_ptr<RegistryNode> node = FindKey(registry, components, &parent);
    if (!node) return kRegNotFound;
    if (!node->Children().empty()) return kRegAccessDenied;
    node->deleted = true;
    parent->RemoveChild(components.back());
    return Changed(registry);
}

std::vector<std::string> RegEnumKeys(RegKey key) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::vector<std::string> names;
    RegistryNode* node = nullptr;
    if (Resolve(registry, key, false, &node) != kRegOk) return names;
    for (const auto& child : node->Children()) names.push_back(child->Name());
    return names;
}

RegistryBatch::RegistryBatch() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    ++registry.batchDepth;
}

RegistryBatch::~RegistryBatch() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (--registry.batchDepth == 0 && registry.dirty && registry.loaded) Save(registry);
}

void InjectRegistrySaveFault(RegistrySaveFault fault) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.fault = fault;
}
