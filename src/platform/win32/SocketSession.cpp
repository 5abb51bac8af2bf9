#include "platform/SocketSession.h"

#include <winsock2.h>

SocketSession::SocketSession() {
    WSADATA data;
    m_error = ::WSAStartup(MAKEWORD(2, 2), &data);
}

SocketSession::~SocketSession() {
    if (m_error == 0) ::WSACleanup();
}
