// nr-stop-latency PORT [REPEATS [SILENT]]: how long the window takes from a stop request to its
// stopped look (state text and the trace's last line), while idle or while SILENT connections
// that never send are held open. The real window runs offscreen in this process, its home a
// temporary folder; between events it blocks as its event loop does, so the figure includes
// waking the UI thread. Prints one line for scripts:
//   stops=N median_us=N max_us=N
#include "Address.h"
#include "Args.h"
#include "SilentConnections.h"
#include "Strings.h"
#include "platform/Cp932.h"
#include "ui/SignalServerDlg.h"
#include "ui/wnd/Prompter.h"
#include "ui/wnd/UiThread.h"

#include <QApplication>
#include <QTimer>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultRepeats = 50;
constexpr int kMaxRepeats = 10000;
constexpr int kMaxSilent = 1000;
// Long enough for the worker to be waiting, not just begun, and to have taken every connection
// that its listen queue let in.
constexpr auto kIdle = std::chrono::milliseconds(20);
// Connection requests that a full listen queue has not let in by then stay pending: the server
// never saw them.
constexpr auto kConnectBound = std::chrono::milliseconds(200);
// A server that serves one connection at a time stops only after the silent one's 2 s.
constexpr auto kLookBound = std::chrono::seconds(5);
// Ends every blocking wait for events now and then, so that the bounds above hold.
constexpr int kGuardMs = 5;

// A modal box would block offscreen with no one to press OK: the message goes to stderr.
class StderrPrompter : public Prompter {
public:
    void ShowMessage(CWnd*, const std::string&, const std::string& text) override {
        std::fprintf(stderr, "nr-stop-latency: the window says: %s\n", cp932::ToUtf8(text).c_str());
    }
    std::optional<std::string> ChooseFile(CWnd*, const FileDialogRequest&) override {
        return std::nullopt;
    }
};

// Serves the window until done() holds or the deadline passes; done() on return.
bool ServeUntil(const std::function<bool()>& done, Clock::time_point deadline) {
    while (!done() && Clock::now() < deadline) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        UiThread::RunPending();
    }
    return done();
}

bool LooksWaiting(CSignalServerDlg& dialog) {
    return dialog.m_staticState.GetWindowText() == kTextWaiting;
}

bool LooksStopped(CSignalServerDlg& dialog) {
    return dialog.m_staticState.GetWindowText() == kTextStopped &&
           dialog.m_editTrace.GetWindowText().ends_with("server stop.\r\n");
}

// Microseconds from the stop request to the stopped look; nullopt when either look never came
// or the silent connections could not be opened.
std::optional<long> TimeOneStop(CSignalServerDlg& dialog, int port, int silent) {
    dialog.OnButtonServer();
    if (!ServeUntil([&] { return LooksWaiting(dialog); }, Clock::now() + kLookBound)) {
        return std::nullopt;
    }
    nr::tools::SilentConnections held(nr::tools::LoopbackAddress(static_cast<std::uint16_t>(port)),
                                      false);
    std::string error;
    if (silent > 0 && !held.Open(silent, Clock::now() + kConnectBound, &error)) {
        std::fprintf(stderr, "nr-stop-latency: %s\n", error.c_str());
        return std::nullopt;
    }
    ServeUntil([] { return false; }, Clock::now() + kIdle);
    const Clock::time_point requested = Clock::now();
    dialog.OnButtonServer();
    if (!ServeUntil([&] { return LooksStopped(dialog); }, Clock::now() + kLookBound)) {
        return std::nullopt;
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - requested).count();
}

std::vector<long> TimeStops(const std::string& home, int port, int repeats, int silent) {
    CSignalServerDlg dialog(home);
    dialog.Create();
    dialog.m_editPort.SetWindowText(std::to_string(port));
    std::vector<long> times;
    for (int i = 0; i < repeats; ++i) {
        std::optional<long> time = TimeOneStop(dialog, port, silent);
        if (!time) break;
        times.push_back(*time);
    }
    dialog.DestroyWindow();
    return times;
}

struct Options {
    int port = 0;
    int repeats = kDefaultRepeats;
    int silent = 0;
};

std::optional<Options> ParseOptions(int argc, char* argv[]) {
    if (argc < 2 || argc > 4) return std::nullopt;
    const auto port = nr::tools::ParseWhole(argv[1], 1024, 65535);
    const auto repeats = argc > 2 ? nr::tools::ParseWhole(argv[2], 1, kMaxRepeats)
                                  : std::optional<std::uint64_t>(kDefaultRepeats);
    const auto silent =
        argc > 3 ? nr::tools::ParseWhole(argv[3], 0, kMaxSilent) : std::optional<std::uint64_t>(0);
    if (!port || !repeats || !silent) return std::nullopt;
    return Options{static_cast<int>(*port), static_cast<int>(*repeats), static_cast<int>(*silent)};
}

}  // namespace

int main(int argc, char* argv[]) {
    const std::optional<Options> options = ParseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "Usage: nr-stop-latency PORT [REPEATS [SILENT]]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    UiThread::Install();
    StderrPrompter prompter;
    Prompter::Replace(&prompter);
    std::string pattern =
        (std::filesystem::temp_directory_path() / "nr-stop-latency.XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("nr-stop-latency: mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    QTimer guard;
    guard.start(kGuardMs);

    std::vector<long> times =
        TimeStops(folder.string(), options->port, options->repeats, options->silent);

    guard.stop();
    Prompter::Replace(nullptr);
    UiThread::Uninstall();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (static_cast<int>(times.size()) < options->repeats) {
        std::fprintf(stderr, "nr-stop-latency: start or stop %zu on port %d did not finish\n",
                     times.size() + 1, options->port);
        return 1;
    }
    std::sort(times.begin(), times.end());
    std::printf("stops=%zu median_us=%ld max_us=%ld\n", times.size(), times[times.size() / 2],
                times.back());
    return 0;
}
