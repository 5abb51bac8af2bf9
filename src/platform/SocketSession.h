#pragma once

// Sockets for as long as this lives: the application makes one before its first socket. On
// Windows it starts Windows Sockets (WSAStartup and WSACleanup); elsewhere it keeps a peer that
// went away from ending the process (SIGPIPE).
class SocketSession {
public:
    SocketSession();
    ~SocketSession();
    SocketSession(const SocketSession&) = delete;
    SocketSession& operator=(const SocketSession&) = delete;

    // 0 when sockets can be used, else the error the start gave.
    int Error() const { return m_error; }

private:
    int m_error = 0;
};
