#include "platform/PathText.h"

#include "platform/Cp932.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// "D:" and the like: a path with it is on that drive.
bool HasDrive(std::string_view path) {
    auto isAsciiLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':';
}

}  // namespace

size_t LastSeparator(std::string_view path) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        // The second byte of a double-byte character may be 0x5C ("表"): no separator.
        if (cp932::IsLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (IsSeparator(path[i])) {
            last = i;
        }
    }
    return last;
}

char PreferredSeparator() {
    return '\\';
}

// "D:a.csv" and "\a.csv" are neither: they depend on the working folder of a drive, or on the
// working drive.
bool IsFullPath(std::string_view path) {
    bool onDrive = HasDrive(path) && path.size() >= 3 && IsSeparator(path[2]);
    bool onServer = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    return onDrive || onServer;
}

bool IsRelativePath(std::string_view path) {
    return !HasDrive(path) && !(!path.empty() && IsSeparator(path[0]));
}
