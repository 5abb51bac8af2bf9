#pragma once

#include "server/ReportClock.h"

#include <string>

// Every report arrives at 2024-11-28 21:47:36 local time (each field of it differs from the
// others), while this lives.
class FixedClock : public ReportClock {
public:
    FixedClock() : m_now(Fixed()) { ReportClock::Replace(this); }
    ~FixedClock() override { ReportClock::Replace(nullptr); }
    // Made once, on the test's thread: mktime on the worker would race with the time zone's
    // set-up that Qt makes on the UI thread, behind a lock of the C library's that
    // ThreadSanitizer does not see.
    std::time_t Now() const override { return m_now; }

private:
    static std::time_t Fixed() {
        std::tm time{};
        time.tm_year = 2024 - 1900;
        time.tm_mon = 11 - 1;
        time.tm_mday = 28;
        time.tm_hour = 21;
        time.tm_min = 47;
        time.tm_sec = 36;
        time.tm_isdst = -1;
        return std::mktime(&time);
    }

    const std::time_t m_now;
};

// A log's header with the default names, and the row of a report of 0x13 from 127.0.0.1 at that
// time: the states read differently backwards.
inline const std::string kFixedHeaderStart =
    "\x93\xfa\x95\x74,\x8e\x9e\x8d\x8f,\x90\xda\x91\xb1\x8c\xb3IP\x83\x41\x83h\x83\x8c\x83X,";
inline const std::string kDefaultHeader = kFixedHeaderStart + "DI1,DI2,DI3,DI4,DI5\r\n";
inline const std::string kRow = "2024/11/28,21:47:36,127.0.0.1,1,1,0,0,1\r\n";
