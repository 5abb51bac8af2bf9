#include "support/Ports.h"
#include "support/ProgramRun.h"
#include "support/SystemFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The serving program, installed in a folder of its own, that folder its home: it will not
// serve when it cannot, and says why, with the Windows Sockets number as the window shows it;
// it exits with 1 then. (Its serving, logging and ending on a signal: the package tests.)
TEST(ServeOnly, SaysWhyItCannotServe) {
    const HeldPort taken(HeldPort::Kind::kListening);
    struct Case {
        const char* what;
        std::string settings;  // none: the pointer names a file that is not there
        std::string said;
    } cases[] = {
        {"missing settings", "", "missing.qd"},
        {"port taken", "#$PORT=" + std::to_string(taken.Port()) + "\r\n", ":B 10048"},
        {"port out of range", "#$PORT=1023\r\n#$LOGGING=ON\r\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string program =
            folder.File(std::filesystem::path(NR_SERVE_PATH).filename().string());
        std::filesystem::copy_file(FileSystemPath(NR_SERVE_PATH), FileSystemPath(program));
        const std::string settings = folder.File(c.settings.empty() ? "missing.qd" : "line.qd");
        if (!c.settings.empty()) WriteFileBytes(settings, c.settings);
        WriteFileBytes(folder.File("NR-QD8K.ini"), settings);
        const ProgramRun run = RunProgram(program, {}, std::chrono::seconds(10));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
        EXPECT_FALSE(run.err.empty());
        EXPECT_FALSE(FileExists(folder.File("NR-QD8K.csv")));
    }
}

}  // namespace
