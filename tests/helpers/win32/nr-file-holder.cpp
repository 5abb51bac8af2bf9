// nr-file-holder FILE: holds FILE open as a spreadsheet holds the file it shows (to read and
// write; others may read it, no one else may write), says "held" or "refused", and lets it go
// when its input ends.
#include <windows.h>
// Needs windows.h before it.
#include <shellapi.h>

#include <cstdio>

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 2) return 2;
    HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::fputs(file != INVALID_HANDLE_VALUE ? "held\n" : "refused\n", stdout);
    std::fflush(stdout);
    char ignored;
    while (std::fread(&ignored, 1, 1, stdin) == 1) {
    }
    return 0;
}
