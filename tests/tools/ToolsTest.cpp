#include "support/WindowTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Args = std::vector<std::string>;

// Answers each connection to a port of its own in turn with the same bytes (perhaps none),
// whatever it sent.
class FixedReplyServer : public HeldPort {
public:
    explicit FixedReplyServer(std::string reply)
        : HeldPort(Kind::kListening), m_thread([this, reply](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  if (!test_net::Readable(Socket(), 50)) continue;
                  const test_net::Handle unit = test_net::Accept(Socket());
                  char frame[8];
                  size_t got;
                  test_net::Receive(unit, frame, sizeof frame, 5000, &got);
                  test_net::Send(unit, reply);
                  test_net::Close(unit);
              }
          }) {}

private:
    std::jthread m_thread;
};

// The tools against the window's server, which logs each report it gets.
class ToolsTest : public ServingWindowTest {
protected:
    ProgramRun Run(const char* tool, int at, Args args) {
        args.insert(args.begin(), {"--port", std::to_string(at)});
        return Served([&] { return RunProgram(tool, args); });
    }
};

// The line that nr-load prints last, for scripts: "reports=N ok=N missing=N wrong=N ...".
std::string MachineLine(const ProgramRun& run) {
    return run.out.substr(std::min(run.out.rfind("reports="), run.out.size()));
}

// Every report goes out once, in the form asked for (the two-byte form: see the load run with
// misbehaving units), and every reply is checked against its own frame; exit status 1 unless
// every report got its right reply.
TEST_F(ToolsTest, NrLoadSendsEveryReportOnceAndChecksItsReply) {
    const ProgramRun run = Run(NR_LOAD_PATH, port, {"--count", "300", "--units", "4", "--three"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(MachineLine(run).starts_with("reports=300 ok=300 missing=0 wrong=0 "));
    EXPECT_EQ(LoggedStates(ReadFileBytes(folder.File("NR-QD8K.csv"))), StatesOfLoadReports(300));
    EXPECT_EQ(Count(Trace(), "Received : fa "), Count(Trace(), "Send : "));
    EXPECT_EQ(Count(Trace(), "Received : fa 01 2b "), 1u);  // report 299 carries its number

    FixedReplyServer wrong("\xff\xff");
    const ProgramRun wrongRun =
        Run(NR_LOAD_PATH, wrong.Port(), {"--count", "20", "--units", "2", "--timeout", "2"});
    EXPECT_EQ(wrongRun.exitCode, 1);
    EXPECT_TRUE(MachineLine(wrongRun).starts_with("reports=20 ok=0 missing=0 wrong=20"));
    EXPECT_NE(wrongRun.out.find("first problem: report 0: sent 00 00, got ff ff"),
              std::string::npos);
}

}  // namespace
