#include "Strings.h"
#include "platform/CStdioFile.h"
#include "platform/PathText.h"
#include "settings/SettingsFormat.h"
#include "ui/SignalServerDlg.h"

namespace {

constexpr char kTraceRule[] = "----------\r\n";

// Settings lines go straight into the window's controls and the record.
class WindowSettings : public SettingsTarget {
public:
    explicit WindowSettings(CSignalServerDlg& dialog) : m_dialog(dialog) {}
    void SetPortText(const std::string& text) override { m_dialog.m_editPort.SetWindowText(text); }
    void SetDiName(int channel, const std::string& name) override {
        m_dialog.m_diChannels[channel].pName->SetWindowText(name);
    }
    void SetLogging(bool on) override {
        m_dialog.m_checkLogging.SetCheck(on ? BST_CHECKED : BST_UNCHECKED);
    }
    void SetLogFile(const std::string& path) override { m_dialog.m_strLogFile = path; }
    void SetTitle(const std::string& title) override { m_dialog.m_strTitle = title; }

private:
    CSignalServerDlg& m_dialog;
};

}  // namespace

BOOL CSignalServerDlg::LoadSettings(std::string path) {
    CStdioFile file;
    if (!file.Open(ResolvePath(path, m_strHomeFolder), CStdioFile::modeRead)) {
        AppendTrace("%s", kTraceSettingsMissing);
        return FALSE;
    }
    AppendTrace("%s", kTraceSettingsFound);
    AppendTrace("%s", kTraceRule);
    WindowSettings settings(*this);
    BOOL result = FALSE;
    std::string line;
    while (file.ReadString(line)) {
        // The line is shown as it was read: its bytes are never a format.
        AppendTrace("%s", line.c_str());
        AppendTrace("\r\n");
        if (ApplySettingsLine(line, settings)) result = TRUE;
    }
    if (file.ReadFailed()) AppendTrace("cfg read error\r\n");
    file.Close();
    SetWindowText(m_strTitle);
    m_editLogFile.SetWindowText(ResolvePath(m_strLogFile.Get(), m_strHomeFolder));
    AppendTrace("%s", kTraceRule);
    return result;
}

void CSignalServerDlg::ReadPointerFile() {
    CStdioFile file;
    if (!file.Open(m_strPointerFile, CStdioFile::modeRead)) return;
    std::string line;
    if (!file.ReadString(line)) return;
    m_strSettingsFile = line;
    if (LoadSettings(m_strSettingsFile)) OnButtonServer();
}
