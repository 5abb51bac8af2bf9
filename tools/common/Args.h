#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace nr::tools {

// "01", "1", "0x1f", "FA": one or two hex digits, an optional 0x.
std::optional<std::uint8_t> ParseHexByte(std::string_view text);
std::optional<std::uint64_t> ParseWhole(std::string_view text, std::uint64_t min,
                                        std::uint64_t max);
std::optional<double> ParseDecimal(std::string_view text, double min, double max);

// Walks the arguments in order: options with a value ("--port 10003"), flags and positional
// arguments. The first problem is kept as a one-line message; after it Next() returns false.
class ArgScanner {
public:
    ArgScanner(int argc, char** argv);

    bool Next();
    std::string_view Current() const { return m_current; }
    bool CurrentIsOption() const { return m_current.size() > 1 && m_current.front() == '-'; }
    bool CurrentIsHelp() const { return m_current == "--help" || m_current == "-h"; }

    // The argument that follows the current option.
    std::optional<std::string_view> Value();
    std::optional<std::uint64_t> WholeValue(std::uint64_t min, std::uint64_t max);
    std::optional<double> DecimalValue(double min, double max);

    void Fail(std::string message);
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }

private:
    std::span<char* const> m_args;
    std::size_t m_next = 0;
    std::string_view m_current;
    std::string m_error;
};

enum class ArgsVerdict { kRun, kHelp, kUsageError };

template <typename Options>
struct ParsedArgs {
    ArgsVerdict verdict = ArgsVerdict::kRun;
    Options options;
    std::string error;
};

// --help prints the usage on stdout and gives exit status 0; a usage error prints
// "tool: error" and the usage on stderr and gives 2.
int ReportUsage(std::string_view tool, std::string_view usage, ArgsVerdict verdict,
                std::string_view error);

}  // namespace nr::tools
