#include "platform/CStdioFile.h"

#include "platform/PathText.h"
#include "platform/win32/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>

// Paths stay CP932 here and become UTF-16 at each call: every file goes through the W functions.

namespace {

std::atomic<unsigned> g_tempCounter{0};
// What a replaced file passes on to its new contents.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

std::wstring Wide(const std::string& path) {
    // SystemPath has checked that it converts.
    return wide::FromCp932(path).value_or(std::wstring());
}

// Never a pipe, which would stall the caller: a file, or with devicesToo a device ("NUL").
// A C runtime descriptor that owns the handle, or -1.
int OpenFile(const std::string& path, DWORD access, DWORD share, DWORD disposition,
             bool devicesToo) {
    HANDLE handle = ::CreateFileW(Wide(path).c_str(), access, share, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    const DWORD type = ::GetFileType(handle);
    const bool usable = type == FILE_TYPE_DISK || (devicesToo && type == FILE_TYPE_CHAR);
    const int fd = usable ? ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY) : -1;
    if (fd < 0) ::CloseHandle(handle);
    return fd;
}

bool IsDisk(int fd) {
    return ::GetFileType(HandleOf(fd)) == FILE_TYPE_DISK;
}

bool Truncate(int fd, uint64_t length) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(length);
    return ::SetFilePointerEx(HandleOf(fd), position, nullptr, FILE_BEGIN) &&
           ::SetEndOfFile(HandleOf(fd));
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(HandleOf(fd), bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// New contents for target, in its folder under a short name; -1 when the folder takes none.
int OpenTemporaryBeside(const std::string& target, std::string& tempPath) {
    tempPath =
        JoinPath(DirectoryOfPath(target), ".nr-qd8k." + std::to_string(::GetCurrentProcessId()) +
                                              "." + std::to_string(g_tempCounter++));
    const int fd = OpenFile(tempPath, GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW, false);
    if (fd < 0) tempPath.clear();
    return fd;
}

}  // namespace

std::optional<std::string> CStdioFile::SystemPath(std::string_view path) {
    if (!wide::FromCp932(path)) return std::nullopt;
    return std::string(path);
}

bool CStdioFile::RemoveSystemFile(const std::string& systemPath) {
    return ::DeleteFileW(Wide(systemPath).c_str()) != 0;
}

bool CStdioFile::OpenForReading(const std::string& path) {
    const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const int fd = OpenFile(path, GENERIC_READ, shareAll, OPEN_EXISTING, false);
    if (fd < 0) return false;
    m_reader = ::_fdopen(fd, "rb");
    if (m_reader == nullptr) ::_close(fd);
    return m_reader != nullptr;
}

bool CStdioFile::OpenForAppending(const std::string& path, unsigned flags) {
    // Without FILE_SHARE_WRITE a second writer is refused while this one holds the file.
    const DWORD share =
        (flags & shareExclusive) ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    m_fd = OpenFile(path, GENERIC_READ | GENERIC_WRITE, share, OPEN_ALWAYS, true);
    if (m_fd < 0) return false;
    LARGE_INTEGER size{};
    // A device has no size: it starts empty.
    if (IsDisk(m_fd) && !::GetFileSizeEx(HandleOf(m_fd), &size)) {
        Discard();
        return false;
    }
    m_openedLength = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool CStdioFile::OpenForReplacing(const std::string& path) {
    m_targetPath = path;
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    // Whether this file may be written is its own say, not its folder's. Asked outright, as
    // a replace would not: ReplaceFileW takes a read-only file's place.
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return false;
    if (exists) {
        const DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        m_fd = OpenFile(path, GENERIC_WRITE, shareAll, OPEN_EXISTING, true);
        if (m_fd < 0) return false;
    }
    // A device is written in place, and so is a file whose folder takes no new file.
    if (!exists || IsDisk(m_fd)) {
        const int tempFd = OpenTemporaryBeside(path, m_tempPath);
        if (tempFd >= 0) {
            if (m_fd >= 0) ::_close(m_fd);
            m_fd = tempFd;
        }
    }
    if (m_fd < 0) return false;
    if (m_tempPath.empty() && IsDisk(m_fd) && !Truncate(m_fd, 0)) {
        Discard();
        return false;
    }
    m_replacing = true;
    return true;
}

bool CStdioFile::CommitAppend() {
    // Where this block begins: another writer may have appended since the open. A device has
    // no end to seek.
    const LARGE_INTEGER none{};
    LARGE_INTEGER begin{};
    const bool disk = IsDisk(m_fd);
    const bool atEnd = disk && ::SetFilePointerEx(HandleOf(m_fd), none, &begin, FILE_END);
    bool ok = (atEnd || !disk) && WriteAll(m_fd, m_pending);
    // Take back a partly written block, so that no half line stays in the file.
    if (!ok && atEnd) (void)Truncate(m_fd, static_cast<uint64_t>(begin.QuadPart));
    if (::_close(m_fd) != 0) ok = false;
    m_fd = -1;
    return ok;
}

bool CStdioFile::CommitReplace() {
    bool ok = WriteAll(m_fd, m_pending);
    if (ok && !m_tempPath.empty() && !::FlushFileBuffers(HandleOf(m_fd))) ok = false;
    if (::_close(m_fd) != 0) ok = false;
    m_fd = -1;
    if (m_tempPath.empty() || !ok) return ok;
    const std::wstring target = Wide(m_targetPath);
    const std::wstring temp = Wide(m_tempPath);
    // ReplaceFileW keeps the replaced file's security and is to keep its attributes, which
    // not every implementation does (Wine): the new contents take them first.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKeptAttributes) != 0) {
        ok = ::SetFileAttributesW(temp.c_str(), attributes & kKeptAttributes);
    }
    // A file that is not there yet is moved in. When the replace took the old file away but
    // could not move the new one in, only the new contents are left: they must not be lost.
    ok = ok && (::ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                ((::GetLastError() == ERROR_FILE_NOT_FOUND ||
                  ::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) &&
                 ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)));
    const bool targetGone = !ok && ::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES;
    if (ok || targetGone) m_tempPath.clear();
    return ok;
}

void CStdioFile::Discard() {
    if (m_reader != nullptr) ::fclose(m_reader);
    m_reader = nullptr;
    if (m_fd >= 0) ::_close(m_fd);
    m_fd = -1;
    if (!m_tempPath.empty()) ::DeleteFileW(Wide(m_tempPath).c_str());
    m_tempPath.clear();
    m_targetPath.clear();
    m_pending.clear();
    m_replacing = false;
    m_openedLength = 0;
}
