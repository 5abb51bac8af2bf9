#pragma once

// The application: one modal main window, then the end.
class CSignalServerApp {
public:
    // Always FALSE: the application ends when it returns.
    bool InitInstance();
};
