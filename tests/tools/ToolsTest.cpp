#include "support/Ports.h"
#include "support/ProgramRun.h"
#include "support/ServingCore.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>

namespace {

// Every reply is checked against its own frame: exit status 1 unless every report got its right
// reply, and the last line, for scripts, counts them. (The load run with misbehaving units has
// nr-load against the window.)
TEST(Tools, NrLoadChecksEachReply) {
    const HeldPort wrong(HeldPort::Kind::kListening);
    std::jthread server([&](std::stop_token stop) {
        while (!stop.stop_requested()) {
            if (!test_net::Readable(wrong.Socket(), 50)) continue;
            const test_net::Handle unit = test_net::Accept(wrong.Socket());
            char frame[8];
            size_t got;
            test_net::Receive(unit, frame, sizeof frame, 5000, &got);
            test_net::Send(unit, "\xff\xff");
            test_net::Close(unit);
        }
    });
    const ProgramRun run = RunProgram(
        NR_LOAD_PATH, {"--port", std::to_string(wrong.Port()), "--count", "20", "--units", "2"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("first problem: report 0: sent 00 00, got ff ff"), std::string::npos);
    EXPECT_NE(run.out.find("reports=20 ok=0 missing=0 wrong=20 "), std::string::npos);
}

// With --from each unit reports from an address of its own, the first from the one given.
class NrLoadFrom : public ServingCoreTest {};

TEST_F(NrLoadFrom, GivesEachUnitItsOwnAddress) {
    const ProgramRun run = RunProgram(NR_LOAD_PATH, {"--port", std::to_string(port), "--from",
                                                     "127.0.0.250", "--units", "7", "--burst"});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    std::set<std::string> addresses;
    for (const Report& report : Reports()) addresses.insert(report.unitAddress);
    EXPECT_EQ(addresses,
              (std::set<std::string>{"127.0.0.250", "127.0.0.251", "127.0.0.252", "127.0.0.253",
                                     "127.0.0.254", "127.0.0.255", "127.0.1.0"}));
}

}  // namespace
