#include "ui/wnd/TerminationSignals.h"

#include <QApplication>
#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>

namespace {

int g_signalEvent = -1;
bool g_caught = false;

void OnSignal(int) {
    uint64_t one = 1;
    // Only async-signal-safe calls here; a full counter still wakes the reader.
    (void)!::write(g_signalEvent, &one, sizeof one);
}

bool CatchOne(int signal) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(signal, &action, nullptr) == 0;
}

}  // namespace

void TerminationSignals::Catch() {
    g_signalEvent = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    g_caught = g_signalEvent >= 0 && CatchOne(SIGINT) && CatchOne(SIGTERM);
}

bool TerminationSignals::AreCaught() {
    return g_caught;
}

struct TerminationSignals::Watch {
    QSocketNotifier notifier{g_signalEvent, QSocketNotifier::Read};
    std::function<void()> onSignal;
};

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : m_watch(std::make_unique<Watch>()) {
    m_watch->onSignal = std::move(onSignal);
    QObject::connect(&m_watch->notifier, &QSocketNotifier::activated, [watch = m_watch.get()] {
        uint64_t count;
        (void)!::read(g_signalEvent, &count, sizeof count);
        QApplication::closeAllWindows();
        watch->onSignal();
    });
}

TerminationSignals::~TerminationSignals() = default;
