#include "Strings.h"
#include "app/SignalServerApp.h"
#include "app/TerminationSignals.h"
#include "support/ScriptedPrompter.h"
#include "ui/wnd/UiThread.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Runs the set-up step while no descriptor can be made: the open-file limit stands at the
// lowest free one.
template <class SetUp>
void WithoutFreeDescriptors(SetUp setUp) {
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(lowestFree);
    const rlimit none{static_cast<rlim_t>(lowestFree), saved.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &none);
    setUp();
    ::setrlimit(RLIMIT_NOFILE, &saved);
}

// The messages start-up shows; a window it opens all the same is closed at once.
std::vector<std::string> StartUpMessages() {
    ScriptedPrompter prompter;
    QTimer::singleShot(0, [] { QApplication::closeAllWindows(); });
    CSignalServerApp().InitInstance();
    std::vector<std::string> texts;
    for (const ScriptedPrompter::Message& message : prompter.messages)
        texts.push_back(message.text);
    return texts;
}

// Without the UI thread's wake-up every call of the worker into the window would hang, and
// without the signals' descriptor or handlers a signal would not end the program cleanly:
// start-up says so and ends.
TEST(SignalServerApp, SetUpFailuresEndStartUpWithAMessage) {
    UiThread::Uninstall();
    WithoutFreeDescriptors(UiThread::Install);
    std::vector<std::string> uiThreadFailure = StartUpMessages();
    UiThread::Install();
    EXPECT_EQ(uiThreadFailure, std::vector<std::string>{kTextUiWakeUpFailed});

    WithoutFreeDescriptors(TerminationSignals::Catch);
    EXPECT_EQ(StartUpMessages(), std::vector<std::string>{kTextSignalsFailed});
}

}  // namespace
