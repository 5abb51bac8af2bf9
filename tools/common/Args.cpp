#include "Args.h"

#include <charconv>
#include <cstdio>
#include <vector>

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

CLI::Validator WholeNumber(std::uint64_t min, std::uint64_t max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            const auto value = ParseWhole(text, min, max);
            if (!value) {
                return "expected a whole number from " + std::to_string(min) + " to " +
                       std::to_string(max) + ", got '" + text + "'";
            }
            text = std::to_string(*value);
            return {};
        },
        "");
}

CLI::Validator DecimalNumber(double min, double max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            const auto value = ParseDecimal(text, min, max);
            if (!value) {
                char range[64];
                std::snprintf(range, sizeof range, "from %g to %g", min, max);
                return std::string("expected a number ") + range + ", got '" + text + "'";
            }
            char plain[64];
            const auto written = std::to_chars(plain, plain + sizeof plain, *value);
            text.assign(plain, written.ptr);
            return {};
        },
        "");
}

ArgParser::ArgParser() {
    allow_extras();
    option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

ArgsVerdict ArgParser::Parse(int argc, char** argv, std::string* error) {
    try {
        parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return ArgsVerdict::kHelp;
    } catch (const CLI::ParseError& failure) {
        *error = failure.what();
        return ArgsVerdict::kUsageError;
    }
    const std::vector<std::string> extras = remaining();
    if (extras.empty()) return ArgsVerdict::kRun;
    const std::string& extra = extras.front();
    const bool option = extra.size() > 1 && extra.front() == '-';
    *error = (option ? "unknown option " : "unexpected argument ") + extra;
    return ArgsVerdict::kUsageError;
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
