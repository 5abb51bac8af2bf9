#include "support/ProgramRun.h"

#include "support/SystemFiles.h"
#include "support/TempFolder.h"

#include <windows.h>

namespace {

// A file the child inherits as its standard output or error.
HANDLE InheritedOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(FileSystemPath(path).wstring().c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Each argument quoted as the C run-time splits a command line; the tests' have no quotes.
std::wstring CommandLine(const std::string& path, const std::vector<std::string>& args) {
    std::wstring line = L"\"" + FileSystemPath(path).wstring() + L"\"";
    for (const std::string& arg : args) {
        line += L" \"" + FileSystemPath(arg).wstring() + L"\"";
    }
    return line;
}

// Read as text: a console program here ends its lines with CR LF.
std::string TextOf(const std::string& path) {
    std::string text = ReadFileBytes(path);
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

}  // namespace

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args,
                      std::chrono::milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    TempFolder files;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = InheritedOutput(files.File("out"));
    startup.hStdError = InheritedOutput(files.File("err"));
    std::wstring commandLine = CommandLine(path, args);
    PROCESS_INFORMATION process{};
    ProgramRun run;
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &startup, &process)) {
        if (::WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit.count())) !=
            WAIT_OBJECT_0) {
            ::TerminateProcess(process.hProcess, 1);
            ::WaitForSingleObject(process.hProcess, INFINITE);
        }
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = static_cast<int>(code);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    run.out = TextOf(files.File("out"));
    run.err = TextOf(files.File("err"));
    run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return run;
}

long OpenHandleCount() {
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return static_cast<long>(count);
}
