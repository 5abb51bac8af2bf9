#include "platform/CStdioFile.h"

#include "platform/Cp932.h"
#include "platform/PathText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>

namespace {

std::atomic<unsigned> g_tempCounter{0};

// Follows links, so that a replace writes the file a link names and keeps the link.
std::string ResolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

// Never waits for a pipe's other end; refuses anything but a regular file or a device, and
// tells which it is. O_NONBLOCK changes nothing for a regular file, so only a device has it
// taken away (each log row would pay for the call).
int OpenFile(const std::string& path, int flags, bool devicesToo, struct stat* info) {
    int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    bool usable = ::fstat(fd, info) == 0 &&
                  (S_ISREG(info->st_mode) || (devicesToo && S_ISCHR(info->st_mode) &&
                                              ::fcntl(fd, F_SETFL, flags & O_APPEND) == 0));
    if (!usable) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// New contents for target, in its folder under a short name (a long file name leaves no room
// for a longer one), with the mode and owner of the file it replaces; -1 when that cannot be.
int OpenTemporaryBeside(const std::string& target, const struct stat* existing,
                        std::string& tempPath) {
    tempPath = JoinPath(DirectoryOfPath(target), ".nr-qd8k." + std::to_string(::getpid()) + "." +
                                                     std::to_string(g_tempCounter++));
    struct stat made {};
    int fd = OpenFile(tempPath, O_WRONLY | O_CREAT | O_EXCL, false, &made);
    bool ok = fd >= 0;
    if (ok && existing != nullptr) {
        // The owner first: a change of owner clears the set-id bits the mode then restores.
        bool sameOwner = made.st_uid == existing->st_uid && made.st_gid == existing->st_gid;
        ok = (sameOwner || ::fchown(fd, existing->st_uid, existing->st_gid) == 0) &&
             ::fchmod(fd, existing->st_mode & 07777) == 0;
    }
    if (ok) return fd;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(tempPath.c_str());
    }
    tempPath.clear();
    return -1;
}

// Other programs lock a file in one of two ways that do not see each other; both are taken.
// The record lock belongs to this descriptor's open file, not to the process, so another
// descriptor of the same file closed in this process (a settings file of the same name, a
// second open refused) leaves it in place.
bool LockExclusively(int fd) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

std::optional<std::string> CStdioFile::SystemPath(std::string_view path) {
    return cp932::ToUtf8Exact(path);
}

bool CStdioFile::RemoveSystemFile(const std::string& systemPath) {
    return ::unlink(systemPath.c_str()) == 0;
}

bool CStdioFile::OpenForReading(const std::string& path) {
    struct stat info {};
    int fd = OpenFile(path, O_RDONLY, false, &info);
    if (fd < 0) return false;
    m_reader = ::fdopen(fd, "rb");
    if (m_reader == nullptr) ::close(fd);
    return m_reader != nullptr;
}

bool CStdioFile::OpenForAppending(const std::string& path, unsigned flags) {
    struct stat info {};
    m_fd = OpenFile(path, O_WRONLY | O_CREAT | O_APPEND, true, &info);
    if (m_fd < 0) return false;
    if ((flags & shareExclusive) && !LockExclusively(m_fd)) {
        Discard();
        return false;
    }
    m_openedLength = static_cast<uint64_t>(info.st_size);
    return true;
}

bool CStdioFile::OpenForReplacing(const std::string& path) {
    m_targetPath = ResolvedPath(path);
    struct stat info {};
    bool exists = ::stat(m_targetPath.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return false;
    struct stat link {};
    bool danglingLink = !exists && ::lstat(m_targetPath.c_str(), &link) == 0;
    if (exists || danglingLink) {
        // Whether this file may be written is its own say, not its folder's.
        struct stat opened {};
        m_fd = OpenFile(m_targetPath, O_WRONLY | O_CREAT, true, &opened);
        if (m_fd < 0) return false;
    }
    // Written in place: a device, a file with other names (they all see the new contents), a
    // link's missing file, and a file whose owner a new file could not keep or whose folder
    // takes no new file.
    bool replaceable = !exists || (S_ISREG(info.st_mode) && info.st_nlink == 1);
    if (replaceable && !danglingLink) {
        int tempFd = OpenTemporaryBeside(m_targetPath, exists ? &info : nullptr, m_tempPath);
        if (tempFd >= 0) {
            if (m_fd >= 0) ::close(m_fd);
            m_fd = tempFd;
        }
    }
    if (m_fd < 0) return false;
    if (m_tempPath.empty() && S_ISREG(info.st_mode) && ::ftruncate(m_fd, 0) != 0) {
        Discard();
        return false;
    }
    m_replacing = true;
    return true;
}

bool CStdioFile::CommitAppend() {
    // Where this block begins: another writer may have appended since the open.
    const off_t begin = ::lseek(m_fd, 0, SEEK_END);
    bool ok = WriteAll(m_fd, m_pending);
    if (!ok && begin >= 0) {
        // Take back a partly written block, so that no half line stays in the file; if even
        // that fails, the write error is still the one to report.
        (void)::ftruncate(m_fd, begin);
    }
    if (::close(m_fd) != 0) ok = false;
    m_fd = -1;
    return ok;
}

bool CStdioFile::CommitReplace() {
    bool ok = WriteAll(m_fd, m_pending);
    if (ok && !m_tempPath.empty() && ::fsync(m_fd) != 0) ok = false;
    if (::close(m_fd) != 0) ok = false;
    m_fd = -1;
    if (m_tempPath.empty()) return ok;
    if (ok && ::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0) ok = false;
    if (ok) m_tempPath.clear();
    return ok;
}

void CStdioFile::Discard() {
    if (m_reader != nullptr) ::fclose(m_reader);
    m_reader = nullptr;
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_tempPath.empty()) ::unlink(m_tempPath.c_str());
    m_tempPath.clear();
    m_targetPath.clear();
    m_pending.clear();
    m_replacing = false;
    m_openedLength = 0;
}
