#pragma once

#include "platform/SharedText.h"
#include "server/DiChannels.h"
#include "server/ServerListener.h"

#include <array>
#include <atomic>
#include <mutex>
#include <string>

// The CSV event log: while logging is on, one row per report, and a header line with the
// signal names before the first row of an empty file and before the next row once a name was
// edited. The file is opened, appended to and closed for each report. Its settings come as
// values from whoever owns them, on any thread.
class EventLog : public ServerListener {
public:
    using Names = std::array<std::string, kDiChannels>;  // DI1 first

    // Relative paths lead into the home folder; failures are told to alerts.
    EventLog(std::string homeFolder, ServerListener& alerts);

    // As given: relative, full, or a path only another system can use.
    void SetFile(std::string path) { m_file = std::move(path); }
    std::string File() const { return m_file.Get(); }
    void SetLogging(bool on) { m_logging = on; }
    void SetNames(const Names& names);
    // A name was edited: the next row written follows a header.
    void RequestHeader() { m_headerPending = true; }

    void OnReport(const Report& report) override { WriteLogRecord(report); }
    void WriteLogRecord(const Report& report);

private:
    const std::string m_homeFolder;
    ServerListener& m_alerts;
    SharedText m_file;
    std::atomic<bool> m_logging{false};
    std::atomic<bool> m_headerPending{false};
    std::mutex m_namesMutex;
    Names m_names;  // under m_namesMutex
};
