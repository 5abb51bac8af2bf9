#include "support/SystemFiles.h"

#include "platform/Cp932.h"

#include <windows.h>

const bool kWindowsPaths = true;

std::filesystem::path FileSystemPath(const std::string& path) {
    const std::string utf8 = cp932::ToUtf8(path);
    return std::u8string(utf8.begin(), utf8.end());
}

std::string FullDiskPath() {
    return {};
}

bool MakePipe(const std::string&) {
    return false;
}

// Sharing only reading refuses every other writer, as an editor holding the file does.
struct OtherWriter::Hold {
    HANDLE handle;
    ~Hold() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
};

OtherWriter::OtherWriter(const std::string& path)
    : m_hold(new Hold{::CreateFileW(FileSystemPath(path).wstring().c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)}) {}

OtherWriter::~OtherWriter() = default;

bool OtherWriter::Holds() const {
    return m_hold->handle != INVALID_HANDLE_VALUE;
}

bool MakeReadOnly(const std::string& path) {
    return ::SetFileAttributesW(FileSystemPath(path).wstring().c_str(), FILE_ATTRIBUTE_READONLY) !=
           0;
}

// No user here may write what its rights forbid: there is nothing to give up.
AsOrdinaryUser::AsOrdinaryUser(const TempFolder&) : m_switched(false) {}

AsOrdinaryUser::~AsOrdinaryUser() = default;
