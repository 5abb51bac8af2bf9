#include "platform/HomeFolder.h"

#include "platform/Cp932.h"
#include "platform/ModuleInfo.h"
#include "platform/PathText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

namespace {

bool IsWritableFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Missing folders are made private, as the base directory rules ask.
bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return IsWritableFolder(path);
    }
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute (the rules ignore it then).
std::optional<std::string> DataHome() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') return WithoutTrailingSlash(dataHome);
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') return std::nullopt;
    // HOME may be "/".
    return JoinPath(WithoutTrailingSlash(home), ".local/share");
}

HomeFolder PerUserFolder(const std::string& name) {
    std::optional<std::string> dataHome = DataHome();
    if (!dataHome) return {HomeFolder::kDataFolderUnusable, "~/.local/share/" + name};
    std::string folder = JoinPath(*dataHome, name);
    std::optional<std::string> text = cp932::FromUtf8(folder);
    if (!text) return {HomeFolder::kDataFolderNotCp932, {}};
    if (!MakeFolders(folder)) return {HomeFolder::kDataFolderUnusable, *text};
    return {HomeFolder::kFound, *text};
}

}  // namespace

HomeFolder FindHomeFolder(const ModuleInfo& module, const std::string& dataFolderName) {
    std::optional<std::string> executable = module.ExecutableSystemPath();
    size_t slash = executable ? executable->rfind('/') : std::string::npos;
    if (slash == std::string::npos) return {HomeFolder::kExecutableUnreadable, {}};
    if (!cp932::FromUtf8(executable->substr(slash + 1))) {
        return {HomeFolder::kExecutableNameNotCp932, {}};
    }
    std::string folder = DirectoryOfPath(*executable);
    if (!IsWritableFolder(folder)) return PerUserFolder(dataFolderName);
    std::optional<std::string> text = cp932::FromUtf8(folder);
    if (!text) return {HomeFolder::kExecutableFolderNotCp932, {}};
    return {HomeFolder::kFound, *text};
}
