#include "ui/wnd/UiThread.h"

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

class Queue {
public:
    explicit Queue(int event)
        : m_uiThread(std::this_thread::get_id()),
          m_event(event),
          m_notifier(std::make_unique<QSocketNotifier>(m_event, QSocketNotifier::Read)) {
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated,
                         [] { UiThread::RunPending(); });
    }
    ~Queue() {
        m_notifier.reset();
        ::close(m_event);
    }

    bool IsUiThread() const { return std::this_thread::get_id() == m_uiThread; }

    void Push(Pending pending) {
        bool wasEmpty;
        {
            std::lock_guard lock(m_mutex);
            wasEmpty = m_items.empty();
            m_items.push_back(std::move(pending));
        }
        // One wake-up per batch: the UI thread drains the queue until it is empty.
        if (wasEmpty) Signal();
    }

    void Wait(const bool& finished) {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [&] { return finished; });
    }

    void Signal() {
        uint64_t one = 1;
        // A full counter still wakes the reader, so a failed write loses nothing.
        (void)!::write(m_event, &one, sizeof one);
    }

    void Drain() {
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

    void WaitForSignal() {
        pollfd entry{m_event, POLLIN, 0};
        (void)::poll(&entry, 1, kServePollMs);
    }

private:
    std::thread::id m_uiThread;
    int m_event;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::deque<Pending> m_items;
};

std::unique_ptr<Queue> g_queue;

}  // namespace

void UiThread::Install() {
    // Without it no call from another thread would ever be run: IsInstalled tells start-up.
    int event = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (event >= 0) g_queue = std::make_unique<Queue>(event);
}

bool UiThread::IsInstalled() {
    return g_queue != nullptr;
}

void UiThread::Uninstall() {
    if (g_queue) g_queue->Drain();
    g_queue.reset();
}

bool UiThread::IsCurrent() {
    return !g_queue || g_queue->IsUiThread();
}

void UiThread::Call(const std::function<void()>& work) {
    if (IsCurrent()) {
        work();
        return;
    }
    bool finished = false;
    g_queue->Push({work, &finished});
    g_queue->Wait(finished);
}

void UiThread::Post(std::function<void()> work) {
    if (IsCurrent()) {
        work();
        return;
    }
    g_queue->Push({std::move(work), nullptr});
}

void UiThread::ServeUntil(const std::function<bool()>& done) {
    for (;;) {
        g_queue->Drain();
        if (done()) return;
        g_queue->WaitForSignal();
    }
}

void UiThread::Wake() {
    if (g_queue) g_queue->Signal();
}

void UiThread::RunPending() {
    if (g_queue) g_queue->Drain();
}
