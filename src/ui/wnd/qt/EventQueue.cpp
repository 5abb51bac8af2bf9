#include "ui/wnd/UiQueue.h"

#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int kServePollMs = 50;

class EventQueue : public UiQueue {
public:
    explicit EventQueue(int event)
        : m_uiThread(std::this_thread::get_id()),
          m_event(event),
          m_notifier(std::make_unique<QSocketNotifier>(m_event, QSocketNotifier::Read)) {
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            TakeWake();
            Drain();
        });
        m_rest.setSingleShot(true);
        m_rest.setInterval(kRestMs);
        QObject::connect(&m_rest, &QTimer::timeout, [this] { Drain(); });
    }
    ~EventQueue() override {
        m_notifier.reset();
        ::close(m_event);
    }

    bool IsUiThread() const override { return std::this_thread::get_id() == m_uiThread; }

    void Send(const std::function<void()>& work) override {
        bool finished = false;
        PostUrgent([&] {
            work();
            std::lock_guard lock(m_doneMutex);
            finished = true;
            m_done.notify_all();
        });
        std::unique_lock lock(m_doneMutex);
        m_done.wait(lock, [&] { return finished; });
    }

    void Wake() override {
        uint64_t one = 1;
        // A full counter still wakes the reader, so a failed write loses nothing.
        (void)!::write(m_event, &one, sizeof one);
    }

    void WaitForWork() override {
        pollfd entry{m_event, POLLIN, 0};
        if (::poll(&entry, 1, kServePollMs) > 0) TakeWake();
    }

protected:
    void WakeToDrain() override { Wake(); }
    void Rest() override { m_rest.start(); }

private:
    void TakeWake() {
        uint64_t count;
        (void)!::read(m_event, &count, sizeof count);
    }

    std::thread::id m_uiThread;
    int m_event;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_rest;
    std::mutex m_doneMutex;
    std::condition_variable m_done;
};

}  // namespace

std::unique_ptr<UiQueue> UiQueue::Make() {
    int event = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (event < 0) return nullptr;
    return std::make_unique<EventQueue>(event);
}
