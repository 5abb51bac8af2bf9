#pragma once

#include "support/ProgramRun.h"
#include "support/TempFolder.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// A program under test, started in this process's environment with stdin from /dev/null and its
// output going into files that can be read while it runs. One still running at the end is killed.
class ChildProcess {
public:
    ChildProcess(const std::string& path, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    pid_t Pid() const { return m_pid; }
    void Signal(int signal);
    // The exit status (128 + signal for a killed one) once it has ended, nullopt at the limit.
    std::optional<int> WaitForExit(std::chrono::milliseconds limit);
    std::string Out() const { return ReadFileBytes(m_files.File("out")); }
    std::string Err() const { return ReadFileBytes(m_files.File("err")); }

    // Whether a program of this machine listens on the port, as the kernel's table says: no
    // connection is made to see it. Waits up to 10 s.
    static bool Listens(int port);

private:
    TempFolder m_files;
    pid_t m_pid = -1;
    int m_pidFd = -1;
    std::optional<int> m_status;
};
