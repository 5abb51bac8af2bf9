#include "Strings.h"
#include "platform/PathText.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CFileDialog.h"

#include <cstdio>
#include <vector>

namespace {

constexpr char kLogExtension[] = "csv";
constexpr char kLogFilter[] = "CSV file (*.csv)|*.csv|all files(*.*)|*.*||";

}  // namespace

// The log reads the box from its own copy, kept whenever the box changes, so that a report
// never waits for the UI thread to read it.
void CSignalServerDlg::OnLoggingToggled() {
    m_log.SetLogging(m_checkLogging.GetCheck() != kUnchecked);
}

// Every change counts, also one that restores the text, but not the names start-up or a
// settings load puts in. The unit list's titles follow every change.
void CSignalServerDlg::OnDiNameChanged() {
    const EventLog::Names names = CurrentNames();
    m_log.SetNames(names);
    m_publisher.SetNames(names);
    m_dlgUnits.SetSignalNames(names);
    if (m_bReady) m_log.RequestHeader();
}

EventLog::Names CSignalServerDlg::CurrentNames() const {
    EventLog::Names names;
    for (int i = 0; i < kDiChannels; ++i) names[i] = m_diChannels[i].pName->GetWindowText();
    return names;
}

void CSignalServerDlg::OnBrowseLogFile() {
    CFileDialog dialog(false, kLogExtension, ResolvePath(m_log.File(), m_strHomeFolder),
                       kOfnHideReadOnly | kOfnOverwritePrompt, kLogFilter, this);
    if (dialog.DoModal() != kIdOk) return;
    SetLogFile(dialog.GetPathName());
}

void CSignalServerDlg::SetLogFile(const std::string& path) {
    m_log.SetFile(path);
    m_editLogFile.SetWindowText(LogFileLine(m_log.WaitingRowCount()));
}

std::string CSignalServerDlg::LogFileLine(size_t waitingRows) const {
    const std::string path = ResolvePath(m_log.File(), m_strHomeFolder);
    if (waitingRows == 0) return path;
    std::vector<char> line(path.size() + 128);
    std::snprintf(line.data(), line.size(), kFormatLogRowsWaiting, waitingRows, path.c_str());
    return line.data();
}
