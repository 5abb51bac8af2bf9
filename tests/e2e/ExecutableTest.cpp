#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "support/TempFolder.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

// The built program, copied into a folder of its own, as an operator installs it.
class RunningProgram {
public:
    explicit RunningProgram(const TempFolder& folder) : m_output(folder.File("output.txt")) {
        std::string exe = folder.File("NR-QD8K");
        std::filesystem::copy_file(NR_APP_PATH, exe);
        std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen", "LC_ALL=C.UTF-8"};
        for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
        std::vector<char*> envp;
        for (std::string& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        char* argv[] = {exe.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&m_pid, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~RunningProgram() {
        if (m_pid > 0 && !m_exited) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool Started() const { return m_pid > 0; }
    // The exit status once it has ended within the time, else -1.
    int WaitForExit(std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }
    void Signal(int signal) { ::kill(m_pid, signal); }
    // True once its standard output holds the text.
    bool Printed(const std::string& text, std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (ReadFileBytes(m_output).find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }
    // True once the program handles SIGINT and SIGTERM itself, so that they end it cleanly.
    bool HandlesSignals(std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        const unsigned long wanted = (1ul << (SIGINT - 1)) | (1ul << (SIGTERM - 1));
        while (std::chrono::steady_clock::now() < deadline) {
            std::string status = ReadFileBytes("/proc/" + std::to_string(m_pid) + "/status");
            size_t at = status.find("SigCgt:");
            if (at != std::string::npos &&
                (std::stoul(status.substr(at + 7), nullptr, 16) & wanted) == wanted) {
                return true;
            }
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

private:
    std::string m_output;
    pid_t m_pid = -1;
    bool m_exited = false;
};

// True once something listens on the port (seen in the kernel's table, not by connecting).
bool Listens(int port, std::chrono::milliseconds limit) {
    char entry[32];
    std::snprintf(entry, sizeof entry, ":%04X 00000000:0000 0A", port);
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFileBytes("/proc/net/tcp").find(entry) != std::string::npos) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// Reports on a thread of their own until one is answered or the time is up.
bool AnswersOn(int port, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        UnitScript script;
        script.frame = "\xfa\x01\x15";
        if (RunUnit(port, script, 2000).reply == "\x01\x15") return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

// Started with settings that say START, it serves units and logs; SIGTERM ends it cleanly.
TEST(Executable, ServesFromSavedSettingsAndEndsOnSigterm) {
    TempFolder folder;
    int port = FreePort();
    WriteFileBytes(folder.File("line.qd"),
                   "#$PORT=" + std::to_string(port) + "\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n");
    WriteFileBytes(folder.File("NR-QD8K.ini"), folder.File("line.qd"));
    RunningProgram program(folder);
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(AnswersOn(port, 10s));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(10s), 0);
    std::string log = ReadFileBytes(folder.File("NR-QD8K.csv"));
    EXPECT_NE(log.find(",127.0.0.1,1,0,1,0,1\r\n"), std::string::npos);
}

// Where nobody can press its start button it serves on the port in the window, and prints
// each trace line in the terminal's encoding; SIGINT ends it as Escape does.
TEST(Executable, OffscreenServesAndPrintsItsTrace) {
    TempFolder folder;
    int port = FreePort();
    WriteFileBytes(folder.File("line.qd"),
                   "#$PORT=" + std::to_string(port) + "\r\n#$SERVER=STOP\r\n");
    WriteFileBytes(folder.File("NR-QD8K.ini"), folder.File("line.qd"));
    RunningProgram program(folder);
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.Printed("ここの部分", 10s));
    EXPECT_TRUE(program.Printed("\nserver start.\n", 10s));
    ASSERT_TRUE(AnswersOn(port, 10s));
    EXPECT_TRUE(program.Printed("Send : 01 15\n", 10s));
    program.Signal(SIGINT);
    EXPECT_EQ(program.WaitForExit(10s), 0);
}

// A signal while start-up waits for the operator (the saved port is taken) ends the program
// before its window opens.
TEST(Executable, EndsOnSigtermDuringStartUp) {
    TempFolder folder;
    HeldPort taken;
    WriteFileBytes(folder.File("line.qd"),
                   "#$PORT=" + std::to_string(taken.Port()) + "\r\n#$SERVER=START\r\n");
    WriteFileBytes(folder.File("NR-QD8K.ini"), folder.File("line.qd"));
    RunningProgram program(folder);
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.HandlesSignals(10s));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(10s), 0);
}

// A message waiting for the operator (the log cannot be opened) does not keep SIGTERM from
// ending the program; the unit that was waiting behind it still gets its reply.
TEST(Executable, EndsOnSigtermWhileAMessageIsOpen) {
    TempFolder folder;
    int port = FreePort();
    WriteFileBytes(folder.File("line.qd"), "#$PORT=" + std::to_string(port) +
                                               "\r\n#$LOGGING=ON\r\n#$SERVER=START\r\n"
                                               "#$LOGFILENAME=" +
                                               folder.File("no/such.csv") + "\r\n");
    WriteFileBytes(folder.File("NR-QD8K.ini"), folder.File("line.qd"));
    RunningProgram program(folder);
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(program.HandlesSignals(10s));
    ASSERT_TRUE(Listens(port, 10s));
    std::future<std::string> unit = std::async(std::launch::async, [port] {
        UnitScript script;
        script.frame = "\x01\x15";
        return RunUnitHere(port, script, 20000).reply;
    });
    // Its reply is overdue: the program waits for the operator to answer the message.
    EXPECT_EQ(unit.wait_for(500ms), std::future_status::timeout);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.WaitForExit(10s), 0);
    EXPECT_EQ(unit.get(), "\x01\x15");
}

}  // namespace
