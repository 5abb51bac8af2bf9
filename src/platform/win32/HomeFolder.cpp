#include "platform/HomeFolder.h"

#include "platform/ModuleInfo.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <cstdlib>

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

HomeFolder PerUserFolder(const std::string& name) {
    const wchar_t* localAppData = ::_wgetenv(L"LOCALAPPDATA");
    const std::optional<std::wstring> wideName = wide::FromUtf8(name);
    if (localAppData == nullptr || localAppData[0] == L'\0' || !wideName) {
        return {HomeFolder::kDataFolderUnusable, "%LOCALAPPDATA%\\" + name};
    }
    const std::wstring folder = std::wstring(localAppData) + L"\\" + *wideName;
    const std::optional<std::string> text = wide::ToCp932(folder);
    if (!text) return {HomeFolder::kDataFolderNotCp932, {}};
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
