#include "app/SignalServerApp.h"
#include "platform/TerminationSignals.h"
#include "ui/wnd/UiThread.h"
#include "ui/wnd/qt/JapaneseSystemTexts.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Before anything else, so that a signal at any moment ends the program cleanly. This and
    // the UI thread's set-up are checked by InitInstance, once a message can be shown.
    TerminationSignals::Catch();
    QApplication application(argc, argv);
    UiThread::Install();
    {
        JapaneseSystemTexts systemTexts;
        CSignalServerApp app;
        app.InitInstance();
    }
    UiThread::Uninstall();
    return 0;
}
