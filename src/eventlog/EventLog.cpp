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
    const char* alert = nullptr;
    {
        std::lock_guard lock(m_fileMutex);
        // Taken before the names are read: an edit made meanwhile asks for the next header.
        const bool headerDue = m_headerPending.exchange(false);
        if (const char* failure = AppendToFile(row, headerDue)) {
            alert = Wait(headerDue ? Header() + row : row, failure);
        }
    }
    Raise(alert);
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
        if (!m_waiting.Clear()) {
            Trace(m_events, "log rows written but still waiting in %s\r\n",
                  m_waiting.Path().c_str());
        }
        Trace(m_events, "log free: %zu waiting rows written to %s\r\n", moving,
              ResolvePath(m_file.Get(), m_homeFolder).c_str());
        CountWaiting();
    }
    m_toldWaiting = m_toldLost = false;
    return nullptr;
}

const char* EventLog::Wait(const std::string& lines, const char* failure) {
    m_nextRetry = Clock::now() + kRetryInterval;
    if (m_waiting.Append(lines, Header())) {
        m_toldLost = false;
        CountWaiting();
        return Tell(failure);
    }
    ++m_lostCount;
    Trace(m_events, "log row lost: %zu in all\r\n", m_lostCount);
    if (m_toldLost) return nullptr;
    m_toldLost = true;
    return kTextLogRowsLost;
}

// Once an episode: every report that meets the held file must not bring the message again.
const char* EventLog::Tell(const char* failure) {
    if (m_toldWaiting || m_waiting.Count() == 0) return nullptr;
    m_toldWaiting = true;
    Trace(m_events, "log held: rows wait in %s\r\n", m_waiting.Path().c_str());
    return failure;
}

// Outside m_fileMutex: on the UI thread the message is shown at once and waits for the
// operator, and the worker must not wait with it.
void EventLog::Raise(const char* alert) {
    if (alert) m_events.OnAlert(alert);
}

void EventLog::CountWaiting() {
    m_waitingCount = m_waiting.Count();
    m_events.OnLogWaiting(m_waitingCount);
}

const char* EventLog::MoveWaitingRows() {
    if (m_waiting.Count() == 0) return nullptr;
    const char* failure = AppendToFile({}, false);
    if (!failure) return nullptr;
    m_nextRetry = Clock::now() + kRetryInterval;
    return Tell(failure);
}

void EventLog::WriteWaitingRows() {
    const char* alert = nullptr;
    {
        std::lock_guard lock(m_fileMutex);
        alert = MoveWaitingRows();
    }
    Raise(alert);
}

void EventLog::OnIdle() {
    if (m_waitingCount == 0) return;
    const char* alert = nullptr;
    {
        std::lock_guard lock(m_fileMutex);
        if (Clock::now() < m_nextRetry) return;
        alert = MoveWaitingRows();
    }
    Raise(alert);
}

std::optional<EventLog::Clock::time_point> EventLog::WakeAt() {
    if (m_waitingCount == 0) return std::nullopt;
    std::lock_guard lock(m_fileMutex);
    return m_nextRetry;
}
