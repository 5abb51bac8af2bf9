#include "support/WindowTest.h"

#include "Strings.h"
#include "resource.h"
#include "ui/wnd/UiThread.h"

#include <algorithm>
#include <chrono>

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        // Only the event loop: a hand-over that forgot to wake the UI thread shows as a time-out.
        op::ServeEvents(5);
    }
    return true;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<std::string> LoggedStates(const std::string& csv) {
    std::vector<std::string> states;
    const std::string peer = ",127.0.0.1,";
    for (size_t at = csv.find(peer); at != std::string::npos; at = csv.find(peer, at + 1)) {
        states.push_back(csv.substr(at + peer.size(), csv.find("\r\n", at) - at - peer.size()));
    }
    std::sort(states.begin(), states.end());
    return states;
}

std::vector<std::string> StatesOfLoadReports(int count) {
    std::vector<std::string> states;
    for (int n = 0; n < count; ++n) {
        std::string row;
        for (int bit = 0; bit < 5; ++bit) row += (bit ? "," : "") + std::to_string(n >> bit & 1);
        states.push_back(row);
    }
    std::sort(states.begin(), states.end());
    return states;
}

WindowTest::WindowTest() : module(folder.File("NR-QD8K")) {}

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

void ServingWindowTest::SetUp() {
    Open();
    port = FreePort();
    StartServerOn(port);
    Dialog().m_checkLogging.SetCheck(BST_CHECKED);
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
