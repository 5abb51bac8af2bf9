#pragma once

#include <memory>

// What the window system needs before the first window, for the tests' lifetime: the Qt
// application (offscreen, no display needed), or Windows Sockets and the common controls.
class TestApplication {
public:
    TestApplication(int& argc, char** argv);
    ~TestApplication();
    TestApplication(const TestApplication&) = delete;
    TestApplication& operator=(const TestApplication&) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};
