#include "eventlog/EventLog.h"

#include "Strings.h"
#include "eventlog/CsvRow.h"
#include "platform/CStdioFile.h"
#include "platform/LocalTime.h"
#include "platform/PathText.h"
#include "server/Report.h"
#include "server/Trace.h"
#include "settings/HomeFiles.h"

EventLog::EventLog(std::string homeFolder, ServerListener& events)
    : m_homeFolder(std::move(homeFolder)),
      m_events(events),
      m_waiting(JoinPath(m_homeFolder, kWaitingRowsFileName)),
      m_waitingCount(m_waiting.Count()) {}

void EventLog::SetNames(const Names& names) {
    std::lock_guard lock(m_namesMutex);
    m_names = names;
}

std::string EventLog::Header() {
    std::lock_guard lock(m_namesMutex);
    return FormatCsvHeader(m_names);
}

void EventLog::WriteLogRecord(const Report& report) {
    if (!m_logging) return;
    bool states[kDiChannels];
    for (int i = 0; i < kDiChannels; ++i) states[i] = report.Input(i);
    const std::string row = FormatCsvRow(LocalTimeOf(report.time), report.unitAddress, states);
    std::lock_guard lock(m_fileMutex);
    // Taken before the names are read: an edit made meanwhile asks for the next header.
    const bool headerDue = m_headerPending.exchange(false);
    if (const char* failure = AppendToFile(row, headerDue)) {
        Wait(headerDue ? Header() + row : row);
        Tell(failure);
    }
}

const char* EventLog::AppendToFile(const std::string& lines, bool headerDue) {
    CStdioFile file;
    // Exclusive, so that no other writer's rows interleave with ours.
    if (!file.Open(ResolvePath(m_file.Get(), m_homeFolder),
                   CStdioFile::modeCreate | CStdioFile::modeNoTruncate | CStdioFile::modeWrite |
                       CStdioFile::shareExclusive)) {
        return kTextLogOpenFailed;
    }
    const size_t moving = m_waiting.Count();
    if (moving > 0 && !m_waiting.WriteInto(file)) return kTextLogOpenFailed;
    if (!lines.empty()) {
        if (headerDue || (file.GetLength() == 0 && moving == 0)) file.WriteString(Header());
        file.WriteString(lines);
    }
    if (!file.Close()) return kTextLogWriteFailed;
    if (moving > 0) {
        m_waiting.Clear();
        Trace(m_events, "log free: %zu waiting rows written to %s\r\n", moving,
              ResolvePath(m_file.Get(), m_homeFolder).c_str());
        CountWaiting();
    }
    m_toldWaiting = m_toldLost = false;
    return nullptr;
}

void EventLog::Wait(const std::string& lines) {
    if (m_waiting.Append(lines, Header())) {
        m_toldLost = false;
        CountWaiting();
        return;
    }
    ++m_lostCount;
    Trace(m_events, "log row lost: %zu in all\r\n", m_lostCount);
    if (!m_toldLost) m_events.OnAlert(kTextLogRowsLost);
    m_toldLost = true;
}

// Once an episode: every report that meets the held file must not bring the message again.
void EventLog::Tell(const char* failure) {
    if (m_toldWaiting || m_waiting.Count() == 0) return;
    m_toldWaiting = true;
    Trace(m_events, "log held: rows wait in %s\r\n", m_waiting.Path().c_str());
    m_events.OnAlert(failure);
}

void EventLog::CountWaiting() {
    m_waitingCount = m_waiting.Count();
    m_events.OnLogWaiting(m_waitingCount);
}

void EventLog::WriteWaitingRows() {
    std::lock_guard lock(m_fileMutex);
    if (m_waiting.Count() == 0) return;
    if (const char* failure = AppendToFile({}, false)) Tell(failure);
}

void EventLog::OnIdle() {
    if (m_waitingCount == 0 || Clock::now() < m_nextRetry) return;
    m_nextRetry = Clock::now() + kRetryInterval;
    WriteWaitingRows();
}

std::optional<EventLog::Clock::time_point> EventLog::WakeAt() {
    if (m_waitingCount == 0) return std::nullopt;
    return m_nextRetry;
}
