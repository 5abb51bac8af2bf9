#include "platform/TerminalText.h"
#include "support/SystemFiles.h"
#include "support/TempFolder.h"
#include "support/posix/Environment.h"

#include <gtest/gtest.h>

namespace {

// The trace as a UTF-8 terminal shows it: Japanese converted, lines ending in LF alone, a line
// end split from its line still one line end, a byte that is no character shown as "?", and an
// open line ended at the close.
TEST(TerminalText, PrintsTheTraceAsTheTerminalReadsIt) {
    ScopedEnvironment locale("LC_ALL", "C.UTF-8");
    TempFolder folder;
    std::FILE* out = std::fopen(FileSystemPath(folder.File("out")).c_str(), "w");
    ASSERT_NE(out, nullptr);
    {
        TerminalText terminal(out);
        terminal.Write("server start.\r\n");
        terminal.Write("cfg : /home/\x95\x5c.qd");
        terminal.Write("\r\n");
        terminal.Write("\x92\xe2\x8e\x7e\x92\x86\xff\r\nselect.");
    }
    std::fclose(out);
    EXPECT_EQ(ReadFileBytes(folder.File("out")),
              "server start.\ncfg : /home/\xe8\xa1\xa8.qd\n\xe5\x81\x9c\xe6\xad\xa2\xe4\xb8\xad?\n"
              "select.\n");
}

}  // namespace
