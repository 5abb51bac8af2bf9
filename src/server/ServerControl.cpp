#include "Strings.h"
#include "server/PortText.h"
#include "ui/SignalServerDlg.h"

#include <cstdio>

unsigned CSignalServerDlg::ServerThreadProc(void* param) {
    static_cast<CSignalServerDlg*>(param)->ServeLoop();
    return 0;
}

void CSignalServerDlg::OnButtonServer() {
    if (m_bServerRunning) {
        // The worker wakes, closes what it holds and puts the window into its stopped look.
        m_editPort.EnableWindow(TRUE);
        RequestStop();
        m_staticState.InvalidateRect();
        return;
    }
    int port = ParsePortText(m_editPort.GetWindowText());
    if (port < kMinPort || port > kMaxPort) {
        MessageBox(kTextBadPort);
        return;
    }
    // A previous worker may still be running its stop steps on the same port.
    WaitForWorkerToEnd();
    m_editTrace.SetWindowText("");
    if (StartListening(port) < 0) {
        m_bServerRunning = FALSE;
        m_staticState.InvalidateRect();
        return;
    }
    m_staticState.InvalidateRect();
    m_buttonServer.SetWindowText(kTextStopServer);
    m_staticState.SetWindowText(kTextWaiting);
    m_editPort.EnableWindow(FALSE);
}

HRESULT CSignalServerDlg::StartListening(int port) {
    auto fail = [this](const char* format) {
        char message[128];
        std::snprintf(message, sizeof message, format, wsock::WSAGetLastError());
        if (m_sockListen != INVALID_SOCKET) wsock::closesocket(m_sockListen);
        m_sockListen = INVALID_SOCKET;
        MessageBox(message);
        return E_FAIL;
    };
    // The worker accepts until nothing is pending, so an accept must never wait.
    m_sockListen = wsock::socket();
    if (m_sockListen == INVALID_SOCKET) return fail(kFormatSocketError);
    if (wsock::bind(m_sockListen, static_cast<uint16_t>(port)) == SOCKET_ERROR) {
        return fail(kFormatBindError);
    }
    if (wsock::listen(m_sockListen) == SOCKET_ERROR) return fail(kFormatListenError);
    AppendTrace("server start.\r\n");
    m_bServerRunning = TRUE;
    // The previous worker has ended: a stop it was woken for must not wake this one.
    m_eventStop.Reset();
    if (m_eventStop.IsValid()) m_pWorker = AfxBeginThread(ServerThreadProc, this);
    if (!m_pWorker) {
        m_bServerRunning = FALSE;
        wsock::closesocket(m_sockListen);
        m_sockListen = INVALID_SOCKET;
        MessageBox(kTextWorkerFailed);
        return E_FAIL;
    }
    return S_OK;
}

void CSignalServerDlg::RequestStop() {
    m_bServerRunning = FALSE;
    m_eventStop.Set();
}

void CSignalServerDlg::WaitForWorkerToEnd() {
    if (!m_pWorker) return;
    m_pWorker->JoinServingUi();
    m_pWorker.reset();
}
