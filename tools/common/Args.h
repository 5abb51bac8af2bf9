#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nr::tools {

// "01", "1", "0x1f", "FA": one or two hex digits, an optional 0x.
std::optional<std::uint8_t> ParseHexByte(std::string_view text);
std::optional<std::uint64_t> ParseWhole(std::string_view text, std::uint64_t min,
                                        std::uint64_t max);
std::optional<double> ParseDecimal(std::string_view text, double min, double max);

// Option values in a range, refused with the tools' own message ("--port: expected a whole
// number from 1 to 65535, got '0'"). They hand CLI11 the value in plain decimal, so that its
// own conversion never reads "010" as octal.
CLI::Validator WholeNumber(std::uint64_t min, std::uint64_t max);
CLI::Validator DecimalNumber(double min, double max);

enum class ArgsVerdict { kRun, kHelp, kUsageError };

template <typename Options>
struct ParsedArgs {
    ArgsVerdict verdict = ArgsVerdict::kRun;
    Options options;
    std::string error;
};

// CLI11 the tools' way: --help or -h anywhere asks for the usage, an option given twice takes
// the last value, and an argument nothing takes is refused by name.
class ArgParser : public CLI::App {
public:
    ArgParser();
    // On a usage error *error has the problem on one line.
    ArgsVerdict Parse(int argc, char** argv, std::string* error);
};

// --help prints the usage on stdout and gives exit status 0; a usage error prints
// "tool: error" and the usage on stderr and gives 2.
int ReportUsage(std::string_view tool, std::string_view usage, ArgsVerdict verdict,
                std::string_view error);

}  // namespace nr::tools
