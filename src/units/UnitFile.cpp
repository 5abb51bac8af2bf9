#include "units/UnitFile.h"

#include "platform/CStdioFile.h"

#include <charconv>
#include <cstdio>

namespace {

constexpr char kSeparator = ',';
constexpr int kFields = 4;

template <class Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

// No allocation: the list sorts a thousand rows by it at the screen's pace.
std::optional<uint32_t> ParseIpv4(std::string_view text) {
    uint32_t address = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at == end || *at++ != '.')) return std::nullopt;
        unsigned byte = 0;
        const auto [next, error] = std::from_chars(at, end, byte);
        // "010" would read as 10 here but as 8 to inet_addr: neither is an address we wrote.
        if (error != std::errc() || next - at > 3 || (next - at > 1 && *at == '0') || byte > 255) {
            return std::nullopt;
        }
        address = address << 8 | byte;
        at = next;
    }
    if (at != end) return std::nullopt;
    return address;
}

std::string FormatUnitFile(const std::vector<UnitRow>& rows) {
    std::string text;
    for (const UnitRow& row : rows) {
        char line[96];
        std::snprintf(line, sizeof line, "%s,%lld,%u,%llu\n", row.address.c_str(),
                      static_cast<long long>(row.time), static_cast<unsigned>(row.state),
                      static_cast<unsigned long long>(row.count));
        text += line;
    }
    return text;
}

std::optional<UnitRow> ParseUnitLine(std::string_view line) {
    const std::vector<std::string_view> fields = Split(line, kSeparator);
    if (fields.size() != kFields || !ParseIpv4(fields[0])) return std::nullopt;
    const std::optional<long long> time = ParseNumber<long long>(fields[1]);
    const std::optional<unsigned> state = ParseNumber<unsigned>(fields[2]);
    const std::optional<unsigned long long> count = ParseNumber<unsigned long long>(fields[3]);
    if (!time || !state || *state > 0xFF || !count) return std::nullopt;
    return UnitRow{std::string(fields[0]), static_cast<uint8_t>(*state),
                   static_cast<std::time_t>(*time), *count, UnitStatus::kPrevious};
}

std::vector<UnitRow> ReadUnitFile(const std::string& path) {
    std::vector<UnitRow> rows;
    CStdioFile file;
    if (!file.Open(path, CStdioFile::modeRead)) return rows;
    std::string line;
    while (file.ReadString(line)) {
        if (std::optional<UnitRow> row = ParseUnitLine(line)) rows.push_back(std::move(*row));
    }
    return rows;
}

bool WriteUnitFile(const std::string& path, const std::vector<UnitRow>& rows) {
    CStdioFile file;
    if (!file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite)) return false;
    file.WriteString(FormatUnitFile(rows));
    return file.Close();
}
