#pragma once

#include <ctime>

// The local date and time of a moment, safe on any thread (each system has its own call).
std::tm LocalTimeOf(std::time_t moment);

// How far local time was ahead of UTC at that moment, in seconds (daylight saving included).
long UtcOffsetOf(std::time_t moment);
