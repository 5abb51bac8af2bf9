#include "ui/wnd/UiThread.h"

#include "ui/wnd/UiQueue.h"

#include <QSocketNotifier>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace {

constexpr int kServePollMs = 50;

struct Pending {
    std::function<void()> work;
    bool* finished;  // null for a posted call
};

class EventQueue : public UiQueue {
public:
    explicit EventQueue(int event)
        : m_uiThread(std::this_thread::get_id()),
          m_event(event),
          m_notifier(std::make_unique<QSocketNotifier>(m_event, QSocketNotifier::Read)) {
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated,
                         [] { UiThread::RunPending(); });
    }
    ~EventQueue() override {
        m_notifier.reset();
        ::close(m_event);
    }

    bool IsUiThread() const override { return std::this_thread::get_id() == m_uiThread; }

    void Send(const std::function<void()>& work) override {
        bool finished = false;
        Push({work, &finished});
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return finished; });
    }

    void Post(std::function<void()> work) override { Push({std::move(work), nullptr}); }

    void Wake() override {
        uint64_t one = 1;
        // A full counter still wakes the reader, so a failed write loses nothing.
        (void)!::write(m_event, &one, sizeof one);
    }

    void Drain() override {
        uint64_t count;
        (void)!::read(m_event, &count, sizeof count);
        for (;;) {
            Pending next;
            {
                std::lock_guard lock(m_mutex);
                if (m_items.empty()) return;
                next = std::move(m_items.front());
                m_items.pop_front();
            }
            next.work();
            if (next.finished != nullptr) {
                std::lock_guard lock(m_mutex);
                *next.finished = true;
                m_done.notify_all();
            }
        }
    }

    void WaitForWork() override {
        pollfd entry{m_event, POLLIN, 0};
        (void)::poll(&entry, 1, kServePollMs);
    }

private:
    void Push(Pending pending) {
        bool wasEmpty;
        {
            std::lock_guard lock(m_mutex);
            wasEmpty = m_items.empty();
            m_items.push_back(std::move(pending));
        }
        // One wake-up per batch: the UI thread drains the queue until it is empty.
        if (wasEmpty) Wake();
    }

    std::thread::id m_uiThread;
    int m_event;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<Pending> m_items;
};

}  // namespace

std::unique_ptr<UiQueue> UiQueue::Make() {
    int event = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (event < 0) return nullptr;
    return std::make_unique<EventQueue>(event);
}
