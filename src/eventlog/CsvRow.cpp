#include "eventlog/CsvRow.h"

#include "Strings.h"

namespace {

constexpr char kDateTimePattern[] = "%Y/%m/%d,%H:%M:%S";
constexpr size_t kDateTimeBufferSize = 128;

}  // namespace

std::string FormatCsvHeader(const std::array<std::string, kDiChannels>& names) {
    // The fixed part is the format up to its first conversion.
    std::string_view format(kFormatCsvHeader);
    std::string header(format.substr(0, format.find('%')));
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
