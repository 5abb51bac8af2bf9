#include "eventlog/CsvRow.h"

#include "Strings.h"

namespace {

constexpr char kDateTimePattern[] = "%Y/%m/%d,%H:%M:%S";
constexpr size_t kDateTimeBufferSize = 128;

// The fixed part of the header: the format up to its first conversion.
std::string_view HeaderStart() {
    std::string_view format(kFormatCsvHeader);
    return format.substr(0, format.find('%'));
}

}  // namespace

bool IsCsvHeader(std::string_view line) {
    return line.starts_with(HeaderStart());
}

std::string FormatCsvHeader(const std::array<std::string, kDiChannels>& names) {
    std::string header(HeaderStart());
    for (int i = 0; i < kDiChannels; ++i) {
        if (i > 0) header += ',';
        header += names[i];
    }
    header += '\n';
    return header;
}

std::string FormatCsvRow(const std::tm& localTime, std::string_view peerAddress,
                         const bool (&states)[kDiChannels]) {
    char dateTime[kDateTimeBufferSize];
    size_t length = std::strftime(dateTime, sizeof dateTime, kDateTimePattern, &localTime);
    std::string row(dateTime, length);
    row += ',';
    row += peerAddress;
    for (bool state : states) row += state ? ",1" : ",0";
    row += '\n';
    return row;
}
