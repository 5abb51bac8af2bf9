#ifdef NR_LOAD_PATH

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScriptedServer.h"
#include "ToolProcess.h"

namespace nr::tools::test {
namespace {

ToolRun RunLoad(std::uint16_t port, std::vector<std::string> args) {
    return RunToolAt(NR_LOAD_PATH, port, std::move(args));
}

// The report number each frame carries in its lead and state bytes, sorted.
std::vector<unsigned> ReportNumbers(const std::vector<Bytes>& frames) {
    std::vector<unsigned> numbers;
    for (const Bytes& frame : frames) {
        if (frame.size() >= 2) numbers.push_back(frame[frame.size() - 2] << 8 | frame.back());
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::vector<unsigned> FirstNumbers(unsigned count) {
    std::vector<unsigned> numbers(count);
    for (unsigned n = 0; n < count; ++n) numbers[n] = n;
    return numbers;
}

// Report n carries n in its lead (high byte) and state (low byte): every report goes out once,
// in the form asked for, and every echo is checked against its own frame.
TEST(NrLoad, SendsEveryReportOnceAndChecksItsEcho) {
    for (const bool threeByte : {false, true}) {
        SCOPED_TRACE(threeByte ? "three-byte" : "two-byte");
        ScriptedServer server(ScriptedServer::Mode::kEcho);
        std::vector<std::string> args{"--count", "300", "--units", "4"};
        if (threeByte) args.push_back("--three");
        const ToolRun run = RunLoad(server.Port(), args);
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        auto line = MachineLine(run.out);
        EXPECT_EQ(line["reports"], "300");
        EXPECT_EQ(line["ok"], "300");
        EXPECT_EQ(line["missing"], "0");
        EXPECT_EQ(line["wrong"], "0");
        EXPECT_LE(std::stoul(line["p50_us"]), std::stoul(line["max_us"]));

        const std::vector<Bytes> received = server.Received();
        for (const Bytes& frame : received) {
            ASSERT_EQ(frame.size(), threeByte ? 3u : 2u);
            if (threeByte) {
                EXPECT_EQ(frame[0], 0xFA);
            }
        }
        EXPECT_EQ(ReportNumbers(received), FirstNumbers(300));
    }
}

// A burst: every unit reports once, all released together (one after another, 20 slow replies
// would outlast the tool's time limit); each reply slower than a second is counted.
TEST(NrLoad, BurstReportsOnceFromEveryUnitAndCountsSlowReplies) {
    ScriptedServer server(ScriptedServer::Mode::kSlowEcho);
    const ToolRun run = RunLoad(server.Port(), {"--burst", "--units", "20"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    auto line = MachineLine(run.out);
    EXPECT_EQ(line["reports"], "20");
    EXPECT_EQ(line["ok"], "20");
    EXPECT_EQ(line["over_1s"], "20");
    EXPECT_EQ(ReportNumbers(server.Received()), FirstNumbers(20));
}

// Silent connections send nothing, are no reports, and stay open until every report is done.
TEST(NrLoad, HoldsSilentConnectionsForTheWholeRun) {
    ScriptedServer server(ScriptedServer::Mode::kEcho);
    const ToolRun run = RunLoad(server.Port(), {"--count", "20", "--units", "2", "--silent", "3"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    auto line = MachineLine(run.out);
    EXPECT_EQ(line["ok"], "20");
    EXPECT_EQ(line["missing"], "0");
    // The server records a connection closed without a byte as an empty frame, when it closes.
    const std::vector<Bytes> received = server.WaitForReceived(23);
    ASSERT_EQ(received.size(), 23u);
    EXPECT_EQ(ReportNumbers({received.begin(), received.end() - 3}), FirstNumbers(20));
    EXPECT_EQ(std::vector<Bytes>(received.end() - 3, received.end()), std::vector<Bytes>(3));
}

// Exit status 1 unless every report got its right reply; each kind of fault is counted.
TEST(NrLoad, CountsWrongAndMissingRepliesAndFails) {
    ScriptedServer wrong(ScriptedServer::Mode::kFixedReply, {0xFF, 0xFF});
    ScriptedServer closes(ScriptedServer::Mode::kFixedReply, {});
    const ClosedPort nothing;
    struct Case {
        std::uint16_t port;
        std::string wrong;
        std::string missing;
        std::string problem;
    };
    const Case cases[] = {
        {wrong.Port(), "20", "0", "first problem: report 0: sent 00 00, got ff ff"},
        {closes.Port(), "0", "20", "closed early 20"},
        {nothing.Port(), "0", "20", "cannot connect 20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        const ToolRun run = RunLoad(c.port, {"--count", "20", "--units", "2", "--timeout", "2"});
        EXPECT_EQ(run.exitCode, 1);
        auto line = MachineLine(run.out);
        EXPECT_EQ(line["reports"], "20");
        EXPECT_EQ(line["ok"], "0");
        EXPECT_EQ(line["wrong"], c.wrong);
        EXPECT_EQ(line["missing"], c.missing);
        EXPECT_NE(run.out.find(c.problem), std::string::npos) << run.out;
    }
}

// With a rate, report n is due n / rate seconds after the start; a duration ends the run.
TEST(NrLoad, PacesReportsAndStopsAtTheDuration) {
    ScriptedServer server(ScriptedServer::Mode::kEcho);
    const ToolRun counted = RunLoad(server.Port(), {"--count", "10", "--rate", "50"});
    EXPECT_EQ(counted.exitCode, 0) << counted.out;
    EXPECT_GE(std::stod(MachineLine(counted.out)["seconds"]), 0.17);

    const ToolRun timed =
        RunLoad(server.Port(), {"--duration", "0.5", "--rate", "20", "--units", "3"});
    EXPECT_EQ(timed.exitCode, 0) << timed.out;
    EXPECT_EQ(MachineLine(timed.out)["reports"], "10");
    EXPECT_EQ(server.Received().size(), 20u);
}

// A run is always bounded and only ever aimed at this machine.
TEST(NrLoad, RefusesUnboundedOrRemoteRuns) {
    const std::vector<std::string> cases[] = {
        {},
        {"--units", "4"},
        {"--count", "0"},
        {"--count", "10000001"},
        {"--duration", "3601"},
        {"--units", "1001", "--count", "1"},
        {"--count", "1", "--rate", "0"},
        {"--count", "1", "--host", "192.0.2.1"},
        {"--count", "1", "extra"},
        {"--burst", "--units", "5", "--count", "5"},
        {"--count", "1", "--silent", "1001"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const ToolRun run = RunTool(NR_LOAD_PATH, args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("Usage: nr-load"), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace nr::tools::test

#endif  // NR_LOAD_PATH
