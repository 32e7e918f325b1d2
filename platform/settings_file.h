// The settings tree the program keeps between runs: keys under HKEY_CURRENT_USER holding DWORD and
// string values, with the calls of the Windows registry the program was designed around. The
// tree lives in one human-readable file in ".reg" text format (ConfigDirectory()/settings.reg):
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\SOFTWARE\Quillfen Software\Solitaire\Players\20]
//   "Name"="Ann"
//   "Score"=dword:0000002a
//
// Strings are bytes (UTF-8 in practice) with \\ and \" escaped. Other value types, strings that
// hold line breaks and values of unusual sizes are written as hex:, hex(1): ... hex(b): byte
// lists, so whatever the file held is written back unchanged. Keys of other hives are kept too.
// Comments (";" lines) are not kept.
//
// Durability: every call that changes the tree has saved it when it returns, unless a
// RegistryBatch is alive. A save writes a temporary file beside the settings file, syncs it,
// renames it over the old one and syncs the folder, so a crash leaves either the old or the new
// file, never a mixture. A file that cannot be parsed is renamed aside with a timestamp suffix
// (settings.reg.bad-20261205-153000), named in one line on standard error and never overwritten;
// the run then starts with every whole entry that stood before the damage. A file that exists but
// cannot be read is left alone and the run does not save at all. A settings file that is a
// symbolic link is read and replaced at its target. TakeSettingsFileProblem() tells the program
// what the player must be told.
//
// Names of keys and values are compared ignoring ASCII case, as on Windows, and keep the spelling
// they were created with. Key paths are relative to HKEY_CURRENT_USER, components separated by
// backslashes ("SOFTWARE\\Quillfen Software\\Solitaire\\Preferences").
//
// All calls are safe from any thread; the program makes them from the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Value types, numbered as on Windows.
constexpr uint32_t REG_NONE = 0;
constexpr uint32_t REG_SZ = 1;
constexpr uint32_t REG_EXPAND_SZ = 2;
constexpr uint32_t REG_BINARY = 3;
constexpr uint32_t REG_DWORD = 4;
constexpr uint32_t REG_MULTI_SZ = 7;
constexpr uint32_t REG_QWORD = 11;

// Results, with the numbers Windows uses for the same failures.
enum RegStatus : long {
    kRegOk = 0,
    kRegNotFound = 2,          // no such key or value
    kRegAccessDenied = 5,      // a set on a query-only handle; deleting a key with subkeys
    kRegInvalidHandle = 6,     // a closed, unknown or zero handle
    kRegSaveFailed = 29,       // the tree changed in memory but the file could not be written
    kRegInvalidName = 123,     // an empty, overlong or ill-formed key or value name
    kRegMoreData = 234,        // the value is larger than the caller's buffer
    kRegKeyDeleted = 1018,     // the key was deleted while this handle was open
};

// An open key. Zero is never a valid handle; every call refuses it quietly.
using RegKey = uint32_t;
constexpr RegKey kNoRegKey = 0;

// Limits of Windows, enforced when creating keys and when reading the file.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxKeyDepth = 512;
constexpr size_t kMaxValueNameLength = 16383;

// Uses another settings file from now on (tests; the program keeps the default). Open handles
// become invalid and the tree is loaded from the new file at the next call.
void SetRegistryFile(const std::string& path);
// The settings file in use: the one set above, else ConfigDirectory() + "/settings.reg".
std::string RegistryFile();

// What went wrong with the settings file: set aside as damaged (`keptAs` names the copy), or
// settings not saved (`reason` says why). Taken once: the next call reports only what happened
// since.
struct SettingsFileProblem {
    enum Kind { kNone, kSetAside, kNotSaved };
    Kind kind = kNone;
    std::string file;
    std::string keptAs;
    std::string reason;
};
SettingsFileProblem TakeSettingsFileProblem();

// Opens a key with query and set access, creating it and any missing parents first. Returns
// kNoRegKey when the path is ill-formed or too deep.
RegKey RegCreateKey(std::string_view path);
// Opens an existing key with query access only; kNoRegKey when it does not exist.
RegKey RegOpenKey(std::string_view path);
void RegCloseKey(RegKey key);

// Copies a value's bytes into data (capacity *size bytes) and sets *size to the value's length
// and *type to its type (either pointer may be null; data may be null to ask for the size only).
// kRegMoreData, with *size set to the needed length, when the buffer is too small; nothing is
// copied then. The type is reported, not checked.
RegStatus RegQueryValue(RegKey key, std::string_view name, uint32_t* type, void* data, uint32_t* size);
// Stores size bytes as a value of the given type, replacing any value of that name.
RegStatus RegSetValue(RegKey key, std::string_view name, uint32_t type, const void* data, uint32_t size);

// Typed conveniences. A DWORD query needs a REG_DWORD of 4 bytes; a string query needs REG_SZ
// and returns the text up to the first zero byte. Both report kRegNotFound for another type.
RegStatus RegQueryDword(RegKey key, std::string_view name, uint32_t* value);
RegStatus RegQueryString(RegKey key, std::string_view name, std::string* value);
RegStatus RegSetDword(RegKey key, std::string_view name, uint32_t value);
// Stores the text followed by a terminating zero, as a REG_SZ.
RegStatus RegSetString(RegKey key, std::string_view name, std::string_view text);

RegStatus RegDeleteValue(RegKey key, std::string_view name);
// Deletes a key that has no subkeys (kRegAccessDenied otherwise), as Windows' RegDeleteKey does.
// Handles open on it report kRegKeyDeleted from then on.
RegStatus RegDeleteKey(std::string_view path);
// The names of a key's direct subkeys in the order they were created.
std::vector<std::string> RegEnumKeys(RegKey key);

// While any batch is alive, changes are kept in memory; when the outermost batch ends the tree
// is saved once if anything changed. Use it around bursts (re-sorting a score table) and never
// across a wait for input, so nothing is left unsaved when control returns to the message loop.
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;
};

// Makes saves fail at one step until reset to kNone, to prove that a failed save never damages
// the file on disk. For tests only.
enum class RegistrySaveFault { kNone, kWrite, kSync, kRename };
void InjectRegistrySaveFault(RegistrySaveFault fault);

// The in-memory form of a settings file: a root whose children are the hives
// ("HKEY_CURRENT_USER", ...). Children and values stay in the order they were added.
struct RegistryValue {
    std::string name;
    uint32_t type = REG_NONE;
    std::string data;  // raw bytes; a REG_SZ ends with its terminating zero
};

// One key: its values and subkeys, each kept in the order added and found ignoring ASCII case
// through an index, so a file with many thousands of entries still loads in linear time.
class RegistryNode {
public:
    explicit RegistryNode(std::string name = {}) : name(std::move(name)) {}

    const std::string& Name() const { return name; }
    const std::vector<std::shared_ptr<RegistryNode>>& Children() const { return children; }
    const std::vector<RegistryValue>& Values() const { return values; }

    std::shared_ptr<RegistryNode> FindChild(std::string_view childName) const;
    // The child of that name, added (with that spelling) when missing.
    std::shared_ptr<RegistryNode> FindOrAddChild(std::string_view childName);
    void RemoveChild(std::string_view childName);
    const RegistryValue* FindValue(std::string_view valueName) const;
    // Replaces a value of the same name in place (keeping its original spelling) or appends it.
    void SetValue(RegistryValue value);
    bool RemoveValue(std::string_view valueName);

    // Set when the key is deleted, so handles still open on it fail instead of writing into a
    // key that no longer belongs to the tree.
    bool deleted = false;

private:
    std::string name;
    std::vector<std::shared_ptr<RegistryNode>> children;
    std::vector<RegistryValue> values;
    std::unordered_map<std::string, size_t> childIndex;  // lower-case name -> position
    std::unordered_map<std::string, size_t> valueIndex;
};

struct RegistryTree {
    std::shared_ptr<RegistryNode> root = std::make_shared<RegistryNode>();
};

// Parses ".reg" text into *tree (replacing its contents). Returns false, leaving *tree empty,
// for anything malformed: a missing header, a value outside a section, a bad escape or hex
// digit, a deletion entry, names beyond the limits above. Never reads outside the text.
bool ParseRegistryText(std::string_view text, RegistryTree* tree);
// Fills *tree with every whole entry of a damaged text before the first malformed line (a line
// cut off by the end of the text counts as malformed).
void RecoverRegistryText(std::string_view text, RegistryTree* tree);
// The file text of a tree; parsing it gives back an equal tree.
std::string FormatRegistryText(const RegistryTree& tree);
