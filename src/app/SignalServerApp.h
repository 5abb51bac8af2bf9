#pragma once

#include <functional>
#include <memory>
#include <string>

class CSignalServerDlg;

// The application: one modal main window, then the end.
class CSignalServerApp {
public:
    // Makes the main window for its home folder; the plain window when none is given.
    using MakeWindow = std::function<std::unique_ptr<CSignalServerDlg>(std::string homeFolder)>;

    explicit CSignalServerApp(MakeWindow makeWindow = nullptr);

    // Always FALSE: the application ends when it returns.
    bool InitInstance();

private:
    MakeWindow m_makeWindow;
};
