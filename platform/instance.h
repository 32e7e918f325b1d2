// One copy per user: a lock file held with flock, plus a Unix-domain socket through which a
// second copy asks the first to restore and raise its window.
#pragma once

#include <string>

class SingleInstance {
public:
    // Takes the lock in the given folder. When another process holds it, that process is asked
    // to raise its window and IsFirst() is false.
    explicit SingleInstance(const std::string& directory);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool IsFirst() const { return first; }
    // From now on, a request from another copy posts WM_APP_RAISE to this window's queue.
    void ListenForRaiseRequests();

private:
    bool first = false;
    int lockFd = -1;
    int listenFd = -1;
    std::string socketPath;
    struct Listener;
    Listener* listener = nullptr;
};
