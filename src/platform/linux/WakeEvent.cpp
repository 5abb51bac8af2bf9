#include "platform/WakeEvent.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

WakeEvent::WakeEvent() {
    int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd >= 0) m_handle = static_cast<wsock::Socket>(fd);
}

WakeEvent::~WakeEvent() {
    if (IsValid()) ::close(static_cast<int>(m_handle));
}

void WakeEvent::Set() {
    const uint64_t one = 1;
    // Fails only when the counter is full, and then it is readable already.
    (void)!::write(static_cast<int>(m_handle), &one, sizeof one);
}

void WakeEvent::Reset() {
    uint64_t count;
    // Fails only when nothing was set, which is what Reset wants.
    (void)!::read(static_cast<int>(m_handle), &count, sizeof count);
}
