#pragma once

#include <cstdint>
#include <ctime>
#include <string>

// Where a unit stands: reporting, silent for longer than the silent time, or known only from
// before this start.
enum class UnitStatus { kReporting, kSilent, kPrevious };

// What the table knows of one unit address.
struct UnitRow {
    std::string address;  // dotted IPv4
    uint8_t state = 0;    // the last report's state byte
    std::time_t time = 0;
    uint64_t count = 0;  // reports, also those before this start
    UnitStatus status = UnitStatus::kPrevious;

    bool operator==(const UnitRow&) const = default;
};
