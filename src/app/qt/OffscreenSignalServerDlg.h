#pragma once

#include "app/qt/TerminalText.h"
#include "ui/SignalServerDlg.h"

// True when there is no display and Qt draws on its offscreen platform.
bool IsOffscreen();

// The main window where nobody can see it or press its buttons: after the usual start-up it
// serves on the port in the window, and every trace line goes to standard output.
class OffscreenSignalServerDlg : public CSignalServerDlg {
public:
    explicit OffscreenSignalServerDlg(std::string homeFolder);
    // The worker traces until the window is gone; the terminal must outlive it.
    ~OffscreenSignalServerDlg() override { DestroyWindow(); }

protected:
    bool OnInitDialog() override;

private:
    TerminalText m_terminal;
};
