#include "platform/SocketSession.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <thread>

// The core's tests: no window, so a wait only lets time pass.
void ServeEventsFor(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const SocketSession sockets;
    return RUN_ALL_TESTS();
}
