#include "support/ServingCore.h"

#include "settings/HomeFiles.h"

ServingCoreTest::ServingCoreTest() {
    listeners.Add(*this);
    listeners.Add(log);
}

void ServingCoreTest::SetUp() {
    log.SetFile(kLogFileName);
    log.SetNames({"DI1", "DI2", "DI3", "DI4", "DI5"});
    log.SetLogging(true);
    // A port free a moment ago may be some other test's by now: another then.
    bool listening = false;
    for (int attempt = 0; attempt < 5 && !listening; ++attempt) {
        port = FreePort();
        listening = !server.Listen(port);
    }
    ASSERT_TRUE(listening);
    m_worker = std::thread([this] { server.Serve(); });
}

std::string ServingCoreTest::Trace() {
    std::lock_guard lock(m_mutex);
    return m_trace;
}

void ServingCoreTest::ClearTrace() {
    std::lock_guard lock(m_mutex);
    m_trace.clear();
}

std::vector<Report> ServingCoreTest::Reports() {
    std::lock_guard lock(m_mutex);
    return m_reports;
}

Texts ServingCoreTest::TakeAlerts() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_alerts, {});
}

void ServingCoreTest::Stop() {
    server.RequestStop();
    if (m_worker.joinable()) m_worker.join();
}

bool ServingCoreTest::Stopped() {
    std::lock_guard lock(m_mutex);
    return m_stopped && m_trace.ends_with("server stop.\r\n");
}

void ServingCoreTest::OnReport(const Report& report) {
    std::lock_guard lock(m_mutex);
    m_reports.push_back(report);
}

void ServingCoreTest::OnTrace(std::string_view text) {
    std::lock_guard lock(m_mutex);
    m_trace.append(text);
}

void ServingCoreTest::OnAlert(std::string_view text) {
    std::lock_guard lock(m_mutex);
    m_alerts.emplace_back(text);
}

void ServingCoreTest::OnStopped() {
    std::lock_guard lock(m_mutex);
    m_stopped = true;
}
