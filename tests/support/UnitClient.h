#pragma once

#include <chrono>
#include <string>

// A unit on 127.0.0.1, run on a thread of its own while the test serves the window's events
// (the server waits for the UI thread at each report).

struct UnitScript {
    std::string frame{};  // sent first
    std::chrono::milliseconds pauseBeforeRest{0};
    std::string rest{};  // sent after the pause, if any
    bool closeAfterSending = false;
    bool resetInsteadOfReading = false;
};

struct UnitResult {
    bool connected = false;
    std::string reply;   // everything read until the server closed (or the time-out)
    bool reset = false;  // the server's close reset the connection instead of ending it
};

UnitResult RunUnit(int port, const UnitScript& script, int timeoutMs = 5000);
// The same on the calling thread, for threads other than the UI thread.
UnitResult RunUnitHere(int port, const UnitScript& script, int timeoutMs);
// The common case: one frame, the reply.
std::string Exchange(int port, const std::string& frame);

// A connected socket that sends nothing until closed; for tests of a unit that stalls.
class IdleUnit {
public:
    explicit IdleUnit(int port);
    ~IdleUnit();
    IdleUnit(const IdleUnit&) = delete;
    IdleUnit& operator=(const IdleUnit&) = delete;
    bool Connected() const { return m_sock >= 0; }
    // Whether a byte or the close arrives within the time, the UI served meanwhile.
    bool Readable(int timeoutMs = 5000) const;
    // Sends bytes and reads the reply on this thread (the UI must be served meanwhile).
    int Socket() const { return m_sock; }

private:
    int m_sock = -1;
};
