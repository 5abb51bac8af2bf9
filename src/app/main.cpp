#include <QApplication>

#include "app/SignalServerApp.h"
#include "ui/wnd/UiThread.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    UiThread::Install();
    CSignalServerApp app;
    app.InitInstance();
    UiThread::Uninstall();
    return 0;
}
