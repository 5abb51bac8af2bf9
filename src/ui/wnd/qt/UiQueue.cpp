#include "ui/wnd/UiQueue.h"

#include "platform/WakeEvent.h"
#include "platform/Winsock.h"

#include <QSocketNotifier>
#include <QTimer>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int kServePollMs = 50;

class EventQueue : public UiQueue {
public:
    EventQueue()
        : m_uiThread(std::this_thread::get_id()),
          m_notifier(std::make_unique<QSocketNotifier>(static_cast<qintptr>(m_event.Handle()),
                                                       QSocketNotifier::Read)) {
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] {
            m_event.Reset();
            Drain();
        });
        m_rest.setSingleShot(true);
        m_rest.setInterval(kRestMs);
        QObject::connect(&m_rest, &QTimer::timeout, [this] { Drain(); });
    }

    bool IsReady() const { return m_event.IsValid(); }
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

    void Wake() override { m_event.Set(); }

    void WaitForWork() override {
        wsock::PollEntry entry{m_event.Handle()};
        if (wsock::WSAPoll(&entry, 1, kServePollMs) > 0) m_event.Reset();
    }

protected:
    void WakeToDrain() override { Wake(); }
    void Rest() override { m_rest.start(); }

private:
    std::thread::id m_uiThread;
    WakeEvent m_event;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QTimer m_rest;
    std::mutex m_doneMutex;
    std::condition_variable m_done;
};

}  // namespace

std::unique_ptr<UiQueue> UiQueue::Make() {
    auto queue = std::make_unique<EventQueue>();
    return queue->IsReady() ? std::move(queue) : nullptr;
}
