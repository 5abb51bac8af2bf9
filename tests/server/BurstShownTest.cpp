#include "resource.h"
#include "support/UnitClient.h"
#include "support/WindowTest.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <thread>
#include <vector>

namespace {

using BurstShownTest = WindowTest;

// Eight units at once, then one more: within 50 ms of its reply the window shows the last
// report, lamps and peer line, and the trace holds each unit's every line in order.
TEST_F(BurstShownTest, LastReportAndEveryLineInOrder) {
    Open();
    const int port = FreePort();
    StartServerOn(port);
    std::map<std::string, std::string> expected, seen;
    std::vector<std::thread> units;
    for (char u = '1'; u <= '8'; ++u) {
        const std::string from = std::string("127.0.0.") + u;
        for (char n = 0; n < 30; ++n) {
            char lines[96];
            std::snprintf(lines, sizeof lines,
                          "from:%s   Reseived : %02x 1f \r\n--to:%s   Send : %02x 1f\r\n",
                          from.c_str(), n, from.c_str(), n);
            expected[from] += lines;
        }
        units.emplace_back([=] {
            for (char n = 0; n < 30; ++n)
                RunUnit(port, {{{n, '\x1f'}}, false, false, from.c_str()});
        });
    }
    Served([&] {
        for (std::thread& unit : units) unit.join();
        return 0;
    });
    const UnitResult last = Served([&] {
        return RunUnit(port, {{"\x01\x0a"}, false, false, "127.0.0.9"});
    });
    ASSERT_TRUE(WaitUntil([&] {
        bool shown = Dialog().m_staticPeer.GetWindowText().ends_with(" : 127.0.0.9");
        for (int id = IDC_LAMP_DI1; id <= IDC_LAMP_DI5; ++id) {
            const op::Picture lamp = op::Shot(Control(id));
            shown &= lamp.At(lamp.width / 2, lamp.height / 2).red ==
                     (((0x0a >> (id - IDC_LAMP_DI1)) & 1) ? 0xFF : 0);
        }
        return shown;
    }));
    EXPECT_LE(std::chrono::steady_clock::now() - last.repliedAt, std::chrono::milliseconds(50));
    const std::string trace = Trace();
    EXPECT_TRUE(trace.starts_with("server start.\r\n"));
    for (size_t at = 0, end; (end = trace.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const size_t from = trace.find("127.0.0.", at);
        if (from < end && trace[from + 8] != '9')
            seen[trace.substr(from, 9)] += trace.substr(at, end + 2 - at);
    }
    EXPECT_EQ(seen, expected);
}

}  // namespace
