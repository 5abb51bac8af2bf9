#include "support/WindowTest.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QWidget>

#include "Strings.h"
#include "resource.h"
#include "ui/wnd/UiThread.h"

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        // Only the event loop: a hand-over that forgot to wake the UI thread shows as a time-out.
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

WindowTest::WindowTest() : module(folder.File("NR-QD8K")) {}

WindowTest::~WindowTest() {
    Close();
}

void WindowTest::Open() {
    m_dialog = std::make_unique<CSignalServerDlg>();
    m_dialog->Create();
}

void WindowTest::Close() {
    if (m_dialog) m_dialog->DestroyWindow();
    m_dialog.reset();
}

QImage WindowTest::Grab() {
    return m_dialog->GetDialogWidget()->grab().toImage();
}

QColor WindowTest::ColourAt(int id) {
    QWidget* control = Control(id);
    QImage image = control->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void WindowTest::StartServerOn(int port) {
    m_dialog->m_editPort.SetWindowText(std::to_string(port));
    m_dialog->OnButtonServer();
}

bool WindowTest::IsStopped() {
    return Text(m_dialog->m_staticState) == kTextStopped &&
           Text(m_dialog->m_buttonServer) == kTextStartServer;
}

int WindowTest::OpenServingWithLogging() {
    Open();
    int port = FreePort();
    StartServerOn(port);
    m_dialog->m_checkLogging.SetCheck(BST_CHECKED);
    return port;
}

bool WindowTest::StopCompleted() {
    return IsStopped() && Trace().ends_with("server stop.\r\n") &&
           Text(m_dialog->m_staticPeer).empty();
}

bool WindowTest::IsWaiting() {
    return Text(m_dialog->m_staticState) == kTextWaiting &&
           Text(m_dialog->m_buttonServer) == kTextStopServer;
}

int FreePort() {
    int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(sock);
    return ntohs(address.sin_port);
}

HeldPort::HeldPort() : m_sock(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof address;
    if (::bind(m_sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(m_sock, 1) == 0 &&
        ::getsockname(m_sock, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        m_port = ntohs(address.sin_port);
    }
}

HeldPort::~HeldPort() {
    ::close(m_sock);
}
