#include "app/SignalServerApp.h"

#include "ProgramResources.h"
#include "Strings.h"
#include "platform/HomeFolder.h"
#include "platform/ModuleInfo.h"
#include "platform/SocketSession.h"
#include "settings/HomeFiles.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/CWnd.h"
#include "ui/wnd/TerminationWatch.h"
#include "ui/wnd/UiThread.h"

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
    if (!TerminationWatch::CanWatch()) {
        AfxMessageBox(kTextSignalsFailed);
        return false;
    }
    CSignalServerDlg dialog(home.path);
    // The main window ends as Escape ends it, even before it has shown.
    TerminationWatch terminationWatch([&dialog] { dialog.HandleCancel(); });
    dialog.DoModal();
    return false;
}
