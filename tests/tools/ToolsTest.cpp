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

// The frame goes out whole, in the form asked for, and the reply is printed as it came; without
// a whole reply, one line on stderr and exit status 1.
TEST_F(ToolsTest, NrUnitSendsTheFrameAndPrintsTheReply) {
    FixedReplyServer fixed("\x12\x34"), oneByte("\x01");
    const HeldPort silent(HeldPort::Kind::kListening), nothing;
    const std::string closed = " closed the connection after ";
    struct Case {
        int port;
        Args args;
        std::string printed, failure;
    } cases[] = {
        {port, {"01", "15"}, "01 15\n", ""},
        {port, {"--three", "0x01", "0xE3"}, "01 e3\n", ""},
        {port, {"--host", "localhost", "--timeout", "2", "7F", "0"}, "7f 00\n", ""},
        {fixed.Port(), {"01", "15"}, "12 34\n", ""},
        {oneByte.Port(), {"--three", "01", "15"}, "", closed + "1 of 2 reply bytes"},
        {silent.Port(),
         {"--timeout", "0.3", "01", "15"},
         "",
         " within 0.3 s (0 of 2 reply bytes arrived)"},
        {nothing.Port(), {"01", "15"}, "", std::string(": ") + test_net::kRefusedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const ProgramRun run = Run(NR_UNIT_PATH, c.port, c.args);
        EXPECT_EQ(run.exitCode, c.failure.empty() ? 0 : 1);
        EXPECT_EQ(run.out, c.printed);
        EXPECT_TRUE(run.err.starts_with(c.failure.empty() ? "" : "nr-unit: ")) << run.err;
        EXPECT_TRUE(run.err.ends_with(c.failure.empty() ? "" : c.failure + "\n")) << run.err;
        EXPECT_LT(run.elapsed, 5s);
    }
    for (const char* frame : {"Reseived : 01 15 ", "Received : fa 01 e3 ", "Reseived : 7f 00 "}) {
        EXPECT_EQ(Count(Trace(), frame), 1u) << frame;
    }
}

// Bad arguments never reach the network: exit status 2 and the usage on stderr; a load run is
// always bounded and only ever aimed at this machine. Help is no error.
TEST_F(ToolsTest, BadArgumentsAreRejectedWithTheUsage) {
    const std::string at = std::to_string(port);
    struct Case {
        const char* tool;
        Args args;
        int exitCode;
    } cases[] = {
        {NR_UNIT_PATH, {}, 2},
        {NR_UNIT_PATH, {"--port", at, "fa", "15"}, 2},  // a two-byte frame without the marker
        {NR_UNIT_PATH, {"--help"}, 0},
        {NR_LOAD_PATH, {"--duration", "3601"}, 2},
        {NR_LOAD_PATH, {"--port", at, "--count", "1", "--host", "192.0.2.1"}, 2},
        {NR_LOAD_PATH, {"--port", at, "--burst", "--units", "5", "--count", "5"}, 2},
        {NR_LOAD_PATH, {"--help"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool + (" " + testing::PrintToString(c.args)));
        const ProgramRun run = Served([&] { return RunProgram(c.tool, c.args); });
        const std::string usage = "Usage: " + std::filesystem::path(c.tool).stem().string();
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(usage), std::string::npos);
        EXPECT_EQ(c.exitCode == 0 ? run.err : run.out, "");
    }
    EXPECT_EQ(Trace().find("from:"), std::string::npos);
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
