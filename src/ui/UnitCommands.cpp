#include "Strings.h"
#include "ui/SignalServerDlg.h"

#include <cstdio>
#include <cstring>

void CSignalServerDlg::OnUnitList() {
    m_dlgUnits.Open(CurrentNames(), m_units.SilentSeconds());
}

// The worker looks at the new time at once, also when no unit reports to wake it.
void CSignalServerDlg::SetSilentSeconds(int seconds) {
    m_units.SetSilentSeconds(seconds);
    m_server.RequestWake();
    m_dlgUnits.ShowSilentSeconds(seconds);
}

void CSignalServerDlg::OnUnitsChanged() {
    if (m_dlgUnits.IsOpen()) m_dlgUnits.RequestRefresh();
    if (m_units.SilentCount() != m_nSilentShown) UpdatePeerLine();
}

// Never waited for: the operator sees it at the next repaint, and a report does not wait for
// the UI thread. A unit reporting again leaves the line as it is.
void CSignalServerDlg::UpdatePeerLine() {
    std::lock_guard lock(m_peerMutex);
    const int silent = m_units.SilentCount();
    char line[160] = "";
    if (!m_strLastPeer.empty()) {
        std::snprintf(line, sizeof line, kFormatPeerLine, m_strLastPeer.c_str());
    }
    if (silent > 0) {
        // On a line of its own: the peer's line has no room for it.
        if (line[0] != '\0') std::strcat(line, "\n");
        const size_t length = std::strlen(line);
        std::snprintf(line + length, sizeof line - length, kFormatSilentCount, silent);
    }
    m_nSilentShown = silent;
    if (m_strPeerLine == line) return;
    m_strPeerLine = line;
    // Within the lock, so that two threads' lines reach the window in the order they were made.
    m_staticPeer.SetWindowTextLater(line);
}
