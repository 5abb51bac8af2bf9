#include "platform/CStdioFile.h"
#include "platform/HomeFolder.h"
#include "platform/ModuleInfo.h"
#include "support/PlacedModule.h"
#include "support/SystemFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

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

// Home is beside the executable when that folder takes a file, else %LOCALAPPDATA%\NR-QD8K; the
// executable's own path comes from the module.
TEST(WindowsHomeFolder, BesideTheExecutableElseLocalAppData) {
    EXPECT_TRUE(
        ModuleInfo::Current().ExecutablePath().value_or("").ends_with("\\nr-core-tests.exe"));
    TempFolder folder;
    PlacedModule module(folder.File("NR-QD8K.exe"));
    EXPECT_EQ(FindHomeFolder(module, "NR-QD8K").path, folder.Path());

    module.path = folder.File("missing\\NR-QD8K.exe");
    const std::string saved = std::getenv("LOCALAPPDATA");
    ::_putenv_s("LOCALAPPDATA", folder.Path().c_str());
    const HomeFolder home = FindHomeFolder(module, "NR-QD8K");
    ::_putenv_s("LOCALAPPDATA", saved.c_str());
    EXPECT_EQ(home.problem, HomeFolder::kFound);
    EXPECT_EQ(home.path, folder.File("NR-QD8K"));
    EXPECT_TRUE(FileExists(folder.File("NR-QD8K")));
}

}  // namespace
