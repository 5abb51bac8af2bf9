#include "ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

extern char** environ;

namespace nr::tools::test {
namespace {

using Clock = std::chrono::steady_clock;

// Reads both pipes to their ends; false when the deadline came first. Closes neither.
bool Drain(int outFd, int errFd, std::string& out, std::string& err, Clock::time_point deadline) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        if (::poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) return false;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                fds[i].fd = -1;  // at its end; the caller closes it
            }
        }
    }
    return true;
}

// Starts the tool with stdin from /dev/null and stdout, stderr into the given pipe ends.
int Spawn(const std::string& path, const std::vector<std::string>& args, int out, int err,
          pid_t& pid) {
    std::vector<std::string> argvText{path};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (const int error = posix_spawn_file_actions_init(&actions); error != 0) return error;
    int error = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (error == 0) error = posix_spawn_file_actions_adddup2(&actions, out, 1);
    if (error == 0) error = posix_spawn_file_actions_adddup2(&actions, err, 2);
    if (error == 0) {
        error = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    }
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

}  // namespace

ToolRun RunTool(const std::string& path, const std::vector<std::string>& args,
                std::chrono::milliseconds limit) {
    ToolRun run;
    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    const auto start = Clock::now();
    pid_t pid = -1;
    int error = 0;
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) {
        error = errno;
    } else {
        error = Spawn(path, args, outPipe[1], errPipe[1], pid);
    }
    // Only the child may hold the write ends, or the reads below never see their end.
    for (int fd : {outPipe[1], errPipe[1]}) {
        if (fd >= 0) ::close(fd);
    }
    if (error == 0 && !Drain(outPipe[0], errPipe[0], run.out, run.err, start + limit)) {
        ::kill(pid, SIGKILL);
    }
    for (int fd : {outPipe[0], errPipe[0]}) {
        if (fd >= 0) ::close(fd);
    }
    if (error != 0) {
        run.spawnError = path + ": " + std::strerror(error);
        return run;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    run.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

ToolRun RunToolAt(const std::string& path, std::uint16_t port, std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", std::to_string(port)});
    return RunTool(path, args);
}

std::map<std::string, std::string> MachineLine(const std::string& out) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.starts_with("reports=")) continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            const auto equals = word.find('=');
            if (equals != std::string::npos)
                fields[word.substr(0, equals)] = word.substr(equals + 1);
        }
    }
    return fields;
}

}  // namespace nr::tools::test
