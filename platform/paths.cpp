#include "platform/paths.h"

#include <dirent.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgramFolder = "quillfen-solitaire";
constexpr mode_t kPrivateFolderMode = 0700;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// mkdir -p: creates every missing folder of the path with the given mode.
bool MakeDirectories(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && mkdir(prefix.c_str(), mode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return IsDirectory(path);
}

std::string HomeDirectory() {
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/tmp";
}

// The program spells its file names as on a case-insensitive file system. When the exact path
// does not exist, each component is looked up ignoring case, so "artwork\Title.JPG" still finds
// "artwork/title.jpg". Returns the exact spelling when nothing matches.
std::string ResolveIgnoringCase(const std::string& base, const std::string& relative) {
    std::string exact = base + "/" + relative;
    if (Exists(exact)) return exact;
    std::string resolved = base;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos) end = relative.size();
        const std::string component = relative.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        std::string match;
        if (DIR* folder = opendir(resolved.c_str())) {
            while (const dirent* entry = readdir(folder)) {
                if (strcasecmp(entry->d_name, component.c_str()) == 0) {
                    match = entry->d_name;
                    break;
                }
            }
            closedir(folder);
        }
        if (match.empty()) return exact;
        resolved += "/" + match;
    }
    return resolved;
}

}  // namespace

std::string ExecutableDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return ".";
    std::string path(buffer.data(), static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string DataDirectory() {
    const std::string overridden = Environment("QUILLFEN_DATA_DIR");
    if (!overridden.empty()) return overridden;
    const std::string exe = ExecutableDirectory();
    const std::string installed = exe + "/../share/" + kProgramFolder;
    if (IsDirectory(installed)) return installed;
    return exe + "/data";
}

std::string DataPath(const char* name) {
    std::string relative = name ? name : "";
    for (char& c : relative) {
        if (c == '\\') c = '/';
    }
    return ResolveIgnoringCase(DataDirectory(), relative);
}

std::string ConfigDirectory() {
    std::string base = Environment("XDG_CONFIG_HOME");
    // Relative values are invalid by the base-directory rules and are ignored.
    if (base.empty() || base[0] != '/') base = HomeDirectory() + "/.config";
    const std::string folder = base + "/" + kProgramFolder;
    MakeDirectories(folder, kPrivateFolderMode);
    return folder;
}

std::string RuntimeDirectory() {
    const std::string base = Environment("XDG_RUNTIME_DIR");
    if (!base.empty() && base[0] == '/') {
        const std::string folder = base + "/" + kProgramFolder;
        if (MakeDirectories(folder, kPrivateFolderMode)) return folder;
    }
    // A private folder under /tmp. It must be a real folder of ours, not a link or someone
    // else's folder planted there first; otherwise the configuration folder serves instead.
    const std::string folder = "/tmp/" + std::string(kProgramFolder) + "-" + std::to_string(getuid());
    mkdir(folder.c_str(), kPrivateFolderMode);
    struct stat info {};
    if (lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()) {
        if ((info.st_mode & 0777) != kPrivateFolderMode) chmod(folder.c_str(), kPrivateFolderMode);
        return folder;
    }
    const std::string fallback = ConfigDirectory() + "/runtime";
    MakeDirectories(fallback, kPrivateFolderMode);
    return fallback;
}

void ReportUnusableDataFile(const std::string& path, const std::string& consequence) {
    static std::mutex mutex;
    static std::set<std::string> named;
    // Why, as the file system sees it now: a file that opens is damaged.
    struct stat info {};
    const int error = stat(path.c_str(), &info) == 0 ? (access(path.c_str(), R_OK) == 0 ? 0 : errno) : errno;
    std::lock_guard lock(mutex);
    if (!named.insert(path).second) return;
    const std::string why = error == ENOENT ? "is missing" : error ? std::string("cannot be read (") + std::strerror(error) + ")"
                                                                     : "is damaged";
    std::fprintf(stderr, "quillfen-solitaire: the data file %s %s; %s\n", path.c_str(), why.c_str(),
                 consequence.c_str());
}
