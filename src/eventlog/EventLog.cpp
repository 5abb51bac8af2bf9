#include "Strings.h"
#include "eventlog/CsvRow.h"
#include "eventlog/LocalClock.h"
#include "platform/CStdioFile.h"
#include "platform/PathText.h"
#include "resource.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CFileDialog.h"

namespace {

constexpr char kLogExtension[] = "csv";
constexpr char kLogFilter[] = "CSV file (*.csv)|*.csv|all files(*.*)|*.*||";

}  // namespace

void CSignalServerDlg::WriteLogRecord(const char* peerAddress) {
    if (!m_bLoggingEnabled) return;
    CStdioFile file;
    // Exclusive, so that no other writer's rows interleave with ours.
    if (!file.Open(ResolvePath(m_strLogFile.Get(), m_strHomeFolder),
                   CStdioFile::modeCreate | CStdioFile::modeNoTruncate | CStdioFile::modeWrite |
                       CStdioFile::shareExclusive)) {
        ReportLogFailure(kTextLogOpenFailed);
        return;
    }
    // Taken before the names are read: an edit made meanwhile asks for the next header.
    const bool headerPending = m_bLogHeaderPending.exchange(FALSE);
    const bool writeHeader = headerPending || file.GetLength() == 0;
    if (writeHeader) {
        std::string names[kDiChannels];
        for (int i = 0; i < kDiChannels; ++i) names[i] = m_diChannels[i].pName->GetWindowText();
        file.WriteString(FormatCsvHeader(names));
    }
    bool states[kDiChannels];
    for (int i = 0; i < kDiChannels; ++i) states[i] = m_bDiState[i] != FALSE;
    file.WriteString(FormatCsvRow(LocalClock::Current().Now(), peerAddress, states));
    if (!file.Close()) {
        if (headerPending) m_bLogHeaderPending = TRUE;
        ReportLogFailure(kTextLogWriteFailed);
    }
}

void CSignalServerDlg::ReportLogFailure(const char* message) {
    if (m_bClosing) {
        AppendTrace("%s", message);
    } else {
        MessageBox(message);
    }
}

void CSignalServerDlg::OnLoggingToggled() {
    m_bLoggingEnabled = m_checkLogging.GetCheck() != BST_UNCHECKED;
}

void CSignalServerDlg::OnDiNameChanged() {
    if (m_bReady) m_bLogHeaderPending = TRUE;
}

void CSignalServerDlg::OnBrowseLogFile() {
    CFileDialog dialog(false, kLogExtension, ResolvePath(m_strLogFile.Get(), m_strHomeFolder),
                       OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kLogFilter, this);
    if (dialog.DoModal() != IDOK) return;
    m_strLogFile = dialog.GetPathName();
    m_editLogFile.SetWindowText(dialog.GetPathName());
}
