#include "platform/ComputerName.h"
#include "server/PortText.h"
#include "ui/MqttDlg.h"
#include "ui/MqttStateText.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/UiThread.h"

// New settings take effect at once while serving: publishing starts again with them.
void CSignalServerDlg::OnMqttSettings() {
    const int port = ParsePortText(m_editPort.GetWindowText());
    CMqttDlg dialog(this);
    dialog.m_settings = m_mqttSettings;
    dialog.m_strDefaultTopic = DefaultTopicPrefix(ComputerName(), port);
    dialog.ShowState(MqttStateText(m_publisher.Status(), !m_mqttSettings.host.empty()));
    m_pDlgMqtt = &dialog;
    const int result = dialog.DoModal();
    m_pDlgMqtt = nullptr;
    if (result != kIdOk || dialog.m_settings == m_mqttSettings) return;
    m_mqttSettings = dialog.m_settings;
    if (m_server.IsRunning()) {
        m_publisher.Restart(m_mqttSettings, TopicPrefix(m_mqttSettings, ComputerName(), port));
    }
    ShowMqttState();
}

void CSignalServerDlg::RequestMqttState() {
    if (m_bMqttStatePending.exchange(true)) return;
    UiThread::Post([this] {
        // Cleared first: a change after this point needs a showing of its own.
        m_bMqttStatePending = false;
        ShowMqttState();
    });
}

void CSignalServerDlg::ShowMqttState() {
    if (m_bClosing) return;
    const std::string text = MqttStateText(m_publisher.Status(), !m_mqttSettings.host.empty());
    if (m_pDlgMqtt != nullptr) m_pDlgMqtt->ShowState(text);
    m_dlgUnits.ShowMqttState(text);
}
