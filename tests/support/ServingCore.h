#pragma once

#include "eventlog/EventLog.h"
#include "server/Report.h"
#include "server/ServerListener.h"
#include "server/ServerListeners.h"
#include "server/SignalServer.h"
#include "support/Ports.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Texts = std::vector<std::string>;

// The core as a program without a window composes it: the server on a free port of 127.0.0.1
// and its log in a temporary folder, logging on; what it tells is kept for the test to read.
class ServingCoreTest : public testing::Test, public ServerListener {
protected:
    ServingCoreTest();

    void SetUp() override;
    // Before any destructor: the worker calls this object's listener methods till it ends.
    void TearDown() override { Stop(); }

    std::string Trace();
    void ClearTrace();
    std::vector<Report> Reports();
    // The alerts since the last call.
    Texts TakeAlerts();
    // A stop requested, the worker ended.
    void Stop();
    bool Stopped();

    std::string LogPath() const { return folder.File("NR-QD8K.csv"); }

    TempFolder folder;
    int port = 0;
    ServerListeners listeners;
    SignalServer server{listeners};
    EventLog log{folder.Path(), listeners};

private:
    void OnReport(const Report& report) override;
    void OnTrace(std::string_view text) override;
    void OnAlert(std::string_view text) override;
    void OnStopped() override;

    std::mutex m_mutex;
    std::string m_trace;
    std::vector<Report> m_reports;
    Texts m_alerts;
    bool m_stopped = false;
    std::thread m_worker;
};
