#include "ui/support/WindowTest.h"

#include "Strings.h"
#include "platform/Cp932.h"
#include "resource.h"
#include "ui/wnd/UiThread.h"

WindowTest::WindowTest() : module(cp932::ToUtf8(folder.File("NR-QD8K"))) {}

WindowTest::~WindowTest() {
    Close();
}

void WindowTest::Open() {
    m_dialog = std::make_unique<CSignalServerDlg>(folder.Path());
    m_dialog->Create();
}

void WindowTest::Close() {
    if (m_dialog) m_dialog->DestroyWindow();
    m_dialog.reset();
}

void WindowTest::StartServerOn(const std::string& port) {
    m_dialog->m_editPort.SetWindowText(port);
    m_dialog->OnButtonServer();
}

bool WindowTest::IsStopped() {
    return Text(m_dialog->m_staticState) == kTextStopped &&
           Text(m_dialog->m_buttonServer) == kTextStartServer;
}

int WindowTest::StartServerOnAFreePort() {
    int port = 0;
    // A port free a moment ago may be some other test's by now: another then.
    for (int attempt = 0; attempt < 5 && !IsWaiting(); ++attempt) {
        port = FreePort();
        StartServerOn(port);
    }
    prompter.TakeTexts();
    return port;
}

void ServingWindowTest::SetUp() {
    Open();
    port = StartServerOnAFreePort();
    Dialog().m_checkLogging.SetCheck(kChecked);
    ASSERT_TRUE(IsWaiting());
}

bool WindowTest::StopCompleted() {
    return IsStopped() && Trace().ends_with("server stop.\r\n") &&
           Text(m_dialog->m_staticPeer).empty();
}

bool WindowTest::IsWaiting() {
    return Text(m_dialog->m_staticState) == kTextWaiting &&
           Text(m_dialog->m_buttonServer) == kTextStopServer;
}
