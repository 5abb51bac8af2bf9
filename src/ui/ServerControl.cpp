#include "Strings.h"
#include "platform/ComputerName.h"
#include "server/PortText.h"
#include "ui/SignalServerDlg.h"

unsigned CSignalServerDlg::ServerThreadProc(void* param) {
    static_cast<CSignalServerDlg*>(param)->m_server.Serve();
    return 0;
}

void CSignalServerDlg::OnButtonServer() {
    if (m_server.IsRunning()) {
        // The worker wakes, closes what it holds and puts the window into its stopped look.
        m_editPort.EnableWindow(true);
        m_server.RequestStop();
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
    if (!StartListening(port)) {
        m_staticState.InvalidateRect();
        return;
    }
    m_staticState.InvalidateRect();
    m_buttonServer.SetWindowText(kTextStopServer);
    m_staticState.SetWindowText(kTextWaiting);
    m_editPort.EnableWindow(false);
}

bool CSignalServerDlg::StartListening(int port) {
    if (std::optional<std::string> failure = m_server.Listen(port)) {
        MessageBox(*failure);
        return false;
    }
    // Before the worker: no report it serves goes unpublished. The worker's stop ends it.
    m_publisher.SetTitle(m_strTitle);
    m_publisher.SetNames(CurrentNames());
    m_publisher.Start(m_mqttSettings, TopicPrefix(m_mqttSettings, ComputerName(), port));
    m_pWorker = AfxBeginThread(ServerThreadProc, this);
    if (!m_pWorker) {
        m_publisher.Stop();
        m_server.AbandonListening();
        MessageBox(kTextWorkerFailed);
        return false;
    }
    return true;
}

void CSignalServerDlg::WaitForWorkerToEnd() {
    if (!m_pWorker) return;
    m_pWorker->JoinServingUi();
    m_pWorker.reset();
}
