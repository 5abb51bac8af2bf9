#include "platform/HomeFolder.h"

#include "platform/ModuleInfo.h"
#include "platform/PathText.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <string>

namespace {

// Rights on Windows are more than a mode to read: making a file is the one sure test.
bool IsWritableFolder(const std::wstring& folder) {
    const std::wstring probe =
        folder + L"\\.nr-qd8k-probe." + std::to_wstring(::GetCurrentProcessId());
    HANDLE handle = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(handle);
    return true;
}

// Read wide from the process itself: the C runtime's copy of the environment may have passed
// through the system code page, which cannot hold every user's name.
std::wstring LocalAppData() {
    std::wstring value(MAX_PATH, L'\0');
    DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), MAX_PATH);
    if (length >= MAX_PATH) {
        value.resize(length);
        length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), length);
    }
    value.resize(length < value.size() ? length : 0);
    // With a trailing separator it names the same folder, but would not join cleanly.
    while (!value.empty() && (value.back() == L'\\' || value.back() == L'/')) value.pop_back();
    return value;
}

HomeFolder PerUserFolder(const std::string& name) {
    const std::wstring localAppData = LocalAppData();
    const std::optional<std::wstring> wideName = wide::FromUtf8(name);
    if (localAppData.empty() || !wideName) {
        return {HomeFolder::kDataFolderUnusable, "%LOCALAPPDATA%\\" + name};
    }
    const std::wstring folder = localAppData + L"\\" + *wideName;
    const std::optional<std::string> text = wide::ToCp932(folder);
    if (!text) return {HomeFolder::kDataFolderNotCp932, {}};
    // A relative one would put the files wherever the program happens to be started from.
    if (!IsFullPath(*text)) return {HomeFolder::kDataFolderUnusable, *text};
    const bool made =
        ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (!made || !IsWritableFolder(folder)) return {HomeFolder::kDataFolderUnusable, *text};
    return {HomeFolder::kFound, *text};
}

}  // namespace

HomeFolder FindHomeFolder(const ModuleInfo& module, const std::string& dataFolderName) {
    const std::optional<std::string> executable = module.ExecutableSystemPath();
    const std::optional<std::wstring> path =
        executable ? wide::FromUtf8(*executable) : std::nullopt;
    const size_t separator = path ? path->find_last_of(L"\\/") : std::wstring::npos;
    if (separator == std::wstring::npos) return {HomeFolder::kExecutableUnreadable, {}};
    if (!wide::ToCp932(path->substr(separator + 1))) {
        return {HomeFolder::kExecutableNameNotCp932, {}};
    }
    const std::wstring folder = path->substr(0, separator);
    if (!IsWritableFolder(folder)) return PerUserFolder(dataFolderName);
    const std::optional<std::string> text = wide::ToCp932(folder);
    if (!text) return {HomeFolder::kExecutableFolderNotCp932, {}};
    return {HomeFolder::kFound, *text};
}
