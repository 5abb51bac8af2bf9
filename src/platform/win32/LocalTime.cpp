#include "platform/LocalTime.h"

std::tm LocalTimeOf(std::time_t moment) {
    std::tm local{};
    localtime_s(&local, &moment);
    return local;
}
