#include "mqtt/PublisherInbox.h"

#include <algorithm>

void PublisherInbox::Put(PublishEvent event) {
    std::lock_guard lock(m_mutex);
    if (m_events.size() >= m_capacity) {
        if (m_events.front().kind == PublishEvent::kReport) {
            --m_reports;
            ++m_dropped;
        }
        m_events.pop_front();
    }
    if (event.kind == PublishEvent::kReport) ++m_reports;
    m_events.push_back(std::move(event));
}

void PublisherInbox::Take(std::vector<PublishEvent>& into, size_t max) {
    std::lock_guard lock(m_mutex);
    const size_t count = std::min(max, m_events.size());
    for (size_t i = 0; i < count; ++i) {
        if (m_events.front().kind == PublishEvent::kReport) --m_reports;
        into.push_back(std::move(m_events.front()));
        m_events.pop_front();
    }
}

void PublisherInbox::Clear() {
    std::lock_guard lock(m_mutex);
    m_events.clear();
    m_reports = 0;
}

size_t PublisherInbox::WaitingReports() const {
    std::lock_guard lock(m_mutex);
    return m_reports;
}

uint64_t PublisherInbox::DroppedReports() const {
    std::lock_guard lock(m_mutex);
    return m_dropped;
}
