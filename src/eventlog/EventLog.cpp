#include "eventlog/EventLog.h"

#include "Strings.h"
#include "eventlog/CsvRow.h"
#include "platform/CStdioFile.h"
#include "platform/LocalTime.h"
#include "platform/PathText.h"
#include "server/Report.h"

EventLog::EventLog(std::string homeFolder, ServerListener& alerts)
    : m_homeFolder(std::move(homeFolder)), m_alerts(alerts) {}

void EventLog::SetNames(const Names& names) {
    std::lock_guard lock(m_namesMutex);
    m_names = names;
}

void EventLog::WriteLogRecord(const Report& report) {
    if (!m_logging) return;
    CStdioFile file;
    // Exclusive, so that no other writer's rows interleave with ours.
    if (!file.Open(ResolvePath(m_file.Get(), m_homeFolder),
                   CStdioFile::modeCreate | CStdioFile::modeNoTruncate | CStdioFile::modeWrite |
                       CStdioFile::shareExclusive)) {
        m_alerts.OnAlert(kTextLogOpenFailed);
        return;
    }
    // Taken before the names are read: an edit made meanwhile asks for the next header.
    const bool headerPending = m_headerPending.exchange(false);
    if (headerPending || file.GetLength() == 0) {
        std::lock_guard lock(m_namesMutex);
        file.WriteString(FormatCsvHeader(m_names));
    }
    bool states[kDiChannels];
    for (int i = 0; i < kDiChannels; ++i) states[i] = report.Input(i);
    file.WriteString(FormatCsvRow(LocalTimeOf(report.time), report.unitAddress, states));
    if (!file.Close()) {
        if (headerPending) m_headerPending = true;
        m_alerts.OnAlert(kTextLogWriteFailed);
    }
}
