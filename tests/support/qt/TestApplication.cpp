#include "support/TestApplication.h"

#include <QApplication>

#include <cstdlib>

struct TestApplication::State {
    State(int& argc, char** argv) : application(argc, argv) {}
    QApplication application;
};

// The real widgets, without a display.
TestApplication::TestApplication(int& argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    m_state = std::make_unique<State>(argc, argv);
}

TestApplication::~TestApplication() = default;
