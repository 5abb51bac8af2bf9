#include "eventlog/WaitingRows.h"

#include "eventlog/CsvRow.h"
#include "platform/CStdioFile.h"

namespace {

// Marks the line that heads an empty log; every other line is the log's own.
constexpr char kHeaderIfEmpty = '#';

bool IsRow(const std::string& line) {
    return !line.empty() && line[0] != kHeaderIfEmpty && !IsCsvHeader(line);
}

}  // namespace

WaitingRows::WaitingRows(std::string path) : m_path(std::move(path)) {
    CStdioFile file;
    if (!file.Open(m_path, CStdioFile::modeRead)) return;
    std::string line;
    while (file.ReadString(line)) m_count += IsRow(line) ? 1 : 0;
}

bool WaitingRows::Append(std::string_view lines, const std::string& headerIfEmpty) {
    CStdioFile file;
    if (!file.Open(m_path, CStdioFile::modeCreate | CStdioFile::modeNoTruncate |
                               CStdioFile::modeWrite | CStdioFile::shareExclusive)) {
        return false;
    }
    if (file.GetLength() == 0) file.WriteString(kHeaderIfEmpty + headerIfEmpty);
    file.WriteString(lines);
    if (!file.Close()) return false;
    ++m_count;
    return true;
}

bool WaitingRows::WriteInto(CStdioFile& log) const {
    CStdioFile file;
    if (!file.Open(m_path, CStdioFile::modeRead)) return false;
    std::string line;
    std::string headerIfEmpty;
    bool first = true;
    while (file.ReadString(line)) {
        if (!line.empty() && line[0] == kHeaderIfEmpty) {
            headerIfEmpty = line.substr(1);
            continue;
        }
        if (first && log.GetLength() == 0 && !IsCsvHeader(line) && !headerIfEmpty.empty()) {
            log.WriteString(headerIfEmpty + "\n");
        }
        first = false;
        log.WriteString(line + "\n");
    }
    return !file.ReadFailed();
}

void WaitingRows::Clear() {
    CStdioFile::Remove(m_path);
    m_count = 0;
}
