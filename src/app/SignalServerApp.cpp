#include "app/SignalServerApp.h"

#include <QApplication>
#include <csignal>
#include <memory>

#include "Strings.h"
#include "app/JapaneseSystemTexts.h"
#include "app/OffscreenSignalServerDlg.h"
#include "app/TerminationSignals.h"
#include "platform/ModuleInfo.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CWnd.h"
#include "ui/wnd/UiThread.h"

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
    // Without it every call of the worker into the window would wait for ever.
    if (!UiThread::IsInstalled()) {
        AfxMessageBox(kTextUiWakeUpFailed);
        return false;
    }
    if (!TerminationSignals::AreCaught()) {
        AfxMessageBox(kTextSignalsFailed);
        return false;
    }
    JapaneseSystemTexts systemTexts;
    std::unique_ptr<CSignalServerDlg> dialog = IsOffscreen()
                                                   ? std::make_unique<OffscreenSignalServerDlg>()
                                                   : std::make_unique<CSignalServerDlg>();
    // Closing every window ends a message or file dialog that is open too, as the operator
    // would; the main window then ends as Escape ends it, even before it has shown.
    TerminationSignals terminationSignals([&dialog] {
        QApplication::closeAllWindows();
        dialog->HandleCancel();
    });
    dialog->DoModal();
    return false;
}
