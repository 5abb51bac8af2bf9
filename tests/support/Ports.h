#pragma once

// A TCP socket on a port the system chose, held for as long as this lives: bound on 127.0.0.1
// alone (connections to it are refused), listening there (connections complete, and nothing
// answers until accepted), or listening on every address as another program's server would.
class HeldPort {
public:
    enum class Kind { kBoundOnly, kListening, kListeningEverywhere };
    explicit HeldPort(Kind kind = Kind::kBoundOnly);
    ~HeldPort();
    HeldPort(const HeldPort&) = delete;
    HeldPort& operator=(const HeldPort&) = delete;

    int Port() const { return m_port; }
    int Socket() const { return m_sock; }

private:
    int m_sock;
    int m_port = 0;
};

// A free TCP port on 127.0.0.1 at the time of asking.
inline int FreePort() {
    return HeldPort().Port();
}
