#include "platform/LocalTime.h"

std::tm LocalTimeOf(std::time_t moment) {
    std::tm local{};
    localtime_r(&moment, &local);
    return local;
}

long UtcOffsetOf(std::time_t moment) {
    return LocalTimeOf(moment).tm_gmtoff;
}
