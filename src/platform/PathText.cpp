#include "platform/PathText.h"

std::string DirectoryOfPath(const std::string& path) {
    size_t separator = LastSeparator(path);
    if (separator == std::string::npos) return ".";
    // A root keeps its separator: "/", "C:\".
    std::string folder = path.substr(0, separator);
    return IsFullPath(path) && !IsFullPath(folder) ? path.substr(0, separator + 1) : folder;
}

std::string FileTitleOfPath(const std::string& path) {
    size_t separator = LastSeparator(path);
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    bool endsInSeparator = !folder.empty() && LastSeparator(folder) == folder.size() - 1;
    return endsInSeparator ? folder + name : folder + PreferredSeparator() + name;
}

std::string ResolvePath(const std::string& path, const std::string& folder) {
    if (path.empty() || folder.empty() || !IsRelativePath(path)) return path;
    return JoinPath(folder, path);
}
