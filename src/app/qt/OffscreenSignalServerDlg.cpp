#include "app/qt/OffscreenSignalServerDlg.h"

#include <QGuiApplication>

bool IsOffscreen() {
    return QGuiApplication::platformName() == QStringLiteral("offscreen");
}

OffscreenSignalServerDlg::OffscreenSignalServerDlg(std::string homeFolder)
    : CSignalServerDlg(std::move(homeFolder)) {
    m_traceCopy = [this](std::string_view line) { m_terminal.Write(line); };
}

bool OffscreenSignalServerDlg::OnInitDialog() {
    CSignalServerDlg::OnInitDialog();
    // Not after a signal has ended it during start-up: a message would then wait for ever.
    if (!m_bServerRunning && !HasEnded()) OnButtonServer();
    return true;
}
