#include "Strings.h"
#include "platform/PathText.h"
#include "resource.h"
#include "settings/SettingsFile.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CFileDialog.h"

namespace {

constexpr char kSettingsExtension[] = "qd";
constexpr char kSettingsFilter[] = "qd file (*.qd)|*.qd|all files(*.*)|*.*||";
constexpr unsigned kDialogFlags = kOfnHideReadOnly | kOfnOverwritePrompt;

// Settings lines go straight into the window's controls and the record.
class WindowSettings : public SettingsTarget {
public:
    WindowSettings(CSignalServerDlg& dialog, EventLog& log) : m_dialog(dialog), m_log(log) {}

    void SetPortText(const std::string& text) override { m_dialog.m_editPort.SetWindowText(text); }
    void SetDiName(int channel, const std::string& name) override {
        m_dialog.m_diChannels[channel].pName->SetWindowText(name);
    }
    void SetLogging(bool on) override {
        m_dialog.m_checkLogging.SetCheck(on ? kChecked : kUnchecked);
    }
    void SetLogFile(const std::string& path) override { m_log.SetFile(path); }
    void SetTitle(const std::string& title) override { m_dialog.m_strTitle = title; }
    MqttSettings& Mqtt() override { return m_dialog.m_mqttSettings; }
    void SetSilentSeconds(int seconds) override { m_dialog.SetSilentSeconds(seconds); }

private:
    CSignalServerDlg& m_dialog;
    EventLog& m_log;
};

}  // namespace

bool CSignalServerDlg::LoadSettings(std::string path) {
    WindowSettings settings(*this, m_log);
    const SettingsRead read =
        ReadSettingsFile(ResolvePath(path, m_strHomeFolder), settings, m_listeners);
    if (read.opened) {
        SetWindowText(m_strTitle);
        m_editLogFile.SetWindowText(LogFileLine(m_log.WaitingRowCount()));
        ShowMqttState();
    }
    return read.startRequested;
}

void CSignalServerDlg::SaveSettings() {
    SettingsValues values;
    values.title = m_strTitle;
    values.portText = m_editPort.GetWindowText();
    values.names = CurrentNames();
    values.logging = m_checkLogging.GetCheck() != kUnchecked;
    values.serverRunning = m_server.IsRunning();
    values.logFile = m_log.File();
    values.mqtt = m_mqttSettings;
    values.silentSeconds = m_units.SilentSeconds();
    const bool settingsWritten =
        WriteSettingsFile(ResolvePath(m_strSettingsFile, m_strHomeFolder), values);
    const bool pointerWritten = WritePointerFile(m_strPointerFile, m_strSettingsFile);
    if (!settingsWritten || !pointerWritten) MessageBox(kTextSettingsWriteFailed);
}

void CSignalServerDlg::OnSaveSettings() {
    if (HoldsKeyMarker(m_strTitle)) {
        MessageBox(kTextTitleHasMarker);
        return;
    }
    for (const DiChannel& channel : m_diChannels) {
        if (HoldsKeyMarker(channel.pName->GetWindowText())) {
            MessageBox(kTextNameHasMarker);
            return;
        }
    }
    CFileDialog dialog(false, kSettingsExtension, ResolvePath(m_strSettingsFile, m_strHomeFolder),
                       kDialogFlags, kSettingsFilter, this);
    if (dialog.DoModal() != kIdOk) return;
    m_strSettingsFile = dialog.GetPathName();
    SaveSettings();
}

void CSignalServerDlg::OnLoadSettings() {
    CFileDialog dialog(true, kSettingsExtension, ResolvePath(m_strSettingsFile, m_strHomeFolder),
                       kDialogFlags, kSettingsFilter, this);
    if (dialog.DoModal() != kIdOk) return;
    m_strSettingsFile = dialog.GetPathName();
    if (m_server.IsRunning()) OnButtonServer();
    m_bReady = false;
    // A start waits until the stopped worker has closed its socket and set its texts.
    if (LoadSettings(m_strSettingsFile)) OnButtonServer();
    m_bReady = true;
}
