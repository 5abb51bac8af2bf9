#include "platform/PathText.h"

#include "platform/Cp932.h"

namespace {

// A path only Windows can use: a drive letter ("D:"), or a backslash anywhere ("\\server",
// "logs\a.csv").
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

}  // namespace

size_t LastSeparator(std::string_view path) {
    // '/' is never the second byte of a double-byte character.
    return path.rfind('/');
}

char PreferredSeparator() {
    return '/';
}

bool IsFullPath(std::string_view path) {
    return path.starts_with('/') && !IsWindowsPath(path);
}

bool IsRelativePath(std::string_view path) {
    return !path.starts_with('/') && !IsWindowsPath(path);
}
