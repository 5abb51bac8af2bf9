#pragma once

#include <string_view>

inline constexpr int kMinPort = 1024;
inline constexpr int kMaxPort = 65535;

// The port as atoi reads it (leading blanks skipped, a sign, then digits; no digits give 0),
// without overflow: a number too long for any port reads as kMaxPort + 1.
int ParsePortText(std::string_view text);
