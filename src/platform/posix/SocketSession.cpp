#include "platform/SocketSession.h"

#include <cerrno>
#include <csignal>

// Sockets need no start here; what is left is that a peer going away while something is
// written to it must not end the process, whatever call writes.
SocketSession::SocketSession() {
    if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) m_error = errno;
}

SocketSession::~SocketSession() = default;
