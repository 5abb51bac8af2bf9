#pragma once

#include "platform/Winsock.h"

// Something another thread can wait on among the sockets of a wait (wsock::WSAPoll): Set makes
// it readable until Reset. An eventfd on Linux; on Windows, whose wait takes sockets only, a
// loopback datagram socket that Set sends a datagram to itself from.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // False when the system could not make it.
    bool IsValid() const { return m_handle != wsock::kInvalidSocket; }
    wsock::Socket Handle() const { return m_handle; }
    void Set();
    void Reset();

private:
    wsock::Socket m_handle = wsock::kInvalidSocket;
};
