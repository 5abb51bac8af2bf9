#include "support/SystemFiles.h"

#include "platform/Cp932.h"
#include "support/posix/OtherProcessLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

const bool kWindowsPaths = false;

std::filesystem::path FileSystemPath(const std::string& path) {
    return cp932::ToUtf8(path);
}

std::string FullDiskPath() {
    return "/dev/full";
}

bool MakePipe(const std::string& path) {
    return ::mkfifo(FileSystemPath(path).c_str(), 0600) == 0;
}

// A record lock from another process: the kind office programs take on this system, and the
// kind a lock of the process's own would hide.
struct OtherWriter::Hold {
    OtherProcessLock lock;
};

OtherWriter::OtherWriter(const std::string& path)
    : m_hold(new Hold{{path, OtherProcessLock::kPosix}}) {}

OtherWriter::~OtherWriter() = default;

bool OtherWriter::Holds() const {
    return m_hold->lock.Holds();
}

bool MakeReadOnly(const std::string& path) {
    return ::chmod(FileSystemPath(path).c_str(), 0444) == 0;
}

namespace {

constexpr uid_t kNobody = 65534;

}  // namespace

// The file-system ids are the thread's own, and root's file powers go with them.
AsOrdinaryUser::AsOrdinaryUser(const TempFolder& folder) : m_switched(::geteuid() == 0) {
    if (!m_switched) return;
    ::chmod(FileSystemPath(folder.Path()).c_str(), 0777);
    ::setfsgid(kNobody);
    ::setfsuid(kNobody);
}

AsOrdinaryUser::~AsOrdinaryUser() {
    if (!m_switched) return;
    ::setfsuid(0);
    ::setfsgid(0);
}
