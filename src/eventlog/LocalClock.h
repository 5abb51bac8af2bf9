#pragma once

#include <ctime>

// The local date and time that log rows carry. Tests replace it to fix the time.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual std::tm Now() const = 0;

    static const LocalClock& Current();
    // nullptr puts the system clock back.
    static void Replace(const LocalClock* clock);
};
