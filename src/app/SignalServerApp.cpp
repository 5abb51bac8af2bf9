#include "app/SignalServerApp.h"

#include "AppResources.h"
#include "Strings.h"
#include "platform/HomeFolder.h"
#include "platform/ModuleInfo.h"
#include "platform/SocketSession.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CWnd.h"
#include "ui/wnd/TerminationSignals.h"
#include "ui/wnd/UiThread.h"

#include <memory>

namespace {

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

CSignalServerApp::CSignalServerApp(MakeWindow makeWindow) : m_makeWindow(std::move(makeWindow)) {
    if (!m_makeWindow) {
        m_makeWindow = [](std::string homeFolder) {
            return std::make_unique<CSignalServerDlg>(std::move(homeFolder));
        };
    }
}

bool CSignalServerApp::InitInstance() {
    AfxSetAppResources(ProgramResources());
    const SocketSession sockets;
    if (sockets.Error() != 0) {
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
    std::unique_ptr<CSignalServerDlg> dialog = m_makeWindow(home.path);
    // The main window ends as Escape ends it, even before it has shown.
    TerminationSignals terminationSignals([&dialog] { dialog->HandleCancel(); });
    dialog->DoModal();
    return false;
}
