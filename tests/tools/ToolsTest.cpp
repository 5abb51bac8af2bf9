#include "support/Ports.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

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

}  // namespace
