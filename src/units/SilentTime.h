#pragma once

#include <charconv>
#include <optional>
#include <string_view>

// How long a unit may stay quiet before it is marked silent, in seconds; 0 marks none. Off
// unless the operator sets it: many units report only when an input changes.
inline constexpr int kDefaultSilentSeconds = 0;
// Six digits, a little over eleven days.
inline constexpr int kMaxSilentSeconds = 999999;
inline constexpr int kMaxSilentDigits = 6;

// Digits alone, six at most: a file's value or what the operator typed; nullopt for anything
// else.
inline std::optional<int> ParseSilentSeconds(std::string_view text) {
    int seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        text.size() > kMaxSilentDigits || text[0] == '-') {
        return std::nullopt;
    }
    return seconds;
}
