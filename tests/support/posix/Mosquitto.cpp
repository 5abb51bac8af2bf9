#include "support/posix/Mosquitto.h"

#include "support/TestSockets.h"
#include "support/Waiting.h"

#include <signal.h>

Mosquitto::Mosquitto(int port) : m_port(port) {
    WriteFileBytes(m_folder.File("mosquitto.conf"),
                   "listener " + std::to_string(port) +
                       " 127.0.0.1\nallow_anonymous true\npersistence false\n");
}

bool Mosquitto::Start() {
    m_process = std::make_unique<ChildProcess>(
        "/usr/sbin/mosquitto", std::vector<std::string>{"-c", m_folder.File("mosquitto.conf")});
    return m_process->Started() && WaitUntil([this] {
               const test_net::Handle sock = test_net::Connect(m_port, "127.0.0.1");
               if (sock == test_net::kNone) return false;
               test_net::Close(sock);
               return true;
           });
}

void Mosquitto::Stop() {
    if (!m_process) return;
    m_process->Signal(SIGTERM);
    m_process->WaitForExit(std::chrono::seconds(5));
    m_process.reset();
}

std::map<std::string, std::string> RetainedMessages(int port, const std::string& filter,
                                                    int count) {
    // Topic, a space, the payload: topics here hold no space.
    const std::string out =
        RunProgram("/usr/bin/mosquitto_sub",
                   {"-h", "127.0.0.1", "-p", std::to_string(port), "-t", filter, "-F", "%t %p",
                    "--retained-only", "-C", std::to_string(count), "-W", "5"})
            .out;
    std::map<std::string, std::string> messages;
    size_t from = 0;
    for (size_t end; (end = out.find('\n', from)) != std::string::npos; from = end + 1) {
        const size_t space = out.find(' ', from);
        if (space < end)
            messages[out.substr(from, space - from)] = out.substr(space + 1, end - space - 1);
    }
    return messages;
}
