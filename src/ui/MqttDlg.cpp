#include "ui/MqttDlg.h"

#include "DialogTemplates.h"
#include "Strings.h"
#include "resource.h"
#include "server/PortText.h"
#include "settings/SettingsFormat.h"

#include <cstdio>

namespace {

constexpr int kPortDigits = 5;

}  // namespace

CMqttDlg::CMqttDlg(CWnd* pParent) : CDialog(MqttDialogTemplate(), pParent) {}

void CMqttDlg::ShowState(const std::string& text) {
    m_strState = text;
    if (GetSafeHwnd() != nullptr) m_staticState.SetWindowText(text);
}

bool CMqttDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editPort.SetLimitText(kPortDigits);
    m_editPort.SetWindowText(std::to_string(m_settings.port));
    m_checkDiscovery.SetCheck(m_settings.discovery ? kChecked : kUnchecked);
    m_staticState.SetWindowText(m_strState);
    char line[256];
    std::snprintf(line, sizeof line, kFormatMqttTopicDefault, m_strDefaultTopic.c_str());
    m_staticTopicDefault.SetWindowText(line);
    return true;
}

void CMqttDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT_MQTT_PORT, m_editPort);
    DDX_Control(pDX, IDC_CHECK_MQTT_DISCOVERY, m_checkDiscovery);
    DDX_Control(pDX, IDC_STATIC_MQTT_STATE, m_staticState);
    DDX_Control(pDX, IDC_STATIC_MQTT_TOPIC_DEFAULT, m_staticTopicDefault);
    DDX_Text(pDX, IDC_EDIT_MQTT_HOST, m_settings.host);
    DDX_Text(pDX, IDC_EDIT_MQTT_TOPIC, m_settings.topic);
    DDX_Text(pDX, IDC_EDIT_MQTT_USER, m_settings.user);
    DDX_Text(pDX, IDC_EDIT_MQTT_PASSWORD, m_settings.password);
}

// A refused value leaves the dialog open, with what was typed, for the operator to mend.
void CMqttDlg::OnOK() {
    UpdateData(true);
    const std::string portText = m_editPort.GetWindowText();
    if (const char* refusal = Refusal(m_settings, portText)) {
        MessageBox(refusal);
        return;
    }
    m_settings.port = ParsePortText(portText);
    m_settings.discovery = m_checkDiscovery.GetCheck() != kUnchecked;
    EndDialog(kIdOk);
}

const char* CMqttDlg::Refusal(const MqttSettings& settings, const std::string& portText) const {
    for (const std::string* text :
         {&settings.host, &settings.topic, &settings.user, &settings.password}) {
        if (HoldsKeyMarker(*text)) return kTextMqttHasMarker;
    }
    if (HoldsTopicWildcard(settings.topic)) return kTextMqttTopicWildcard;
    const int port = ParsePortText(portText);
    if (!IsBrokerPort(port)) return kTextBadPort;
    return nullptr;
}
