#pragma once

// The application: one modal main window, then the end.
class CSignalServerApp {
public:
    // Always false: the application ends when it returns.
    bool InitInstance();
};
