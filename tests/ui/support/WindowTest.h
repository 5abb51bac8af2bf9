#pragma once

#include "support/Logged.h"
#include "support/PlacedModule.h"
#include "support/Ports.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"
#include "support/Waiting.h"
#include "ui/SignalServerDlg.h"
#include "ui/support/Operator.h"
#include "ui/support/ScriptedPrompter.h"
#include "ui/wnd/UiThread.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
    // The port it serves on; the messages of starts on ports taken meanwhile are dropped.
    int StartServerOnAFreePort();
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
