// Opens the main window offscreen in a folder of its own, lets units report, and saves a
// picture of it: for the README, and for a look at the layout after a change.
//
//   nr-screenshot OUTPUT.png [PORT]
#include "ui/SignalServerDlg.h"
#include "ui/wnd/UiThread.h"
#include "ui/wnd/qt/QtHandles.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

constexpr int kDefaultPort = 10003;
constexpr int kWaitMs = 3000;

// Serves the window while a unit simulator reports one frame.
bool ReportOnce(const QString& simulator, int port, const QString& lead, const QString& state) {
    QProcess unit;
    unit.start(simulator, {"--port", QString::number(port), lead, state});
    QElapsedTimer timer;
    timer.start();
    while (unit.state() != QProcess::NotRunning || !unit.waitForFinished(0)) {
        if (timer.elapsed() > kWaitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        UiThread::RunPending();
        if (unit.state() == QProcess::NotRunning) break;
    }
    return unit.exitCode() == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::cerr << "usage: nr-screenshot OUTPUT.png [PORT]\n";
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    UiThread::Install();
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "nr-qd8k-screenshot";
    std::filesystem::create_directories(folder);

    int port = argc > 2 ? std::atoi(argv[2]) : kDefaultPort;
    QString simulator = QStringLiteral(NR_UNIT_PATH);
    int result = 0;
    {
        CSignalServerDlg dialog(folder.string());
        dialog.Create();
        dialog.m_editPort.SetWindowText(std::to_string(port));
        dialog.OnButtonServer();
        if (!ReportOnce(simulator, port, "01", "15")) {
            std::cerr << "nr-screenshot: the unit simulator got no reply on port " << port << "\n";
            result = 1;
        }
        QApplication::processEvents();
        if (!QtDialog(dialog)->grab().toImage().save(argv[1])) {
            std::cerr << "nr-screenshot: cannot write " << argv[1] << "\n";
            result = 1;
        }
        dialog.DestroyWindow();
    }
    UiThread::Uninstall();
    std::filesystem::remove_all(folder);
    return result;
}
