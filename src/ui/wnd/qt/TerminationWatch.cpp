#include "ui/wnd/TerminationWatch.h"

#include "platform/TerminationSignals.h"
#include "platform/WakeEvent.h"

#include <QApplication>
#include <QSocketNotifier>

struct TerminationWatch::Watch {
    QSocketNotifier notifier{static_cast<qintptr>(TerminationSignals::Event().Handle()),
                             QSocketNotifier::Read};
    std::function<void()> onSignal;
};

bool TerminationWatch::CanWatch() {
    return TerminationSignals::AreCaught();
}

TerminationWatch::TerminationWatch(std::function<void()> onSignal)
    : m_watch(std::make_unique<Watch>()) {
    m_watch->onSignal = std::move(onSignal);
    QObject::connect(&m_watch->notifier, &QSocketNotifier::activated, [watch = m_watch.get()] {
        TerminationSignals::Event().Reset();
        QApplication::closeAllWindows();
        watch->onSignal();
    });
}

TerminationWatch::~TerminationWatch() = default;
