#include "app/SignalServerApp.h"

#include <QApplication>
#include <csignal>

#include "Strings.h"
#include "app/TerminationSignals.h"
#include "platform/ModuleInfo.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CWnd.h"

namespace {

// Sockets need no set-up on this system; what is left is that a unit going away while we
// write to it must not end the process.
bool AfxSocketInit() {
    return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}

}  // namespace

bool CSignalServerApp::InitInstance() {
    if (!AfxSocketInit()) {
        AfxMessageBox(kTextSocketInitFailed);
        return false;
    }
    // Every file the program keeps lives beside it, named in CP932.
    if (!ModuleInfo::Current().ExecutablePath()) {
        AfxMessageBox(kTextExeDirNotCp932);
        return false;
    }
    CSignalServerDlg dialog;
    // Closing every window ends a message or file dialog that is open too, as the operator
    // would; the main window then ends as Escape ends it, even before it has shown.
    TerminationSignals terminationSignals([&dialog] {
        QApplication::closeAllWindows();
        dialog.HandleCancel();
    });
    dialog.DoModal();
    return false;
}
