#include "Args.h"

#include <charconv>
#include <cstdio>

namespace nr::tools {

std::optional<std::uint8_t> ParseHexByte(std::string_view text) {
    if (text.starts_with("0x") || text.starts_with("0X")) text.remove_prefix(2);
    if (text.empty() || text.size() > 2) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::optional<std::uint64_t> ParseWhole(std::string_view text, std::uint64_t min,
                                        std::uint64_t max) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (value < min || value > max) return std::nullopt;
    return value;
}

std::optional<double> ParseDecimal(std::string_view text, double min, double max) {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    // Written this way round so that NaN fails too.
    if (!(value >= min && value <= max)) return std::nullopt;
    return value;
}

ArgScanner::ArgScanner(int argc, char** argv)
    : m_args(argv + 1, argc > 1 ? static_cast<std::size_t>(argc - 1) : 0) {}

bool ArgScanner::Next() {
    if (Failed() || m_next == m_args.size()) return false;
    m_current = m_args[m_next++];
    return true;
}

std::optional<std::string_view> ArgScanner::Value() {
    if (m_next == m_args.size()) {
        Fail(std::string(m_current) + " needs a value");
        return std::nullopt;
    }
    return std::string_view(m_args[m_next++]);
}

std::optional<std::uint64_t> ArgScanner::WholeValue(std::uint64_t min, std::uint64_t max) {
    const std::string option(m_current);
    const auto text = Value();
    if (!text) return std::nullopt;
    const auto value = ParseWhole(*text, min, max);
    if (!value) {
        Fail(option + ": expected a whole number from " + std::to_string(min) + " to " +
             std::to_string(max) + ", got '" + std::string(*text) + "'");
    }
    return value;
}

std::optional<double> ArgScanner::DecimalValue(double min, double max) {
    const std::string option(m_current);
    const auto text = Value();
    if (!text) return std::nullopt;
    const auto value = ParseDecimal(*text, min, max);
    if (!value) {
        char range[64];
        std::snprintf(range, sizeof range, "from %g to %g", min, max);
        Fail(option + ": expected a number " + range + ", got '" + std::string(*text) + "'");
    }
    return value;
}

void ArgScanner::Fail(std::string message) {
    if (!Failed()) m_error = std::move(message);
}

int ReportUsage(std::string_view tool, std::string_view usage, ArgsVerdict verdict,
                std::string_view error) {
    if (verdict == ArgsVerdict::kHelp) {
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return 0;
    }
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(tool.size()), tool.data(),
                 static_cast<int>(error.size()), error.data());
    std::fwrite(usage.data(), 1, usage.size(), stderr);
    return 2;
}

}  // namespace nr::tools
