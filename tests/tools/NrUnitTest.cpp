#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedServer.h"
#include "ToolProcess.h"

namespace nr::tools::test {
namespace {

ToolRun RunUnit(std::uint16_t port, std::vector<std::string> args) {
    return RunToolAt(NR_UNIT_PATH, port, std::move(args));
}

// The frame goes out whole in one send, in the form asked for; the reply is printed as it came.
TEST(NrUnit, SendsTheFrameAndPrintsTheReply) {
    struct Case {
        std::vector<std::string> args;
        Bytes frame;
        std::string printed;
    };
    const Case cases[] = {
        {{"01", "15"}, {0x01, 0x15}, "01 15\n"},
        {{"7F", "0"}, {0x7F, 0x00}, "7f 00\n"},
        {{"--three", "0x01", "0xE3"}, {0xFA, 0x01, 0xE3}, "01 e3\n"},
        {{"--three", "fa", "e0"}, {0xFA, 0xFA, 0xE0}, "fa e0\n"},
        {{"--host", "localhost", "--timeout", "2", "02", "1f"}, {0x02, 0x1F}, "02 1f\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        ScriptedServer server(ScriptedServer::Mode::kEcho);
        const ToolRun run = RunUnit(server.Port(), c.args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, c.printed);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(server.Received(), std::vector<Bytes>{c.frame});
    }

    ScriptedServer server(ScriptedServer::Mode::kFixedReply, {0x12, 0x34});
    const ToolRun run = RunUnit(server.Port(), {"01", "15"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "12 34\n");
}

// No whole reply is a failure with one line on stderr and exit status 1.
TEST(NrUnit, FailsWithOneLineWhenNoWholeReplyComes) {
    ScriptedServer closes(ScriptedServer::Mode::kFixedReply, {});
    ScriptedServer halfReplies(ScriptedServer::Mode::kFixedReply, {0x01});
    ScriptedServer silent(ScriptedServer::Mode::kSilent);
    const ClosedPort nothing;
    const auto at = [](std::uint16_t port) { return "127.0.0.1:" + std::to_string(port); };
    struct Case {
        std::uint16_t port;
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {nothing.Port(),
         {"01", "15"},
         "nr-unit: cannot connect to " + at(nothing.Port()) + ": Connection refused\n"},
        {closes.Port(),
         {"01", "15"},
         "nr-unit: " + at(closes.Port()) + " closed the connection after 0 of 2 reply bytes\n"},
        {halfReplies.Port(),
         {"--three", "01", "15"},
         "nr-unit: " + at(halfReplies.Port()) +
             " closed the connection after 1 of 2 reply bytes\n"},
        {silent.Port(),
         {"--timeout", "0.3", "01", "15"},
         "nr-unit: no whole reply from " + at(silent.Port()) +
             " within 0.3 s (0 of 2 reply bytes arrived)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ToolRun run = RunUnit(c.port, c.args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.message);
        EXPECT_LT(run.elapsed.count(), 5000);
    }
    EXPECT_EQ(silent.Received(), std::vector<Bytes>{Bytes({0x01, 0x15})});
}

// Bad arguments never reach the network: exit status 2 and the usage on stderr.
TEST(NrUnit, RejectsBadArgumentsWithUsage) {
    ScriptedServer server(ScriptedServer::Mode::kEcho);
    const std::vector<std::string> cases[] = {
        {},
        {"01"},
        {"01", "15", "16"},
        {"1g", "15"},
        {"01", "100"},
        {"fa", "15"},  // a two-byte frame cannot begin with the three-byte marker
        {"--port", "0", "01", "15"},
        {"--port", "65536", "01", "15"},
        {"--timeout", "0", "01", "15"},
        {"--timeout", "-1", "01", "15"},
        {"--bogus", "01", "15"},
        {"01", "15", "--timeout"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const ToolRun run = RunUnit(server.Port(), args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with("nr-unit: ")) << run.err;
        EXPECT_NE(run.err.find("Usage: nr-unit"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(server.Received().empty());

    const ToolRun help = RunTool(NR_UNIT_PATH, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: nr-unit")) << help.out;
    EXPECT_EQ(help.err, "");
}

}  // namespace
}  // namespace nr::tools::test
