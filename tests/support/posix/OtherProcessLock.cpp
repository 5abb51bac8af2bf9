#include "support/posix/OtherProcessLock.h"

#include "support/SystemFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs in the forked child, where only async-signal-safe calls may be made.
bool TakeLock(const char* path, OtherProcessLock::Kind kind) {
    const int fd = ::open(path, O_WRONLY | O_CREAT, 0644);
    if (fd < 0) return false;
    if (kind == OtherProcessLock::kBsd) return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_SETLK, &whole) == 0;
}

}  // namespace

OtherProcessLock::OtherProcessLock(const std::string& path, Kind kind) {
    const std::string systemPath = FileSystemPath(path);  // made before the fork
    int ready[2];
    int release[2];
    if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(release, O_CLOEXEC) != 0) return;
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(release[1]);  // or the read below never sees the end
        const char holds = TakeLock(systemPath.c_str(), kind) ? 1 : 0;
        char ignored;
        const bool told = ::write(ready[1], &holds, 1) == 1;
        ::_exit(told && ::read(release[0], &ignored, 1) == 0 ? 0 : 1);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char holds = 0;
    m_holds = m_pid > 0 && ::read(ready[0], &holds, 1) == 1 && holds == 1;
    ::close(ready[0]);
}

OtherProcessLock::~OtherProcessLock() {
    ::close(m_release);
    if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
}
