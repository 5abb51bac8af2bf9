#pragma once

#include "support/TempFolder.h"
#include "support/posix/ChildProcess.h"

#include <map>
#include <memory>
#include <string>

// Debian's broker on a port of 127.0.0.1, with a configuration of its own and nothing kept on
// disk; it ends with this.
class Mosquitto {
public:
    explicit Mosquitto(int port);
    // False when it does not listen within seconds.
    bool Start();
    void Stop();
    int Port() const { return m_port; }

private:
    TempFolder m_folder;
    const int m_port;
    std::unique_ptr<ChildProcess> m_process;
};

// The retained messages under a topic filter, payload by topic, as Debian's subscriber gets
// them; it waits for count of them, or a few seconds.
std::map<std::string, std::string> RetainedMessages(int port, const std::string& filter, int count);
