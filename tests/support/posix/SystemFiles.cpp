#include "support/SystemFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

const bool kWindowsPaths = false;

std::filesystem::path FileSystemPath(const std::string& path) {
    return path;
}

std::string FullDiskPath() {
    return "/dev/full";
}

bool MakePipe(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

OtherWriter::OtherWriter(const std::string& path)
    : m_handle(::open(path.c_str(), O_WRONLY | O_CLOEXEC)),
      m_held(m_handle >= 0 && ::flock(static_cast<int>(m_handle), LOCK_EX) == 0) {}

OtherWriter::~OtherWriter() {
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
}

bool MakeReadOnly(const std::string& path) {
    return ::chmod(path.c_str(), 0444) == 0;
}

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

// The file-system ids are the thread's own, and root's file powers go with them.
AsOrdinaryUser::AsOrdinaryUser(const TempFolder& folder) : m_switched(::geteuid() == 0) {
    if (!m_switched) return;
    ::chmod(folder.Path().c_str(), 0777);
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
}

AsOrdinaryUser::~AsOrdinaryUser() {
    if (!m_switched) return;
    ::setfsuid(0);
    ::setfsgid(0);
}
