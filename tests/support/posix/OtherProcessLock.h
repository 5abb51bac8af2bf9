#pragma once

#include <sys/types.h>

#include <string>

// Another process locking a file as other programs do: a BSD lock (flock) or a POSIX record
// lock (fcntl, lockf), over the whole file, created if missing. It holds the lock, if it got it,
// until this is destroyed.
class OtherProcessLock {
public:
    enum Kind { kBsd, kPosix };
    OtherProcessLock(const std::string& path, Kind kind);
    ~OtherProcessLock();
    OtherProcessLock(const OtherProcessLock&) = delete;
    OtherProcessLock& operator=(const OtherProcessLock&) = delete;

    bool Holds() const { return m_holds; }

private:
    pid_t m_pid = -1;
    int m_release = -1;  // closed to let it go
    bool m_holds = false;
};
