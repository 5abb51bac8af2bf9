#include "support/UnitClient.h"

#include "support/Waiting.h"

#include <thread>

UnitResult RunUnit(int port, const UnitScript& script, int timeoutMs) {
    UnitResult result;
    const test_net::Handle sock = test_net::Connect(port, script.from);
    if (sock == test_net::kNone) return result;
    for (size_t i = 0; i < script.pieces.size(); ++i) {
        // A unit on a slow line: the pause is the behaviour under test.
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        test_net::Send(sock, script.pieces[i]);
    }
    if (script.closeAfterSending) test_net::EndSending(sock);
    if (script.resetInsteadOfReading) {
        test_net::ResetOnClose(sock);
    } else {
        char buffer[64];
        size_t got = 0;
        test_net::Received received;
        while ((received = test_net::Receive(sock, buffer, sizeof buffer, timeoutMs, &got)) ==
               test_net::Received::kBytes) {
            if (result.reply.empty()) result.repliedAt = std::chrono::steady_clock::now();
            result.reply.append(buffer, got);
        }
        result.reset = received == test_net::Received::kReset;
    }
    test_net::Close(sock);
    return result;
}

std::string Exchange(int port, const std::string& frame) {
    return Served([&] { return RunUnit(port, {{frame}}); }).reply;
}

IdleUnit::IdleUnit(int port) : m_sock(test_net::Connect(port, "127.0.0.1")) {}

IdleUnit::~IdleUnit() {
    if (Connected()) test_net::Close(m_sock);
}

bool IdleUnit::Readable(int timeoutMs) const {
    return WaitUntil([&] { return test_net::Readable(m_sock); }, timeoutMs);
}

test_net::Received IdleUnit::Ending() const {
    char byte;
    size_t got = 0;
    if (!Readable()) return test_net::Received::kTimedOut;
    const test_net::Received ending = test_net::Receive(m_sock, &byte, 1, 0, &got);
    // Wine takes a reset in before the receive, which then reads an end: only a send still goes
    // out after an orderly one.
    const bool reset = ending == test_net::Received::kClosed && !test_net::Send(m_sock, "x");
    return reset ? test_net::Received::kReset : ending;
}
