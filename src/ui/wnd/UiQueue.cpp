#include "ui/wnd/UiQueue.h"

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
