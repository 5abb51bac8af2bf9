#pragma once

#include "support/Operator.h"
#include "support/PlacedModule.h"
#include "support/Ports.h"
#include "support/ProgramRun.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/UiThread.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

// Serves the UI thread's events until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the work on a thread of its own while the UI thread's events are served, as the server
// may wait for the UI thread at a report; its result.
template <class Work>
auto Served(Work work) {
    auto result = std::async(std::launch::async, work);
    WaitUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
              70000);
    return result.get();
}

// How often the text holds the part.
size_t Count(const std::string& text, const std::string& part);

// The DI columns of a CSV log's rows from 127.0.0.1, sorted; and those that nr-load's reports 0
// to count - 1 leave (report n sends the state byte n % 256).
std::vector<std::string> LoggedStates(const std::string& csv);
std::vector<std::string> StatesOfLoadReports(int count);

// The main window opened as at start-up with a temporary folder for its home, and scripted prompts.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Opens the window; files meant to be there at start-up are written before.
    void Open();
    void Close();

    CSignalServerDlg& Dialog() { return *m_dialog; }
    // Trace lines and the peer line are handed over without waiting: take in those on their
    // way first.
    std::string Text(CWnd& control) {
        UiThread::RunPending();
        return control.GetWindowText();
    }
    std::string Trace() { return Text(m_dialog->m_editTrace); }
    WndHandle* Control(int id) { return m_dialog->GetControl(id); }
    WndHandle* Window() { return m_dialog->GetSafeHwnd(); }

    void StartServerOn(const std::string& port);
    void StartServerOn(int port) { StartServerOn(std::to_string(port)); }
    bool IsStopped();
    bool IsWaiting();
    // The worker's stop steps have all run.
    bool StopCompleted();

    TempFolder folder;
    PlacedModule module;  // the executable "in" the temporary folder
    ScriptedPrompter prompter;

private:
    std::unique_ptr<CSignalServerDlg> m_dialog;
};

// The window open and its server waiting on a free port, logging ticked.
class ServingWindowTest : public WindowTest {
protected:
    void SetUp() override;

    int port = 0;
};
