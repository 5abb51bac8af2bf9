#pragma once

// An eventfd another thread can wait on in a poll set: Set makes it readable until Reset.
class WakeEvent {
public:
    WakeEvent();
    ~WakeEvent();
    WakeEvent(const WakeEvent&) = delete;
    WakeEvent& operator=(const WakeEvent&) = delete;

    // False when the system could not make the descriptor.
    bool IsValid() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    void Set();
    void Reset();

private:
    int m_fd;
};
