#include "support/Ports.h"

#include <stdexcept>

HeldPort::HeldPort(Kind kind) : m_sock(test_net::Hold(kind == Kind::kListening, &m_port)) {
    if (m_sock == test_net::kNone) throw std::runtime_error("cannot hold a test port");
}

HeldPort::~HeldPort() {
    test_net::Close(m_sock);
}
