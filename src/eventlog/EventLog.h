#pragma once

#include "eventlog/WaitingRows.h"
#include "platform/SharedText.h"
#include "server/DiChannels.h"
#include "server/ServerListener.h"

#include <array>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

// The CSV event log: while logging is on, one row per report, and a header line with the
// signal names before the first row of an empty file and before the next row once a name was
// edited. The file is opened, appended to and closed for each report. A row its file cannot
// take (another program holds it, the folder is gone, the disk is full) waits in the home
// folder instead, so that the unit's reply still means its report is recorded, and follows
// into the file, oldest first, as soon as the file takes rows again. Its settings come as
// values from whoever owns them, on any thread.
class EventLog : public ServerListener {
public:
    using Names = std::array<std::string, kDiChannels>;  // DI1 first
    using Clock = std::chrono::steady_clock;
    // While rows wait, the file is tried again at least this often.
    static constexpr auto kRetryInterval = std::chrono::seconds(3);

    // Relative paths lead into the home folder; what the operator must know goes to events.
    EventLog(std::string homeFolder, ServerListener& events);

    // As given: relative, full, or a path only another system can use.
    void SetFile(std::string path) { m_file = std::move(path); }
    std::string File() const { return m_file.Get(); }
    void SetLogging(bool on) { m_logging = on; }
    void SetNames(const Names& names);
    // A name was edited: the next row written follows a header.
    void RequestHeader() { m_headerPending = true; }
    size_t WaitingRowCount() const { return m_waitingCount; }
    // Any thread: the waiting rows into the file, if it takes them now (at start-up).
    void WriteWaitingRows();

    void OnReport(const Report& report) override { WriteLogRecord(report); }
    void WriteLogRecord(const Report& report);
    void OnIdle() override;
    std::optional<Clock::time_point> WakeAt() override;

private:
    std::string Header();
    // Appends the lines to the file after the waiting rows; an empty text only moves those.
    // The failure's message when the file did not take them.
    const char* AppendToFile(const std::string& lines, bool headerDue);
    void Wait(const std::string& lines);
    void Tell(const char* failure);
    void CountWaiting();

    const std::string m_homeFolder;
    ServerListener& m_events;
    SharedText m_file;
    std::atomic<bool> m_logging{false};
    std::atomic<bool> m_headerPending{false};
    std::mutex m_namesMutex;
    Names m_names;  // under m_namesMutex
    // One writer at a time: the worker, or start-up.
    std::mutex m_fileMutex;
    WaitingRows m_waiting;  // under m_fileMutex
    std::atomic<size_t> m_waitingCount{0};
    // Under m_fileMutex: the operator was told that rows wait, or that rows are lost.
    bool m_toldWaiting = false;
    bool m_toldLost = false;
    size_t m_lostCount = 0;           // under m_fileMutex
    Clock::time_point m_nextRetry{};  // worker only
};
