#include "support/SystemFiles.h"

#include <windows.h>

#include <filesystem>

std::string FullDiskPath() {
    return {};
}

bool MakePipe(const std::string&) {
    return false;
}

// Sharing only reading refuses every other writer, as an editor holding the file does.
OtherWriter::OtherWriter(const std::string& path)
    : m_handle(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(std::filesystem::path(path).wstring().c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))),
      m_held(reinterpret_cast<HANDLE>(m_handle) != INVALID_HANDLE_VALUE) {}

OtherWriter::~OtherWriter() {
    if (m_held) ::CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

bool MakeReadOnly(const std::string& path) {
    return ::SetFileAttributesW(std::filesystem::path(path).wstring().c_str(),
                                FILE_ATTRIBUTE_READONLY) != 0;
}

// No user here may write what its rights forbid: there is nothing to give up.
AsOrdinaryUser::AsOrdinaryUser(const TempFolder&) : m_switched(false) {}

AsOrdinaryUser::~AsOrdinaryUser() = default;
