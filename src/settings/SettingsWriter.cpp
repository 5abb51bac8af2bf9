#include "Strings.h"
#include "platform/CStdioFile.h"
#include "platform/PathText.h"
#include "settings/SettingsFormat.h"
#include "ui/SignalServerDlg.h"

namespace {

// A file that cannot be opened is passed over without a word, as operators are used to; one
// that opened but could not be written whole is reported, and keeps its old contents.
bool WriteWholeFile(const std::string& path, const std::string& text) {
    CStdioFile file;
    if (!file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite)) return true;
    file.WriteString(text);
    return file.Close();
}

}  // namespace

void CSignalServerDlg::SaveSettings() {
    SettingsValues values;
    values.title = m_strTitle;
    values.portText = m_editPort.GetWindowText();
    for (int i = 0; i < kDiChannels; ++i) values.names[i] = m_diChannels[i].pName->GetWindowText();
    values.logging = m_checkLogging.GetCheck() != BST_UNCHECKED;
    values.serverRunning = m_bServerRunning != FALSE;
    values.logFile = m_strLogFile.Get();

    bool settingsWritten =
        WriteWholeFile(ResolvePath(m_strSettingsFile, m_strHomeFolder), FormatSettingsFile(values));
    bool pointerWritten = WriteWholeFile(m_strPointerFile, m_strSettingsFile);
    if (!settingsWritten || !pointerWritten) MessageBox(kTextSettingsWriteFailed);
}
