#include "platform/CStdioFile.h"
#include "platform/HomeFolder.h"
#include "platform/InterfaceTables.h"
#include "platform/ModuleInfo.h"
#include "platform/PathText.h"
#include "support/PlacedModule.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A folder of its own under the temporary folder, as CP932 text and as the system names it.
class WindowsTempFolder {
public:
    WindowsTempFolder() {
        m_path = fs::temp_directory_path() / ("nr-qd8k-" + std::to_string(::GetTickCount64()));
        fs::create_directories(m_path);
    }
    ~WindowsTempFolder() { fs::remove_all(m_path); }
    const fs::path& Path() const { return m_path; }
    // ASCII, so its CP932 text is the same bytes.
    std::string Text() const { return m_path.string(); }

private:
    fs::path m_path;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

constexpr unsigned kReplace = CStdioFile::modeCreate | CStdioFile::modeWrite;
constexpr unsigned kAppend = CStdioFile::modeCreate | CStdioFile::modeNoTruncate |
                             CStdioFile::modeWrite | CStdioFile::shareExclusive;

// Drive letters and servers name full paths; both slashes separate, but not the second byte
// of 表; paths that hang on a working folder or drive are resolved or refused, never guessed.
TEST(WindowsPaths, FollowWindowsRules) {
    struct Case {
        const char* path;
        bool full;
        bool relative;
        const char* resolved;
    } cases[] = {
        {"D:\\logs\\line1.csv", true, false, "D:\\logs\\line1.csv"},
        {"d:/logs/line1.csv", true, false, "d:/logs/line1.csv"},
        {"\\\\server\\share\\x", true, false, "\\\\server\\share\\x"},
        {"logs\\a.csv", false, true, "C:\\home\\logs\\a.csv"},
        {"\x95\x5c.csv", false, true, "C:\\home\\\x95\x5c.csv"},
        {"D:a.csv", false, false, "D:a.csv"},
        {"\\a.csv", false, false, "\\a.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsFullPath(c.path), c.full);
        EXPECT_EQ(IsRelativePath(c.path), c.relative);
        EXPECT_EQ(ResolvePath(c.path, "C:\\home"), c.resolved);
    }
    EXPECT_EQ(DirectoryOfPath("C:\\a\\\x95\x5c.csv"), "C:\\a");
    EXPECT_EQ(DirectoryOfPath("C:\\\x95\x5c.csv"), "C:\\");
    EXPECT_EQ(FileTitleOfPath("C:\\a/\x95\x5c.csv"), "\x95\x5c");
}

// Names go to the system as UTF-16 through code page 932, whatever the system's code page;
// an append lands whole and locks out a second writer while it is open; a replace keeps the
// replaced file's attributes and refuses a read-only file, as Linux refuses a file it may not
// write.
TEST(WindowsFiles, NamesAppendsAndReplaces) {
    WindowsTempFolder folder;
    const std::string log = folder.Text() + "\\\x95\x5c.csv";  // 表.csv
    CStdioFile file;
    ASSERT_TRUE(file.Open(log, kAppend));
    CStdioFile second;
    EXPECT_FALSE(second.Open(log, kAppend));
    file.WriteString("a\n");
    EXPECT_TRUE(file.Close());
    ASSERT_TRUE(file.Open(log, kAppend));
    file.WriteString("b\n");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadAll(folder.Path() / L"\u8868.csv"), "a\r\nb\r\n");

    const fs::path settings = folder.Path() / "s.ini";
    std::ofstream(settings) << "old";
    ::SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(::GetFileAttributesW(settings.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(file.Open(folder.Text() + "\\s.ini", kReplace));
    file.WriteString("new\n");
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(ReadAll(settings), "new\r\n");
    EXPECT_TRUE(::GetFileAttributesW(settings.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    ::SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(file.Open(folder.Text() + "\\s.ini", kReplace));
    ::SetFileAttributesW(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), {}), 2);
}

// Home is beside the executable when that folder takes a file, else %LOCALAPPDATA%\NR-QD8K.
TEST(WindowsHomeFolder, BesideTheExecutableElseLocalAppData) {
    WindowsTempFolder folder;
    PlacedModule module((folder.Path() / "NR-QD8K.exe").string());
    EXPECT_EQ(FindHomeFolder(module, "NR-QD8K").path, folder.Text());

    module.path = (folder.Path() / "missing" / "NR-QD8K.exe").string();
    const std::string localAppData = folder.Text() + "\\local";
    fs::create_directory(localAppData);
    const std::string saved = std::getenv("LOCALAPPDATA");
    ::_putenv_s("LOCALAPPDATA", localAppData.c_str());
    const HomeFolder home = FindHomeFolder(module, "NR-QD8K");
    ::_putenv_s("LOCALAPPDATA", saved.c_str());
    EXPECT_EQ(home.problem, HomeFolder::kFound);
    EXPECT_EQ(home.path, localAppData + "\\NR-QD8K");
    EXPECT_TRUE(fs::is_directory(localAppData + "\\NR-QD8K"));
}

// The path comes from the module and the version from the VERSIONINFO resource windres put in.
TEST(WindowsModule, PathAndVersionResource) {
    const std::optional<std::string> path = ModuleInfo::Current().ExecutablePath();
    ASSERT_TRUE(path.has_value());
    EXPECT_TRUE(path->ends_with("\\nr-tests.exe")) << *path;
    const std::optional<ModuleInfo::Version> version = ModuleInfo::Current().FileVersion();
    ASSERT_TRUE(version.has_value());
    const std::string text = std::to_string((*version)[0]) + "." + std::to_string((*version)[1]) +
                             "." + std::to_string((*version)[2]) + "." +
                             std::to_string((*version)[3]);
    EXPECT_EQ(text, NR_PROJECT_VERSION);
}

// IP Helper's tables: the loopback address belongs to an interface with no hardware address.
TEST(WindowsInterfaceTables, ListLoopback) {
    const InterfaceTableSource& tables = CurrentInterfaceTables();
    const auto addresses = tables.GetIpAddrTable();
    ASSERT_TRUE(addresses.has_value());
    const uint32_t loopback = 0x0100007F;  // 127.0.0.1 in network byte order
    auto row = std::find_if(addresses->begin(), addresses->end(),
                            [&](const IpAddrRow& r) { return r.dwAddr == loopback; });
    ASSERT_NE(row, addresses->end());
    const std::optional<InterfaceRow> entry = tables.GetIfEntry(row->dwIndex);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->dwPhysAddrLen, 0u);
    const auto indexes = tables.GetIfIndexes();
    ASSERT_TRUE(indexes.has_value());
    EXPECT_EQ(std::ranges::count(*indexes, row->dwIndex), 1);
}

}  // namespace
