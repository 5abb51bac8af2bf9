#pragma once

#include "mqtt/MqttSettings.h"
#include "ui/wnd/CButton.h"
#include "ui/wnd/CDialog.h"
#include "ui/wnd/CEdit.h"
#include "ui/wnd/CStatic.h"

#include <string>

// The dialog "MQTT送信の設定": the broker, the topics' prefix, the user and password, Home
// Assistant's discovery, and how publishing stands, kept up to date while it shows. OK takes
// only what the settings file can keep and the broker can route.
class CMqttDlg : public CDialog {
public:
    explicit CMqttDlg(CWnd* pParent = nullptr);

    // UI thread; shown at once while the dialog is up.
    void ShowState(const std::string& text);

    MqttSettings m_settings;
    std::string m_strDefaultTopic;  // the prefix an empty one stands for

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

private:
    // The message that refuses the values, or nullptr.
    const char* Refusal(const MqttSettings& settings, const std::string& portText) const;

    CEdit m_editPort;
    CButton m_checkDiscovery;
    CStatic m_staticState;
    CStatic m_staticTopicDefault;
    std::string m_strState;
};
