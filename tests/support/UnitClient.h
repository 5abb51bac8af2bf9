#pragma once

#include "support/TestSockets.h"

#include <chrono>
#include <string>
#include <vector>

// What a unit on a loopback address does: sends its pieces 50 ms apart, ends its sending if
// asked, and reads the reply until the server closes; or resets the connection instead of reading.
struct UnitScript {
    std::vector<std::string> pieces;
    bool closeAfterSending = false;
    bool resetInsteadOfReading = false;
    const char* from = "127.0.0.1";
};

struct UnitResult {
    std::string reply;   // everything read until the server closed (or the time-out)
    bool reset = false;  // the server's close reset the connection instead of ending it
    std::chrono::steady_clock::time_point repliedAt;  // when the first reply byte came
};

// On the calling thread: the UI thread runs it through Served().
UnitResult RunUnit(int port, const UnitScript& script, int timeoutMs = 5000);
// The common case, from the UI thread: one frame, the reply.
std::string Exchange(int port, const std::string& frame);

// A connected socket that sends nothing until told to or closed: a unit that stalls.
class IdleUnit {
public:
    explicit IdleUnit(int port);
    ~IdleUnit();
    IdleUnit(const IdleUnit&) = delete;
    IdleUnit& operator=(const IdleUnit&) = delete;
    bool Connected() const { return m_sock != test_net::kNone; }
    test_net::Handle Socket() const { return m_sock; }
    // Whether a byte or the close arrives within the time, the UI served meanwhile.
    bool Readable(int timeoutMs = 5000) const;
    // How the server ends the connection, with no reply before, within 5 s: kClosed, kReset,
    // or kTimedOut.
    test_net::Received Ending() const;

private:
    test_net::Handle m_sock;
};
