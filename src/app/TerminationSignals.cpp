#include "app/TerminationSignals.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>
#include <cstdint>

namespace {

int g_signalEvent = -1;

void OnSignal(int) {
    uint64_t one = 1;
    // Only async-signal-safe calls here; a full counter still wakes the reader.
    (void)!::write(g_signalEvent, &one, sizeof one);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : m_onSignal(std::move(onSignal)) {
    g_signalEvent = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (g_signalEvent < 0) return;
    m_notifier = std::make_unique<QSocketNotifier>(g_signalEvent, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
        uint64_t count;
        (void)!::read(g_signalEvent, &count, sizeof count);
        m_onSignal();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    m_notifier.reset();
    if (g_signalEvent >= 0) ::close(g_signalEvent);
    g_signalEvent = -1;
}
