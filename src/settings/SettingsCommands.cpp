#include "Strings.h"
#include "platform/PathText.h"
#include "resource.h"
#include "settings/SettingsFormat.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CFileDialog.h"

namespace {

constexpr char kSettingsExtension[] = "qd";
constexpr char kSettingsFilter[] = "qd file (*.qd)|*.qd|all files(*.*)|*.*||";
constexpr unsigned kDialogFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

bool HoldsKeyMarker(const std::string& text) {
    return text.find(kKeyMarker) != std::string::npos;
}

}  // namespace

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
    if (dialog.DoModal() != IDOK) return;
    m_strSettingsFile = dialog.GetPathName();
    SaveSettings();
}

void CSignalServerDlg::OnLoadSettings() {
    CFileDialog dialog(true, kSettingsExtension, ResolvePath(m_strSettingsFile, m_strHomeFolder),
                       kDialogFlags, kSettingsFilter, this);
    if (dialog.DoModal() != IDOK) return;
    m_strSettingsFile = dialog.GetPathName();
    if (m_bServerRunning) OnButtonServer();
    m_bReady = FALSE;
    // A start waits until the stopped worker has closed its socket and set its texts.
    if (LoadSettings(m_strSettingsFile)) OnButtonServer();
    m_bReady = TRUE;
}
