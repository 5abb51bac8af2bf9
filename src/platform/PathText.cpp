#include "platform/PathText.h"

#include "platform/Cp932.h"

std::string DirectoryOfPath(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileTitleOfPath(const std::string& path) {
    std::string name = path.substr(path.rfind('/') + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder == "/" ? folder + name : folder + "/" + name;
}

bool IsWindowsPath(std::string_view path) {
    auto isAsciiLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':') return true;
    for (size_t i = 0; i < path.size(); ++i) {
        // The second byte of a double-byte character may be 0x5C ("表"): no separator.
        if (cp932::IsLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == '\\') {
            return true;
        }
    }
    return false;
}

std::string ResolvePath(const std::string& path, const std::string& folder) {
    if (path.empty() || path.front() == '/' || folder.empty() || IsWindowsPath(path)) return path;
    return JoinPath(folder, path);
}
