#include "platform/WakeEvent.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WakeEvent::WakeEvent() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent() {
    if (m_fd >= 0) ::close(m_fd);
}

void WakeEvent::Set() {
    const uint64_t one = 1;
    // Fails only when the counter is full, and then it is readable already.
    (void)!::write(m_fd, &one, sizeof one);
}

void WakeEvent::Reset() {
    uint64_t count;
    // Fails only when nothing was set, which is what Reset wants.
    (void)!::read(m_fd, &count, sizeof count);
}
