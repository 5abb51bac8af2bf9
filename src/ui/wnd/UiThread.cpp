#include "ui/wnd/UiThread.h"

#include "ui/wnd/UiQueue.h"

namespace {

std::unique_ptr<UiQueue> g_queue;

}  // namespace

void UiQueue::Post(std::function<void()> work) {
    bool wake;
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(std::move(work));
        wake = m_state == State::kIdle;
        if (wake) m_state = State::kWakePending;
    }
    if (wake) WakeToDrain();
}

void UiQueue::PostUrgent(std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(std::move(work));
        if (m_state == State::kIdle) m_state = State::kWakePending;
    }
    WakeToDrain();
}

void UiQueue::Drain() {
    size_t count;
    {
        std::lock_guard lock(m_mutex);
        count = m_items.size();
        // Nothing came during the rest: the next post wakes the UI thread again.
        m_state = count == 0 ? State::kIdle : State::kResting;
    }
    if (count == 0) return;
    Rest();
    // Only what is here now: work posted meanwhile waits for the rest to end, or a busy worker
    // would keep the UI thread here and nothing would be painted. One at a time, so that a
    // drain nested in a modal loop of one of them keeps the order.
    for (; count > 0; --count) {
        std::function<void()> next;
        {
            std::lock_guard lock(m_mutex);
            if (m_items.empty()) return;
            next = std::move(m_items.front());
            m_items.pop_front();
        }
        next();
    }
}

void UiThread::Install() {
    // Without it no call from another thread would ever be run: IsInstalled tells start-up.
    g_queue = UiQueue::Make();
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
    g_queue->Send(work);
}

void UiThread::Post(std::function<void()> work) {
    if (IsCurrent()) {
        work();
        return;
    }
    g_queue->Post(std::move(work));
}

void UiThread::ServeUntil(const std::function<bool()>& done) {
    for (;;) {
        g_queue->Drain();
        if (done()) return;
        g_queue->WaitForWork();
    }
}

void UiThread::Wake() {
    if (g_queue) g_queue->Wake();
}

void UiThread::RunPending() {
    if (g_queue) g_queue->Drain();
}
