#pragma once

#include <ctime>

// The moment a report arrives. Tests replace it to fix the time.
class ReportClock {
public:
    virtual ~ReportClock() = default;
    virtual std::time_t Now() const = 0;

    static const ReportClock& Current();
    // nullptr puts the system clock back.
    static void Replace(const ReportClock* clock);
};
