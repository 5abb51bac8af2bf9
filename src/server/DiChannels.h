#pragma once

#include <cstddef>

// A unit's digital inputs, DI1 to DI5: the low bits of its state byte, a column each in the
// CSV log and a name each in the settings file.
inline constexpr int kDiChannels = 5;

// An input's name in CP932 bytes: the edits take no more, and a longer one read from a
// settings file is cut.
inline constexpr size_t kDiNameLimitBytes = 20;
