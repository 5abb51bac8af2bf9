#include "platform/LocalTime.h"

std::tm LocalTimeOf(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}

long UtcOffsetOf(std::time_t moment) {
    // The local fields read as if they were UTC, less the moment itself.
    std::tm local = LocalTimeOf(moment);
    return static_cast<long>(_mkgmtime(&local) - moment);
}
