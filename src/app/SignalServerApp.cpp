#include "app/SignalServerApp.h"

#include "AppResources.h"
#include "Strings.h"
#include "app/JapaneseSystemTexts.h"
#include "app/OffscreenSignalServerDlg.h"
#include "app/TerminationSignals.h"
#include "platform/HomeFolder.h"
#include "platform/ModuleInfo.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CWnd.h"
#include "ui/wnd/UiThread.h"

#include <QApplication>

#include <csignal>
#include <memory>

namespace {

// Sockets need no set-up on this system; what is left is that a unit going away while we
// write to it must not end the process.
bool AfxSocketInit() {
    return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
}

std::string HomeFolderRefusal(const HomeFolder& home) {
    switch (home.problem) {
        case HomeFolder::kExecutableUnreadable:
            return kTextExePathUnreadable;
        case HomeFolder::kExecutableNameNotCp932:
            return kTextExeNameNotCp932;
        case HomeFolder::kExecutableFolderNotCp932:
            return kTextExeDirNotCp932;
        case HomeFolder::kDataFolderNotCp932:
            return kTextDataDirNotCp932;
        case HomeFolder::kDataFolderUnusable:
        case HomeFolder::kFound:
            break;
    }
    return kTextDataDirUnusable + home.path;
}

}  // namespace

bool CSignalServerApp::InitInstance() {
    AfxSetAppResources(ProgramResources());
    if (!AfxSocketInit()) {
        AfxMessageBox(kTextSocketInitFailed);
        return false;
    }
    // Every file the program keeps lives in its home folder, named in CP932.
    HomeFolder home = FindHomeFolder(ModuleInfo::Current(), kAppName);
    if (home.problem != HomeFolder::kFound) {
        AfxMessageBox(HomeFolderRefusal(home));
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
    std::unique_ptr<CSignalServerDlg> dialog =
        IsOffscreen() ? std::make_unique<OffscreenSignalServerDlg>(home.path)
                      : std::make_unique<CSignalServerDlg>(home.path);
    // Closing every window ends a message or file dialog that is open too, as the operator
    // would; the main window then ends as Escape ends it, even before it has shown.
    TerminationSignals terminationSignals([&dialog] {
        QApplication::closeAllWindows();
        dialog->HandleCancel();
    });
    dialog->DoModal();
    return false;
}
