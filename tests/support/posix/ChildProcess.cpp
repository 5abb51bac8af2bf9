#include "support/posix/ChildProcess.h"

#include "support/SystemFiles.h"
#include "support/Waiting.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

extern char** environ;

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& args) {
    std::vector<std::string> argText{FileSystemPath(path)};
    for (const std::string& arg : args) argText.push_back(FileSystemPath(arg));
    std::vector<char*> argv;
    for (std::string& text : argText) argv.push_back(text.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const int flags = O_WRONLY | O_CREAT | O_TRUNC;
    const std::string out = FileSystemPath(m_files.File("out"));
    const std::string err = FileSystemPath(m_files.File("err"));
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), flags, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), flags, 0600);
    if (::posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
    } else {
        m_pidFd = static_cast<int>(::syscall(SYS_pidfd_open, m_pid, 0));
    }
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() {
    if (Started() && !m_status) {
        Signal(SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    if (m_pidFd >= 0) ::close(m_pidFd);
}

void ChildProcess::Signal(int signal) {
    ::kill(m_pid, signal);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds limit) {
    if (m_status || !Started()) return m_status;
    pollfd ended{m_pidFd, POLLIN, 0};
    if (::poll(&ended, 1, static_cast<int>(limit.count())) != 1) return std::nullopt;
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_status;
}

ProgramRun RunProgram(const std::string& path, const std::vector<std::string>& args,
                      std::chrono::milliseconds limit) {
    const auto start = std::chrono::steady_clock::now();
    ChildProcess program(path, args);
    if (!program.WaitForExit(limit)) program.Signal(SIGKILL);
    const std::optional<int> status = program.WaitForExit(limit);  // the first one's, if it ended
    return {status.value_or(-1), program.Out(), program.Err(),
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)};
}

long OpenHandleCount() {
    return EntriesIn("/proc/self/fd");
}

bool ChildProcess::Listens(int port) {
    char listening[32];
    std::snprintf(listening, sizeof listening, ":%04X 00000000:0000 0A", port);
    return WaitUntil(
        [&] { return ReadFileBytes("/proc/net/tcp").find(listening) != std::string::npos; }, 10000);
}
