#pragma once

// How long a unit may stay quiet before it is marked silent, in seconds; 0 marks none. Off
// unless the operator sets it: many units report only when an input changes.
inline constexpr int kDefaultSilentSeconds = 0;
// Six digits, a little over eleven days.
inline constexpr int kMaxSilentSeconds = 999999;
inline constexpr int kMaxSilentDigits = 6;
