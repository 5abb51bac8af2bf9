#include "ScriptedServer.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;
using Mode = ScriptedServer::Mode;

ProgramRun RunAt(const char* tool, int port, Args args) {
    args.insert(args.begin(), {"--port", std::to_string(port)});
    return RunProgram(tool, args);
}

// The line that nr-load prints last, for scripts: "reports=N ok=N missing=N wrong=N ...".
std::string MachineLine(const ProgramRun& run) {
    return run.out.substr(std::min(run.out.rfind("reports="), run.out.size()));
}

// The report number each frame carries in its lead (high byte) and state (low byte), sorted.
std::vector<unsigned> ReportNumbers(const std::vector<Bytes>& frames) {
    std::vector<unsigned> numbers;
    for (const Bytes& frame : frames) {
        if (frame.size() >= 2) numbers.push_back(frame[frame.size() - 2] << 8 | frame.back());
    }
    std::ranges::sort(numbers);
    return numbers;
}

std::vector<unsigned> FirstNumbers(unsigned count) {
    std::vector<unsigned> numbers(count);
    for (unsigned n = 0; n < count; ++n) numbers[n] = n;
    return numbers;
}

// The frame goes out whole in one send, in the form asked for, and the reply is printed as it
// came; without a whole reply, one line on stderr and exit status 1.
TEST(NrUnit, SendsTheFrameAndPrintsTheReply) {
    struct Case {
        std::optional<Mode> server;  // none: nothing listens
        Bytes fixedReply;
        Args args;
        Bytes frame;
        std::string printed, failure;
    } cases[] = {
        {Mode::kEcho, {}, {"01", "15"}, {0x01, 0x15}, "01 15\n", ""},
        {Mode::kEcho, {}, {"--three", "0x01", "0xE3"}, {0xFA, 0x01, 0xE3}, "01 e3\n", ""},
        {Mode::kEcho, {}, {"--three", "fa", "e0"}, {0xFA, 0xFA, 0xE0}, "fa e0\n", ""},
        {Mode::kEcho,
         {},
         {"--host", "localhost", "--timeout", "2", "7F", "0"},
         {0x7F, 0x00},
         "7f 00\n",
         ""},
        {Mode::kFixedReply, {0x12, 0x34}, {"01", "15"}, {0x01, 0x15}, "12 34\n", ""},
        {Mode::kFixedReply,
         {},
         {"01", "15"},
         {0x01, 0x15},
         "",
         " closed the connection after 0 of 2 reply bytes"},
        {Mode::kFixedReply,
         {0x01},
         {"--three", "01", "15"},
         {0xFA, 0x01, 0x15},
         "",
         " closed the connection after 1 of 2 reply bytes"},
        {Mode::kSilent,
         {},
         {"--timeout", "0.3", "01", "15"},
         {0x01, 0x15},
         "",
         " within 0.3 s (0 of 2 reply bytes arrived)"},
        {std::nullopt, {}, {"01", "15"}, {}, "", ": Connection refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const HeldPort closed;
        std::optional<ScriptedServer> server;
        if (c.server) server.emplace(*c.server, c.fixedReply);
        const ProgramRun run = RunAt(NR_UNIT_PATH, server ? server->Port() : closed.Port(), c.args);
        EXPECT_EQ(run.exitCode, c.failure.empty() ? 0 : 1);
        EXPECT_EQ(run.out, c.printed);
        EXPECT_TRUE(run.err.starts_with(c.failure.empty() ? "" : "nr-unit: ")) << run.err;
        EXPECT_TRUE(run.err.ends_with(c.failure.empty() ? "" : c.failure + "\n")) << run.err;
        EXPECT_LT(run.elapsed.count(), 5000);
        if (server) {
            EXPECT_EQ(server->Received(1), std::vector<Bytes>{c.frame});
        }
    }
}

// Bad arguments never reach the network: exit status 2 and the usage on stderr; a load run is
// always bounded and only ever aimed at this machine. Help is no error.
TEST(Tools, RejectBadArgumentsWithUsage) {
    ScriptedServer server(Mode::kEcho);
    const std::string port = std::to_string(server.Port());
    struct Case {
        const char* tool;
        Args args;
        int exitCode;
    } cases[] = {
        {NR_UNIT_PATH, {}, 2},
        {NR_UNIT_PATH, {"--port", port, "1g", "15"}, 2},
        {NR_UNIT_PATH, {"--port", port, "fa", "15"}, 2},  // a two-byte frame without the marker
        {NR_UNIT_PATH, {"--port", "0", "01", "15"}, 2},
        {NR_UNIT_PATH, {"--port", port, "--timeout", "0", "01", "15"}, 2},
        {NR_UNIT_PATH, {"--port", port, "--bogus", "01", "15"}, 2},
        {NR_UNIT_PATH, {"--help"}, 0},
        {NR_LOAD_PATH, {}, 2},
        {NR_LOAD_PATH, {"--count", "0"}, 2},
        {NR_LOAD_PATH, {"--duration", "3601"}, 2},
        {NR_LOAD_PATH, {"--units", "1001", "--count", "1"}, 2},
        {NR_LOAD_PATH, {"--port", port, "--count", "1", "--host", "192.0.2.1"}, 2},
        {NR_LOAD_PATH, {"--port", port, "--burst", "--units", "5", "--count", "5"}, 2},
        {NR_LOAD_PATH, {"--port", port, "--count", "1", "--silent", "1001"}, 2},
        {NR_LOAD_PATH, {"--help"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool + (" " + testing::PrintToString(c.args)));
        const ProgramRun run = RunProgram(c.tool, c.args);
        const std::string tool = c.tool;
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE((c.exitCode == 0 ? run.out : run.err)
                      .find("Usage: " + tool.substr(tool.rfind('/') + 1)),
                  std::string::npos);
        EXPECT_EQ(c.exitCode == 0 ? run.err : run.out, "");
    }
    EXPECT_TRUE(server.Received().empty());
}

// Report n carries n: every report goes out once, in the form asked for, and every echo is
// checked against its own frame; exit status 1 unless every report got its right reply.
TEST(NrLoad, SendsEveryReportOnceAndChecksItsEcho) {
    for (const bool threeByte : {false, true}) {
        SCOPED_TRACE(threeByte);
        ScriptedServer server(Mode::kEcho);
        Args args{"--count", "300", "--units", "4"};
        if (threeByte) args.push_back("--three");
        const ProgramRun run = RunAt(NR_LOAD_PATH, server.Port(), args);
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_TRUE(MachineLine(run).starts_with("reports=300 ok=300 missing=0 wrong=0 "));
        const std::vector<Bytes> received = server.Received(300);
        for (const Bytes& frame : received) {
            ASSERT_EQ(frame.size(), threeByte ? 3u : 2u);
            if (threeByte) {
                EXPECT_EQ(frame[0], 0xFA);
            }
        }
        EXPECT_EQ(ReportNumbers(received), FirstNumbers(300));
    }

    ScriptedServer wrong(Mode::kFixedReply, {0xFF, 0xFF});
    ScriptedServer closes(Mode::kFixedReply, {});
    const HeldPort nothing;
    struct Case {
        int port;
        std::string counts, problem;
    } cases[] = {
        {wrong.Port(), "missing=0 wrong=20", "first problem: report 0: sent 00 00, got ff ff"},
        {closes.Port(), "missing=20 wrong=0", "closed early 20"},
        {nothing.Port(), "missing=20 wrong=0", "cannot connect 20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        const ProgramRun run =
            RunAt(NR_LOAD_PATH, c.port, {"--count", "20", "--units", "2", "--timeout", "2"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(MachineLine(run).starts_with("reports=20 ok=0 " + c.counts)) << run.out;
        EXPECT_NE(run.out.find(c.problem), std::string::npos) << run.out;
    }
}

// A burst: every unit reports once, all released together (one after another, 20 slow replies
// would outlast the tool's time limit); each reply slower than a second is counted. Silent
// connections send nothing, are no reports, and stay open until every report is done.
TEST(NrLoad, BurstsAndSilentConnections) {
    ScriptedServer slow(Mode::kSlowEcho);
    const ProgramRun burst = RunAt(NR_LOAD_PATH, slow.Port(), {"--burst", "--units", "20"});
    EXPECT_EQ(burst.exitCode, 0) << burst.out << burst.err;
    EXPECT_TRUE(MachineLine(burst).starts_with("reports=20 ok=20 ")) << burst.out;
    EXPECT_NE(MachineLine(burst).find(" over_1s=20 "), std::string::npos) << burst.out;
    EXPECT_EQ(ReportNumbers(slow.Received(20)), FirstNumbers(20));

    ScriptedServer server(Mode::kEcho);
    const ProgramRun run =
        RunAt(NR_LOAD_PATH, server.Port(), {"--count", "20", "--units", "2", "--silent", "3"});
    EXPECT_TRUE(MachineLine(run).starts_with("reports=20 ok=20 ")) << run.out;
    // A silent connection is recorded as an empty frame when it closes, after the reports.
    const std::vector<Bytes> received = server.Received(23);
    ASSERT_EQ(received.size(), 23u);
    EXPECT_EQ(ReportNumbers({received.begin(), received.end() - 3}), FirstNumbers(20));
    EXPECT_EQ(std::vector<Bytes>(received.end() - 3, received.end()), std::vector<Bytes>(3));
}

// With a rate, report n is due n / rate seconds after the start; a duration ends the run.
TEST(NrLoad, PacesReportsAndStopsAtTheDuration) {
    ScriptedServer server(Mode::kEcho);
    const ProgramRun counted =
        RunAt(NR_LOAD_PATH, server.Port(), {"--count", "10", "--rate", "50"});
    const std::string seconds =
        MachineLine(counted).substr(MachineLine(counted).find("seconds=") + 8);
    EXPECT_GE(std::stod(seconds), 0.17) << counted.out;  // nine gaps of 20 ms, less some slack

    const ProgramRun timed =
        RunAt(NR_LOAD_PATH, server.Port(), {"--duration", "0.5", "--rate", "20", "--units", "3"});
    EXPECT_TRUE(MachineLine(timed).starts_with("reports=10 ")) << timed.out;
    EXPECT_EQ(server.Received(20).size(), 20u);
}

}  // namespace
