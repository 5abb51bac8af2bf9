#include "platform/CStdioFile.h"
#include "platform/Cp932.h"
#include "platform/HomeFolder.h"
#include "platform/win32/WideText.h"
#include "support/PlacedModule.h"
#include "support/SystemFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tuple>

namespace {

// An exclusive append locks out a second writer while it is open; a replace keeps the replaced
// file's attributes.
TEST(WindowsFiles, AppendsLockAndReplacesKeepAttributes) {
    TempFolder folder;
    const unsigned append = CStdioFile::modeCreate | CStdioFile::modeNoTruncate |
                            CStdioFile::modeWrite | CStdioFile::shareExclusive;
    CStdioFile file, second;
    ASSERT_TRUE(file.Open(folder.File("log.csv"), append));
    EXPECT_FALSE(second.Open(folder.File("log.csv"), append));
    EXPECT_TRUE(file.Close());

    const std::wstring settings = FileSystemPath(folder.File("s.ini")).wstring();
    WriteFileBytes(folder.File("s.ini"), "old");
    ::SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(file.Open(folder.File("s.ini"), CStdioFile::modeCreate | CStdioFile::modeWrite));
    file.WriteString("new\n");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadFileBytes(folder.File("s.ini")), "new\r\n");
    EXPECT_TRUE(::GetFileAttributesW(settings.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

// Beside an executable whose folder takes no file, home is %LOCALAPPDATA%\NR-QD8K, made on first
// use and found again after; trailing separators change nothing. A value that is empty or
// relative, or that CP932 cannot name, is refused.
TEST(WindowsHomeFolder, LocalAppDataMadeFoundOrRefused) {
    TempFolder folder;
    PlacedModule module(cp932::ToUtf8(folder.File("missing\\NR-QD8K.exe")));
    const std::string at = cp932::ToUtf8(folder.Path());  // as the system names it
    const std::tuple<std::string, HomeFolder::Problem, std::string> cases[] = {
        {at, HomeFolder::kFound, folder.File("NR-QD8K")},
        {at + "\\/", HomeFolder::kFound, folder.File("NR-QD8K")},
        {"", HomeFolder::kDataFolderUnusable, "%LOCALAPPDATA%\\NR-QD8K"},
        {".", HomeFolder::kDataFolderUnusable, ".\\NR-QD8K"},
        {at + "\\\xed\x95\x9c", HomeFolder::kDataFolderNotCp932, ""},  // Hangul
    };
    std::wstring saved(32768, L'\0');
    saved.resize(::GetEnvironmentVariableW(L"LOCALAPPDATA", saved.data(), 32768));
    for (const auto& [localAppData, problem, path] : cases) {
        SCOPED_TRACE(localAppData);
        // Set wide, as the program reads it: not every value converts to the system code page.
        ::SetEnvironmentVariableW(L"LOCALAPPDATA", wide::FromUtf8(localAppData)->c_str());
        const HomeFolder home = FindHomeFolder(module, "NR-QD8K");
        EXPECT_EQ(std::tie(home.problem, home.path), std::tie(problem, path));
    }
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", saved.c_str());
}

}  // namespace
