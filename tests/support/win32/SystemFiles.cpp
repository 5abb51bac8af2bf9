#include "support/SystemFiles.h"

#include "platform/Cp932.h"

#include <windows.h>

#include <string>
#include <string_view>

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

// A second program holding the file as a spreadsheet does: open to read and write, sharing
// only reading, so that every other writer is refused. It lets go when its input ends.
struct OtherWriter::Hold {
    PROCESS_INFORMATION process{};
    HANDLE input = nullptr;  // closed to let it go
    bool holds = false;

    ~Hold() {
        if (input != nullptr) ::CloseHandle(input);
        if (process.hProcess == nullptr) return;
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
};

OtherWriter::OtherWriter(const std::string& path) : m_hold(new Hold) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childInput = nullptr, childOutput = nullptr, output = nullptr;
    if (!::CreatePipe(&childInput, &m_hold->input, &inherit, 0)) return;
    if (!::CreatePipe(&output, &childOutput, &inherit, 0)) {
        ::CloseHandle(childInput);
        return;
    }
    // The parent's ends stay with the parent.
    ::SetHandleInformation(m_hold->input, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    std::wstring commandLine = L"\"" + FileSystemPath(NR_FILE_HOLDER_PATH).wstring() + L"\" \"" +
                               FileSystemPath(path).wstring() + L"\"";
    const bool started =
        ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &startup, &m_hold->process);
    ::CloseHandle(childInput);
    ::CloseHandle(childOutput);
    char said[8] = {};
    DWORD got = 0;
    m_hold->holds = started && ::ReadFile(output, said, 4, &got, nullptr) && got == 4 &&
                    std::string_view(said, 4) == "held";
    ::CloseHandle(output);
}

OtherWriter::~OtherWriter() = default;

bool OtherWriter::Holds() const {
    return m_hold->holds;
}

bool MakeReadOnly(const std::string& path) {
    return ::SetFileAttributesW(FileSystemPath(path).wstring().c_str(), FILE_ATTRIBUTE_READONLY) !=
           0;
}

// No user here may write what its rights forbid: there is nothing to give up.
AsOrdinaryUser::AsOrdinaryUser(const TempFolder&) : m_switched(false) {}

AsOrdinaryUser::~AsOrdinaryUser() = default;
