#pragma once

#include "server/Report.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

// What waits to be published, in the order it happened.
struct PublishEvent {
    enum Kind { kReport, kSilent, kReporting };
    Kind kind = kReport;
    Report report;  // of a silence or a return, only the address
};

// Events wait here, in memory, for as long as the broker is away. Beyond the capacity the
// oldest go, and the reports among them are counted.
class PublisherInbox {
public:
    explicit PublisherInbox(size_t capacity) : m_capacity(capacity) {}

    // Any thread; holds the lock only to append.
    void Put(PublishEvent event);
    // The oldest, at most max of them, appended to into.
    void Take(std::vector<PublishEvent>& into, size_t max);
    void Clear();

    size_t WaitingReports() const;
    uint64_t DroppedReports() const;

private:
    const size_t m_capacity;
    mutable std::mutex m_mutex;
    std::deque<PublishEvent> m_events;
    size_t m_reports = 0;
    uint64_t m_dropped = 0;
};
