#include "support/TempFolder.h"

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "nr-qd8k-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

long EntriesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), {});
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
