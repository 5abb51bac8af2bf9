#include "support/TempFolder.h"

#include "support/SystemFiles.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Named as a Japanese operator's folders may be: "-ソポムあ表", whose second bytes code
        // reading CP932 a byte at a time takes for '\', '|', 0x80, 0xA0 and, last, '\'.
        const std::string path =
            (fs::temp_directory_path() / ("nr-qd8k-" + std::to_string(random()))).string() +
            "-\x83\x5c\x83\x7c\x83\x80\x82\xa0\x95\x5c";
        std::error_code error;
        if (fs::create_directory(FileSystemPath(path), error)) {
            fs::permissions(FileSystemPath(path), fs::perms::owner_all, error);
            m_path = path;
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(FileSystemPath(m_path), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(FileSystemPath(m_path), ignored);
}

// Joined as text: the name's bytes stay as the test wrote them.
std::string TempFolder::File(const std::string& name) const {
    return m_path + static_cast<char>(fs::path::preferred_separator) + name;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(FileSystemPath(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(FileSystemPath(path), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string& path) {
    return fs::exists(FileSystemPath(path));
}

long EntriesIn(const std::string& folder) {
    return std::distance(fs::directory_iterator(FileSystemPath(folder)), {});
}
